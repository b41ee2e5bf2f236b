#include "cad/connect_cad.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "automation/directory.h"
#include "automation/status.h"
#include "fake_object.h"

namespace velmora {
namespace {

using testing::CallLog, testing::FakeObject, testing::MakeFake;

// The lookup order users rely on, written out apart from the code's table.
std::vector<std::string> LookupOrder() {
    std::vector<std::string> names = {"AutoCAD.Application"};
    auto add = [&](const std::string& stem, int from, int to, const char* tail = "") {
        for (int v = from; from < to ? v <= to : v >= to; v += from < to ? 1 : -1)
            names.push_back(stem + std::to_string(v) + tail);
    };
    add("AutoCAD.Application.", 16, 25);
    names.push_back("ZWCAD.Application");
    add("ZWCAD.Application.", 2025, 2020);
    names.insert(names.end(), {"GStarCAD.Application", "Gcad.Application"});
    add("GStarCAD.Application.", 26, 24);
    names.push_back("BricscadApp.AcadApplication");
    add("BricscadApp.AcadApplication.", 25, 21, ".0");
    return names;
}

// A directory that notes every name looked up, the messages shown, and a
// fake CAD application with its document.
struct Rig : LocalDirectory {
    std::vector<std::string> asked, messages;
    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    std::shared_ptr<FakeObject> app = MakeFake("app", log), doc = MakeFake("doc", log);
    WindowServices services{*this};
    CadSession session;
    ContinueOnFailure runner;
    std::vector<std::int64_t> raised;  // windows the view was asked to bring forward

    Rig() {
        app->Returns("ActiveDocument", Variant(Object(doc))).Stores("WindowState");
        app->Returns("HWND", Variant(std::int32_t{0x10062}));
        services.showMessage = [this](std::string_view text) { messages.emplace_back(text); };
        services.bringToFront = [this](std::int64_t handle) { raised.push_back(handle); };
    }
    Object FindRunning(std::string_view progId) override {
        asked.emplace_back(progId);
        return LocalDirectory::FindRunning(progId);
    }
    bool Connect() { return ConnectCad(session, runner, services); }
};

TEST(ConnectCad, EachProgIdAloneIsFoundAfterTheOnesBeforeItFailed) {
    const std::vector<std::string> order = LookupOrder();
    for (std::size_t i = 0; i <= order.size(); ++i) {
        SCOPED_TRACE(i < order.size() ? order[i] + " alone running" : "none running");
        Rig rig;
        auto old = MakeFake("old", nullptr);
        rig.session = {old, rig.doc};  // from an earlier command
        if (i < order.size()) rig.RegisterRunning(order[i], rig.app);
        const bool found = rig.Connect();
        EXPECT_EQ(rig.asked,
                  std::vector(order.begin(), order.begin() + std::min(i + 1, order.size())));
        EXPECT_EQ(rig.CreateCount(), 0);  // never starts a program
        if (i == order.size()) {          // none runs: one message and no call at all
            EXPECT_FALSE(found);
            EXPECT_EQ(rig.messages, std::vector<std::string>{"请先打开CAD软件！"});
            EXPECT_TRUE(rig.log->calls.empty());
            EXPECT_EQ(rig.session.cadApplication, old);  // a failed attach replaces nothing
            EXPECT_EQ(rig.session.cadDocument, rig.doc);
            continue;
        }
        EXPECT_TRUE(found && rig.messages.empty());
        EXPECT_EQ(rig.runner.LastError(), status::kOk);  // earlier failures leave no trace
        EXPECT_EQ(rig.session.cadApplication, rig.app);
        EXPECT_EQ(rig.log->Texts(),
                  (std::vector<std::string>{"app.Get ActiveDocument", "app.Put WindowState = i4:3",
                                            "app.Get HWND"}));
        EXPECT_EQ(rig.raised, std::vector<std::int64_t>{0x10062});
    }
}

// Last, AutoCAD's window is brought to the front by the handle it gives
// (an integer, which may come as a double); whatever goes wrong there is
// ignored and never becomes LastError.
TEST(ConnectCad, BringsTheCadForwardIgnoringEveryFailure) {
    const std::tuple<const char*, FakeObject::GetFn, std::vector<std::int64_t>> cases[] = {
        {"a 64-bit handle", [](auto) { return Variant(4294967298.0); }, {4294967298}},
        {"a fraction", [](auto) { return Variant(1.5); }, {}},
        {"past 64 bits", [](auto) { return Variant(1e19); }, {}},
        {"an exception raised", [](auto) -> Variant { Fail(status::kDispException); }, {}},
    };
    for (const auto& [name, hwnd, raised] : cases) {
        Rig rig;
        rig.RegisterRunning("AutoCAD.Application", rig.app);
        rig.app->OnGet("HWND", hwnd);
        EXPECT_TRUE(rig.Connect());
        EXPECT_EQ(std::tuple(rig.raised, rig.runner.LastError()), std::tuple(raised, status::kOk))
            << name;
    }
}

}  // namespace
}  // namespace velmora
