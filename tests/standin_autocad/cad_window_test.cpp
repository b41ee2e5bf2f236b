// The interactive stand-in: registered while open, a pick by crossing
// window finished with Enter or cancelled with Esc, other windows locked
// meanwhile, and AutoCAD gone once the window closes.
#include "standins/autocad_window/cad_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QTemporaryDir>
#include <QTimer>

#include "automation/failure.h"
#include "status_of.h"
#include "view_input.h"

namespace velmora::standins {
namespace {

using testing::App, testing::Key, testing::Mouse;

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
    QWidget* window = OpenStandInCadWindow(directory, FindSampleDrawing());
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
    StandInCadWindow* window = OpenStandInCadWindow(directory, QString());
    const Object app = directory.FindRunning("AutoCAD.Application");
    EXPECT_EQ(Get(app, "HWND").ToDouble(), static_cast<double>(window->winId()));
    const Object document = GetObject(app, "ActiveDocument");
    const std::size_t before = Texts(window->host()->drawing).size();
    const Object modelSpace = GetObject(document, "ModelSpace");
    const auto label = [&] { Call(modelSpace, "AddText", {"1", DoubleArray{1, 1, 0}, 1.0}); };
    label();  // a step of its own
    Call(document, "StartUndoMark");
    label();
    label();
    Call(document, "EndUndoMark");
    QTemporaryDir folder;
    ASSERT_TRUE(window->SaveTo(folder.filePath(QStringLiteral("saved.dxf"))));
    for (QAction* action : window->findChildren<QAction*>()) {
        if (action->shortcut() == QKeySequence(QKeySequence::Undo)) action->trigger();
    }
    EXPECT_EQ(Texts(window->host()->drawing).size(), before + 1);
    EXPECT_TRUE(window->Modified());
    delete window;  // not closed: nothing asks about the unsaved labels
}

}  // namespace
}  // namespace velmora::standins
