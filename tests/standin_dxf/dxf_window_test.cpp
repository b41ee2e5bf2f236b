// The drawing window with files: the title names the file and marks
// unsaved labels, closing and the program's end ask about them and save in
// place, an unreadable file changes nothing.
#include <gtest/gtest.h>

#include <QPointer>
#include <QTimer>

#include "automation/failure.h"
#include "dxf_support.h"
#include "standins/autocad_window/cad_window.h"
#include "standins/autocad_window/drawing_view.h"
#include "standins/drawing/dxf/dxf_file.h"
#include "status_of.h"
#include "tap.h"
#include "view_input.h"

namespace velmora::testing {
namespace {

using standins::SaveAnswer;

// Answers the window's questions from a script and records them.
struct Answers {
    std::vector<SaveAnswer> save;
    std::vector<QString> asked, errors;

    standins::CadWindowPrompts Prompts() {
        standins::CadWindowPrompts prompts;
        prompts.askSave = [this](const QString& file, bool canCancel) {
            asked.push_back(file + (canCancel ? "" : " (no cancel)"));
            if (save.empty()) return SaveAnswer::Cancel;
            const SaveAnswer answer = save.front();
            save.erase(save.begin());
            return answer;
        };
        prompts.askOpenPath = [] { return QString(); };
        prompts.askSavePath = [](const QString&) { return QString(); };
        prompts.showError = [this](const QString& text) { errors.push_back(text); };
        return prompts;
    }
};

void AddLabel(const Object& app) {
    const Object space = GetObject(GetObject(app, "ActiveDocument"), "ModelSpace");
    Call(space, "AddText", {"7", DoubleArray{1, 2, 0}, 2.5});
}

// The drawing with every X 100 000 more.
std::string East(std::string dxf) {
    for (std::size_t at = 0; (at = dxf.find("\n512", at)) != std::string::npos;) dxf[at += 1] = '6';
    return dxf;
}

TEST(DxfWindow, TitleMarksUnsavedLabelsAndClosingAsksAboutThem) {
    App();
    const auto folder = ScratchFolder("window");
    const QString path = QString::fromStdString((folder / "piles.dxf").string());
    // With an entity the window does not read, which the save keeps.
    std::string sample = ReadAll(kSampleDxf);
    sample.insert(sample.rfind("  0\nENDSEC"), "  0\nLEADER\n  8\n0\n");
    std::ofstream(path.toStdString(), std::ios::binary) << sample;
    // The same drawing 100 km east first: the view follows the drawing opened after it.
    const QString east = QString::fromStdString((folder / "east.dxf").string());
    std::ofstream(east.toStdString(), std::ios::binary) << East(sample);
    Answers answers;
    LocalDirectory directory;
    QPointer<standins::StandInCadWindow> window =
        standins::OpenStandInCadWindow(directory, east, answers.Prompts());
    ASSERT_TRUE(window->OpenFile(path));
    EXPECT_TRUE(
        window->View()->rect().contains(window->View()->ToScreen(512340, 3386420).toPoint()));
    const Object app = directory.FindRunning("AutoCAD.Application");
    ASSERT_TRUE(answers.errors.empty()) << answers.errors[0].toStdString();
    EXPECT_EQ(window->windowTitle(), "AutoCAD - [piles.dxf]");
    const auto entities = window->host()->drawing.entities.size();

    AddLabel(app);
    EXPECT_TRUE(window->Modified());
    EXPECT_EQ(window->windowTitle(), "AutoCAD - [piles.dxf]*");

    // Cancel: the window stays open and AutoCAD keeps running.
    answers.save = {SaveAnswer::Cancel};
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_NO_THROW(directory.FindRunning("AutoCAD.Application"));

    // An unreadable file: the error names it, the drawing stays.
    std::ofstream(folder / "broken.dxf") << "  0\nSECTION\n  2\nENTITIES\n  0\nPOINT\n";
    EXPECT_FALSE(window->OpenFile(QString::fromStdString((folder / "broken.dxf").string())));
    ASSERT_EQ(answers.errors.size(), 1u);
    EXPECT_TRUE(answers.errors[0].contains("broken.dxf")) << answers.errors[0].toStdString();
    EXPECT_EQ(window->host()->drawing.entities.size(), entities + 1);
    EXPECT_EQ(window->windowTitle(), "AutoCAD - [piles.dxf]*");

    // The program ends: asked with no cancelling, saved in place; closing
    // then asks nothing more.
    answers.save = {SaveAnswer::Save};
    window->SaveBeforeQuit();
    EXPECT_FALSE(window->Modified());
    EXPECT_EQ(window->windowTitle(), "AutoCAD - [piles.dxf]");
    EXPECT_TRUE(window->close());
    EXPECT_THROW(directory.FindRunning("AutoCAD.Application"), Failure);
    EXPECT_EQ(answers.asked, (std::vector<QString>{"piles.dxf", "piles.dxf (no cancel)"}));
    const standins::DxfRead saved = standins::LoadDxf(path.toStdString());
    ASSERT_EQ(saved.error, "");
    EXPECT_EQ(saved.drawing.entities.size(), entities + 1);
    EXPECT_EQ(std::prev(saved.drawing.entities.end())->second.text, "7");
    EXPECT_EQ(saved.skipped.at("LEADER"), 1);
    delete window;
}

// Block piles in the window: a click on a block's shapes takes it, a window
// takes it when all of it lies inside, a crossing one when it meets it;
// GetEntity takes one entity of any kind, by its attribute too, with its
// prompt on the command line, and fails for a click on nothing or Esc.
TEST(DxfWindow, BlockPilesArePickedByTheirShapes) {
    if (!EzdxfAvailable()) GTEST_SKIP() << "python3-ezdxf is not installed";
    App();
    Answers answers;
    LocalDirectory directory;
    std::unique_ptr<standins::StandInCadWindow> window(standins::OpenStandInCadWindow(
        directory, QString::fromStdString(PilesFile("R2018")), answers.Prompts()));
    standins::DrawingView* view = window->View();
    auto tap = std::make_shared<Tap>();
    const Object document =
        GetObject(Tapped(directory.FindRunning("AutoCAD.Application"), tap), "ActiveDocument");
    const double E = 512300, N = 3386400;
    QTimer::singleShot(0, [&] {
        Drag(view, {E + 0.4, N}, {E + 0.4, N});                // a click on the circle of E
        Drag(view, {E + 3.9, N - 0.9}, {E + 6.1, N + 1.2});    // all of E+5 and its number
        Drag(view, {E + 9.2, N - 0.8}, {E + 10.8, N + 0.8});   // cuts E+10 (scaled 2)
        Drag(view, {E + 15.7, N + 0.2}, {E + 15.3, N - 0.2});  // crosses E+15, not its point
        Key(view, Qt::Key_Return);
    });
    const Object set = Call(GetObject(document, "SelectionSets"), "Add", {"S"}).AsObject();
    Call(set, "SelectOnScreen", {Int16Array{0}, VariantArray{"INSERT"}});
    std::vector<Variant> taken, args, read;
    for (const Variant& item : Enumerate(set))
        taken.push_back(Get(item.AsObject(), "InsertionPoint"));
    EXPECT_EQ(taken, (std::vector<Variant>{DoubleArray{E, N, 0}, DoubleArray{E + 5, N, 0},
                                           DoubleArray{E + 15, N, 0}}));

    const auto getEntity = [&](QPointF click, int key) {
        QTimer::singleShot(0, [=] { key ? Key(view, key) : Drag(view, click, click); });
        args = {Variant(), Variant(), "选择样例桩："};
        return StatusOf(
            [&] { CallWithResults(GetObject(document, "Utility"), "GetEntity", args); });
    };
    tap->logging = true;  // the call logged, what it leaves behind the tap too
    ASSERT_EQ(getEntity({E + 5.6, N + 0.6}, 0), 0u);  // its number
    for (const char* member : {"InsertionPoint", "Layer", "EffectiveName"})
        read.push_back(Get(args[0].AsObject(), member));
    EXPECT_EQ(read, (std::vector<Variant>{DoubleArray{E + 5, N, 0}, "桩位", "ZH-1"}));
    EXPECT_EQ(tap->log,
              Split("Get Utility|CallWithResults GetEntity(empty, empty, \"选择样例桩：\")|"
                    "Get InsertionPoint|Get Layer|Get EffectiveName"));
    EXPECT_NEAR(args[1].AsDoubleArray()[0], E + 5.6, 0.1);
    EXPECT_EQ(getEntity({E + 2.5, N + 2.5}, 0), status::kDispException);
    EXPECT_EQ(getEntity({}, Qt::Key_Escape), status::kDispException);
    EXPECT_EQ(window->host()->commandLine, std::deque<std::string>(3, "选择样例桩："));
    window->close();
}

}  // namespace
}  // namespace velmora::testing
