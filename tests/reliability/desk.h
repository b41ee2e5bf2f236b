// The whole system on one desk: the window ForTamrisk wired to a stand-in
// AutoCAD with scripted picks and to a stand-in Excel, both reached only
// through the ProgID directory, and optionally behind switches that make
// them go away mid-command. Also reads back what the user would see: the
// labels in the drawing, the register rows and the exported sheet.
#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/for_tamrisk.h"
#include "gone_proxy.h"
#include "standin_cad.h"
#include "standins/excel/standin_excel.h"

namespace velmora::testing {

using standins::EntityId;
using standins::Point3;

struct Label {
    std::string text;
    Point3 insertion;
    double height;
    int alignment;
    Point3 alignmentPoint;
};

struct Desk {
    LocalDirectory directory;
    std::shared_ptr<standins::CadHost> cad = standins::NewCadHost();
    std::shared_ptr<standins::ExcelInstances> excel = std::make_shared<standins::ExcelInstances>();
    std::shared_ptr<GoneSwitch> cadSwitch = std::make_shared<GoneSwitch>();
    std::shared_ptr<GoneSwitch> excelSwitch = std::make_shared<GoneSwitch>();
    standins::ExcelFailurePlan excelFailures;
    std::unique_ptr<ForTamrisk> window;
    std::vector<std::string> messages;
    int shown = 0;

    Desk();

    EntityId Point(double x, double y) { return standins::AddPoint(cad->drawing, {x, y, 0}); }
    // One pick per pass, then empty picks that end the command.
    void Picks(std::vector<std::vector<EntityId>> passes);
    void Type(int box, std::string text) { window->TextEdited(box, std::move(text)); }
    void Select(std::string_view name, int index);
    WindowState& State() { return window->State(); }

    std::vector<Label> Labels() const;
    const RegisterRow& Row(int row) { return State().pileRegister.rows.at(row); }
    // The first sheet of the n-th Excel instance created, if it has one.
    const standins::Sheet* Sheet(std::size_t instance = 0) const;

    // References to the stand-ins' objects held by anyone but the stand-ins'
    // own bookkeeping: every automation object holds its application.
    long CadReferences() const;
    long ExcelReferences() const;
};

// Text of a cell of the sheet as the table shows it: text as is, numbers
// in shortest form, "" for an empty cell.
std::string CellText(const standins::Sheet& sheet, int row, int column);
std::optional<double> CellNumber(const standins::Sheet& sheet, int row, int column);

}  // namespace velmora::testing
