// The stand-in AutoCAD's window driven as a user drives it, for the Qt
// tests: the application they run in, mouse and key events.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "standins/autocad_window/drawing_view.h"

namespace velmora::testing {

// Never destroyed: it must outlive every widget, whatever a test leaves.
inline QApplication& App() {
    static int argc = 1;
    static char name[] = "velmora_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

inline void Mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
                  Qt::MouseButtons buttons, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, keys);
    QApplication::sendEvent(widget, &event);
}

// The left button pressed at one drawing point and let go at another; a
// click where they meet.
inline void Drag(standins::DrawingView* view, QPointF from, QPointF to) {
    const QPoint a = view->ToScreen(from.x(), from.y()).toPoint();
    const QPoint b = view->ToScreen(to.x(), to.y()).toPoint();
    Mouse(view, QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton);
    Mouse(view, QEvent::MouseMove, b, Qt::NoButton, Qt::LeftButton);
    Mouse(view, QEvent::MouseButtonRelease, b, Qt::LeftButton, Qt::NoButton);
}

inline void Key(QWidget* widget, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

}  // namespace velmora::testing
