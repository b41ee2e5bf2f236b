// The drawing window with files: the title names the file and marks
// unsaved labels, closing and the program's end ask about them and save in
// place, an unreadable file changes nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include "automation/failure.h"
#include "dxf_support.h"
#include "standins/autocad_window/cad_window.h"
#include "standins/autocad_window/drawing_view.h"
#include "standins/drawing/dxf/dxf_file.h"
#include "status_of.h"

namespace velmora::testing {
namespace {

using standins::SaveAnswer;

QApplication& App() {
    static int argc = 1;
    static char name[] = "velmora_standin_dxf_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

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

void Click(standins::DrawingView* view, double x, double y) {
    const QPoint at = view->ToScreen(x, y).toPoint();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, view->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(view, &event);
    }
}

void Drag(standins::DrawingView* view, QPointF from, QPointF to) {
    const QPoint a = view->ToScreen(from.x(), from.y()).toPoint();
    const QPoint b = view->ToScreen(to.x(), to.y()).toPoint();
    QMouseEvent press(QEvent::MouseButtonPress, a, view->mapToGlobal(a), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent move(QEvent::MouseMove, b, view->mapToGlobal(b), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, b, view->mapToGlobal(b), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    for (QMouseEvent* event : {&press, &move, &release}) QApplication::sendEvent(view, event);
}

void Key(QWidget* widget, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Block piles in the window: a click on a block's shapes takes it, a window
// takes it when all of it lies inside; GetEntity takes one entity of any
// kind, by its attribute too, with its prompt on the command line.
TEST(DxfWindow, BlockPilesArePickedByTheirShapes) {
    if (!EzdxfAvailable()) GTEST_SKIP() << "python3-ezdxf is not installed";
    App();
    const std::string path = (ScratchFolder("window-piles") / "piles.dxf").string();
    Ezdxf("piles R2018 ANSI_1252", path);
    Answers answers;
    LocalDirectory directory;
    std::unique_ptr<standins::StandInCadWindow> window(
        standins::OpenStandInCadWindow(directory, QString::fromStdString(path), answers.Prompts()));
    standins::DrawingView* view = window->View();
    const Object document =
        GetObject(directory.FindRunning("AutoCAD.Application"), "ActiveDocument");
    constexpr double E = 512300, N = 3386400;

    QTimer::singleShot(0, [&] {
        Click(view, E + 0.4, N);                              // on the circle of ZH-1 at E
        Drag(view, {E + 3.9, N - 0.9}, {E + 6.1, N + 1.2});   // all of E+5 and its number
        Drag(view, {E + 9.2, N - 0.8}, {E + 10.8, N + 0.8});  // cuts E+10 (scaled 2)
        Key(view, Qt::Key_Return);
    });
    const Object set = Call(GetObject(document, "SelectionSets"), "Add", {"S"}).AsObject();
    Call(set, "SelectOnScreen", {Int16Array{0}, VariantArray{"INSERT"}});
    std::vector<Variant> points;
    for (const Variant& item : Enumerate(set))
        points.push_back(Get(item.AsObject(), "InsertionPoint"));
    EXPECT_EQ(points, (std::vector<Variant>{DoubleArray{E, N, 0}, DoubleArray{E + 5, N, 0}}));

    const Object utility = GetObject(document, "Utility");
    QString prompt;
    const auto getEntity = [&](std::function<void()> user) {
        QTimer::singleShot(0, [&, user] {
            prompt = window->findChild<QLabel*>()->text();
            user();
        });
        std::vector<Variant> args = {Variant(), Variant(), "选择样例桩："};
        const std::uint32_t status = StatusOf([&] { CallWithResults(utility, "GetEntity", args); });
        return std::pair(status, args);
    };
    const auto [status, args] = getEntity([&] { Click(view, E + 5.6, N + 0.6); });  // its number
    ASSERT_EQ(status, status::kOk);
    EXPECT_TRUE(prompt.endsWith("选择样例桩：")) << prompt.toStdString();
    EXPECT_EQ(Get(args[0].AsObject(), "InsertionPoint"), Variant(DoubleArray{E + 5, N, 0}));
    EXPECT_NEAR(args[1].AsDoubleArray()[0], E + 5.6, 0.1);
    EXPECT_EQ(getEntity([&] { Click(view, E + 2.5, N + 2.5); }).first, status::kDispException);
    EXPECT_EQ(getEntity([&] { Key(view, Qt::Key_Escape); }).first, status::kDispException);

    // A pile erased and the drawing saved as DXF R12 to another file: the
    // block references are gone from it, so from the drawing too.
    const Object space = GetObject(document, "ModelSpace");
    Call(Enumerate(space).back().AsObject(), "Delete");
    ASSERT_TRUE(window->SaveTo(QString::fromStdString(path + "-r12.dxf")));
    std::vector<Variant> kinds;
    for (const Variant& item : Enumerate(space))
        kinds.push_back(Get(item.AsObject(), "ObjectName"));
    std::vector<Variant> left(4, Variant("AcDbCircle"));
    left.insert(left.end(), 2, Variant("AcDbPoint"));
    EXPECT_EQ(kinds, left);
    window->close();
}

}  // namespace
}  // namespace velmora::testing
