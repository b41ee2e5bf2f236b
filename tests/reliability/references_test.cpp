// Every reference the system takes to an AutoCAD or Excel object is let go:
// the window's unload releases the AutoCAD session and the Excel
// application, the workbook and sheet go with the window itself, and a
// command that met failures halfway keeps nothing it should not. Counted on
// the stand-ins, whose objects each hold their application.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>

#include "desk.h"

namespace velmora::testing {
namespace {

struct Story {
    const char* name;
    std::function<void(Desk&)> run;
};

void TwoPasses(Desk& desk) {
    const EntityId a = desk.Point(1, 2), b = desk.Point(3, 4), c = desk.Point(5, 6);
    desk.Picks({{a, b}, {c}});
}

const std::vector<Story>& Stories() {
    static const std::vector<Story> stories = {
        {"nothing", [](Desk&) {}},
        {"number and export",
         [](Desk& desk) {
             TwoPasses(desk);
             desk.window->FilterMtext();
             desk.window->ExportCoordinateTable();
         }},
        {"two numbers and two exports",
         [](Desk& desk) {
             TwoPasses(desk);
             desk.window->FilterMtext();
             desk.window->ExportCoordinateTable();
             const EntityId pile = desk.Point(7, 8);
             desk.Picks({{pile}});
             desk.window->FilterMtext();
             desk.window->ExportCoordinateTable();
         }},
        {"world coordinates",
         [](Desk& desk) {
             desk.Select("Option2", 2);
             TwoPasses(desk);
             desk.window->FilterMtext();
         }},
        {"AutoCAD gone mid-pass",
         [](Desk& desk) {
             TwoPasses(desk);
             desk.cadSwitch->goneAt = 12;
             desk.window->FilterMtext();
         }},
        {"labels refused",
         [](Desk& desk) {
             TwoPasses(desk);
             desk.Type(0, "0");
             desk.window->FilterMtext();
         }},
        {"pick cancelled",
         [](Desk& desk) {
             desk.cad->picker = standins::ScriptedPicker({std::nullopt});
             desk.window->FilterMtext();
         }},
        {"Excel gone mid-export",
         [](Desk& desk) {
             TwoPasses(desk);
             desk.window->FilterMtext();
             desk.excelSwitch->goneAt = 20;
             desk.window->ExportCoordinateTable();
         }},
        {"Excel without a workbook",
         [](Desk& desk) {
             TwoPasses(desk);
             desk.window->FilterMtext();
             desk.excelFailures.failMember = "Add";
             desk.window->ExportCoordinateTable();
         }},
    };
    return stories;
}

TEST(References, AllReleasedByUnloadAndWindowEnd) {
    long unreleased = 0;
    for (const Story& story : Stories()) {
        SCOPED_TRACE(story.name);
        Desk desk;
        story.run(desk);

        desk.window->Unload();
        EXPECT_EQ(desk.CadReferences(), 0) << "AutoCAD objects still held after unload";
        // The workbook and its sheet stay with the window's state until it goes.
        const bool exported = desk.State().excelWorksheet != nullptr;
        EXPECT_LE(desk.ExcelReferences(), exported ? 2 : 1);
        EXPECT_EQ(desk.State().excelApplication, nullptr);

        desk.window.reset();
        EXPECT_EQ(desk.CadReferences(), 0);
        EXPECT_EQ(desk.ExcelReferences(), 0) << "Excel objects still held after the window";
        unreleased += desk.CadReferences() + desk.ExcelReferences();
    }
    std::cout << "[ refs     ] " << Stories().size() << " stories, " << unreleased
              << " references left unreleased\n";
    RecordProperty("references_unreleased", std::to_string(unreleased));
}

}  // namespace
}  // namespace velmora::testing
