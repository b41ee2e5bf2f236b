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
    desk.Picks({std::vector{a, b}, std::vector{c}});
}

const std::vector<Story>& Stories() {
    static const std::vector<Story> stories = {
        {"nothing", [](Desk&) {}},
        {"two numbers and two exports, the second in world coordinates",
         [](Desk& desk) {
             TwoPasses(desk);
             desk.Run();
             desk.Export();
             desk.Select("Option2", 2);
             desk.Picks({std::vector{desk.Point(7, 8)}});
             desk.Run();
             desk.Export();
         }},
        {"AutoCAD gone mid-pass",
         [](Desk& desk) {
             TwoPasses(desk);
             desk.cadTap->goneAt = 12;
             desk.Run();
         }},
        {"pick cancelled",
         [](Desk& desk) {
             desk.Picks({std::nullopt});
             desk.Run();
         }},
        {"Excel gone mid-export",
         [](Desk& desk) {
             TwoPasses(desk);
             desk.Run();
             desk.excelTap->goneAt = 20;
             desk.Export();
         }},
        {"Excel without a workbook",
         [](Desk& desk) {
             TwoPasses(desk);
             desk.Run();
             desk.excelFailures.failMember = "Add";
             desk.Export();
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
