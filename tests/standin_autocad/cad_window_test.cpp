// The interactive stand-in: registered while open, a pick by crossing
// window finished with Enter or cancelled with Esc, other windows locked
// meanwhile, and AutoCAD gone once the window closes.
#include "standins/autocad_window/cad_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>

#include "automation/failure.h"
#include "standins/autocad_window/drawing_view.h"
#include "status_of.h"

namespace velmora::standins {
namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "velmora_standin_autocad_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: it must outlive every widget, whatever a test leaves.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

void Mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
           Qt::MouseButtons buttons, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, keys);
    QApplication::sendEvent(widget, &event);
}

void Key(QWidget* widget, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

std::uint32_t PickStatus(const Object& set, const char* type) {
    return testing::StatusOf([&] {
        Call(set, "SelectOnScreen", {Int16Array{-4, 0, -4}, VariantArray{"<or", type, "or>"}});
    });
}

TEST(CadWindow, PicksInteractivelyWhileRegistered) {
    App();
    LocalDirectory directory;
    QWidget other;
    other.show();
    QWidget* window = OpenStandInCadWindow(directory);
    auto* view = window->findChild<DrawingView*>();
    ASSERT_NE(view, nullptr);
    const Object app = directory.FindRunning("AutoCAD.Application");
    const Object document = GetObject(app, "ActiveDocument");
    Put(app, "WindowState", std::int32_t{3});

    // A crossing window over the whole view, drawn right to left, then Enter.
    bool otherLocked = false;
    QTimer::singleShot(0, [&] {
        otherLocked = !other.isEnabled();
        const QPoint from(view->width() - 2, view->height() - 2), to(2, 2);
        Mouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        Mouse(view, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        Mouse(view, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        Key(view, Qt::Key_Return);
    });
    const Object circles = Call(GetObject(document, "SelectionSets"), "Add", {"A"}).AsObject();
    EXPECT_EQ(PickStatus(circles, "CIRCLE"), status::kOk);
    EXPECT_TRUE(otherLocked);
    EXPECT_TRUE(other.isEnabled());
    EXPECT_EQ(Get(circles, "Count").ToInt32(), 19);  // every circle pile of the sample

    // A click takes one pile, Shift and a click drops one; a right click finishes.
    QTimer::singleShot(0, [&] {
        auto click = [&](double x, double y, Qt::MouseButton button, Qt::KeyboardModifiers keys) {
            const QPoint at = view->ToScreen(x, y).toPoint();
            Mouse(view, QEvent::MouseButtonPress, at, button, button, keys);
            Mouse(view, QEvent::MouseButtonRelease, at, button, Qt::NoButton, keys);
        };
        click(512300, 3386440, Qt::LeftButton, Qt::NoModifier);
        click(512306, 3386440, Qt::LeftButton, Qt::NoModifier);
        click(512300, 3386440, Qt::LeftButton, Qt::ShiftModifier);
        click(512360, 3386440, Qt::LeftButton, Qt::NoModifier);  // a circle: refused
        click(0, 0, Qt::RightButton, Qt::NoModifier);
    });
    const Object clicked = Call(GetObject(document, "SelectionSets"), "Add", {"C"}).AsObject();
    EXPECT_EQ(PickStatus(clicked, "POINT"), status::kOk);
    ASSERT_EQ(Get(clicked, "Count").ToInt32(), 1);
    EXPECT_EQ(
        Get(Get(clicked, "Item", {std::int32_t{0}}).AsObject(), "Coordinates").AsDoubleArray(),
        (DoubleArray{512306, 3386440, 0}));

    // Esc cancels: the call fails with 0x80020009.
    QTimer::singleShot(0, [&] { Key(view, Qt::Key_Escape); });
    const Object points = Call(GetObject(document, "SelectionSets"), "Add", {"B"}).AsObject();
    EXPECT_EQ(PickStatus(points, "POINT"), status::kDispException);

    // Closing the window is AutoCAD going away.
    window->close();
    EXPECT_THROW(directory.FindRunning("AutoCAD.Application"), Failure);
    EXPECT_THROW(GetObject(app, "ActiveDocument"), Failure);
    delete window;
}

// AutoCAD's HWND is the window's id. 编辑 › 放弃 (Ctrl+Z) takes back the
// last group of labels, marking the drawing modified as any change does.
TEST(CadWindow, HandleAndUndoOfAGroup) {
    App();
    LocalDirectory directory;
    CadWindowPrompts prompts;
    prompts.askSave = [](const QString&, bool) { return SaveAnswer::Discard; };
    StandInCadWindow* window = OpenStandInCadWindow(directory, QString(), prompts);
    const Object app = directory.FindRunning("AutoCAD.Application");
    EXPECT_EQ(Get(app, "HWND").ToDouble(), static_cast<double>(window->winId()));

    const Object document = GetObject(app, "ActiveDocument");
    const Object modelSpace = GetObject(document, "ModelSpace");
    const std::size_t before = Texts(window->host()->drawing).size();
    Call(modelSpace, "AddText", {"0", DoubleArray{0, 0, 0}, 1.0});
    Call(document, "StartUndoMark");
    for (const char* label : {"1", "2"})
        Call(modelSpace, "AddText", {label, DoubleArray{1, 1, 0}, 1.0});
    Call(document, "EndUndoMark");
    QTemporaryDir folder;
    ASSERT_TRUE(window->SaveTo(folder.filePath(QStringLiteral("saved.dxf"))));

    QAction* undo = nullptr;
    for (QAction* action : window->findChildren<QAction*>()) {
        if (action->shortcut() == QKeySequence(QKeySequence::Undo)) undo = action;
    }
    ASSERT_NE(undo, nullptr);
    undo->trigger();
    EXPECT_EQ(Texts(window->host()->drawing).size(), before + 1);
    EXPECT_TRUE(window->Modified());
    window->close();
    delete window;
}

}  // namespace
}  // namespace velmora::standins
