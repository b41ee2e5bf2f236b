#include "cad/connect_cad.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/directory.h"
#include "automation/status.h"
#include "fake_object.h"

namespace velmora {
namespace {

using testing::CallLog;
using testing::FakeObject;
using testing::MakeFake;

// A directory, the messages shown, and one fake AutoCAD with its document.
struct Rig {
    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    std::shared_ptr<FakeObject> app = MakeFake("app", log);
    std::shared_ptr<FakeObject> doc = MakeFake("doc", log);
    LocalDirectory directory;
    std::vector<std::string> messages;
    WindowServices services;
    CadSession session;
    ContinueOnFailure runner;

    Rig() {
        app->Returns("ActiveDocument", Variant(Object(doc))).Stores("WindowState");
        services.directory = &directory;
        services.showMessage = [this](std::string_view text) { messages.emplace_back(text); };
    }
    bool Connect() { return ConnectCad(session, runner, services); }
};

TEST(ConnectCad, NoRunningAutoCadShowsOneMessageAndCallsNothing) {
    Rig rig;
    EXPECT_FALSE(rig.Connect());
    EXPECT_EQ(rig.messages, std::vector<std::string>{"请先打开CAD软件！"});
    EXPECT_EQ(rig.directory.FindCount(), 6);    // the plain ProgID and .16 to .20
    EXPECT_EQ(rig.directory.CreateCount(), 0);  // never starts one
    EXPECT_TRUE(rig.log->calls.empty());
    EXPECT_EQ(rig.session.cadApplication, nullptr);
    EXPECT_EQ(rig.session.cadDocument, nullptr);
}

TEST(ConnectCad, FindsInstanceUnderAnyProgIdAndMaximisesIt) {
    for (std::string_view progId : kCadProgIds) {
        SCOPED_TRACE(std::string(progId));
        Rig rig;
        rig.directory.RegisterRunning(std::string(progId), rig.app);
        EXPECT_TRUE(rig.Connect());
        EXPECT_TRUE(rig.messages.empty());
        // The failed lookups before it leave no trace.
        EXPECT_EQ(rig.runner.LastError(), status::kOk);
        EXPECT_EQ(rig.session.cadApplication, rig.app);
        EXPECT_EQ(rig.session.cadDocument, rig.doc);
        EXPECT_EQ(rig.app->Stored("WindowState"), Variant(3));
        EXPECT_EQ(rig.log->Texts(), (std::vector<std::string>{"app.Get ActiveDocument",
                                                              "app.Put WindowState = i4:3"}));
    }
    // Once found, the later ProgIDs are not looked up.
    Rig rig;
    rig.directory.RegisterRunning("AutoCAD.Application.18", rig.app);
    rig.directory.RegisterRunning("AutoCAD.Application.19", MakeFake("other", rig.log));
    EXPECT_TRUE(rig.Connect());
    EXPECT_EQ(rig.directory.FindCount(), 4);
    EXPECT_EQ(rig.session.cadApplication, rig.app);
}

TEST(ConnectCad, InstanceGoneSinceLastCommandShowsMessageAgain) {
    Rig rig;
    rig.directory.RegisterRunning("AutoCAD.Application", rig.app);
    ASSERT_TRUE(rig.Connect());
    rig.directory.RevokeRunning("AutoCAD.Application");
    rig.log->calls.clear();

    EXPECT_FALSE(rig.Connect());
    EXPECT_EQ(rig.messages, std::vector<std::string>{"请先打开CAD软件！"});
    EXPECT_TRUE(rig.log->calls.empty());
    // The old references stay until a successful attach replaces them.
    EXPECT_EQ(rig.session.cadApplication, rig.app);
    EXPECT_EQ(rig.session.cadDocument, rig.doc);

    // A restarted AutoCAD with another drawing is picked up by the next command.
    auto app2 = MakeFake("app2", rig.log);
    auto doc2 = MakeFake("doc2", rig.log);
    app2->Returns("ActiveDocument", Variant(Object(doc2))).Stores("WindowState");
    rig.directory.RegisterRunning("AutoCAD.Application.20", app2);
    EXPECT_TRUE(rig.Connect());
    EXPECT_EQ(rig.session.cadApplication, app2);
    EXPECT_EQ(rig.session.cadDocument, doc2);
    EXPECT_EQ(rig.messages.size(), 1u);
}

TEST(ConnectCad, FailuresAfterAttachAreKeptNotShown) {
    Rig rig;
    auto app = MakeFake("app", rig.log);  // no ActiveDocument: it fails
    app->Stores("WindowState");
    rig.directory.RegisterRunning("AutoCAD.Application.17", app);
    rig.session.cadDocument = rig.doc;  // from an earlier command

    EXPECT_TRUE(rig.Connect());
    EXPECT_TRUE(rig.messages.empty());
    EXPECT_EQ(rig.session.cadApplication, app);
    EXPECT_EQ(rig.session.cadDocument, rig.doc);        // a failed assignment replaces nothing
    EXPECT_EQ(app->Stored("WindowState"), Variant(3));  // the next step still runs
    EXPECT_EQ(rig.runner.LastError(), status::kUnknownName);
}

}  // namespace
}  // namespace velmora
