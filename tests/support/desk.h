// The whole system on one desk: the window ForTamrisk wired to a stand-in
// AutoCAD with scripted picks and to a stand-in Excel, both reached only
// through the ProgID directory and behind taps that count, log or fail
// their calls. Also reads back what the user would see: the labels in the
// drawing, the register rows and the exported sheet.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/for_tamrisk.h"
#include "standins/autocad/standin_cad.h"
#include "standins/excel/standin_excel.h"
#include "tap.h"

namespace velmora::testing {

using standins::EntityId;
using standins::Point3;

struct Label {
    std::string text;
    Point3 insertion;
    double height;
    int alignment;
    Point3 alignmentPoint;
    bool operator==(const Label&) const = default;
};
void PrintTo(const Label& label, std::ostream* out);

// The stand-in AutoCAD's window handle on the desk.
inline constexpr std::int64_t kCadWindow = 0x2A0C4;

struct Desk {
    LocalDirectory directory;
    std::shared_ptr<standins::CadHost> cad = standins::NewCadHost();
    std::shared_ptr<standins::ExcelInstances> excel = std::make_shared<standins::ExcelInstances>();
    std::shared_ptr<Tap> cadTap = std::make_shared<Tap>();
    std::shared_ptr<Tap> excelTap = std::make_shared<Tap>();  // one for every Excel created
    std::unique_ptr<ForTamrisk> window;
    std::vector<std::string> messages;
    int shown = 0;
    std::vector<int> changed;                  // Text1 boxes a command rewrote, in order
    std::vector<std::int64_t> broughtForward;  // window handles the view was asked to raise

    Desk();

    EntityId Point(double x, double y) { return standins::AddPoint(cad->drawing, {x, y, 0}); }
    // One pick per pass (nothing: the pick is cancelled); then empty picks.
    void Picks(std::vector<standins::Pick> passes);
    void Set(int box, std::string text) { window->TextEdited(box, std::move(text)); }
    void Select(std::string_view name, int index);
    void Run() { window->FilterMtext(); }
    void Export() { window->ExportCoordinateTable(); }
    WindowState& State() { return window->State(); }

    std::vector<Label> Labels() const;
    const RegisterRow& Row(int row) { return State().pileRegister.rows.at(row); }
    // The first sheet of the n-th Excel instance created, if it has one.
    const standins::Sheet* Sheet(std::size_t instance = 0) const;

    // References to the stand-in AutoCAD held by anyone but its own
    // bookkeeping: every automation object holds its application.
    long CadReferences() const;
};

// Text of a cell of the sheet as the table shows it: text as is, numbers
// in shortest form, "" for an empty cell.
std::string CellText(const standins::Sheet& sheet, int row, int column);
std::optional<double> CellNumber(const standins::Sheet& sheet, int row, int column);

}  // namespace velmora::testing
