// The Qt view renders the control table and routes what the user does
// through ForTamrisk; the logic itself is tested in for_tamrisk_test.cpp.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/for_tamrisk.h"
#include "app/layout.h"
#include "app/qt/fonts.h"
#include "app/qt/main_window.h"
#include "app/version.h"
#include "automation/directory.h"

namespace velmora {
namespace {

class QtWindow : public ::testing::Test {
  protected:
    QtWindow() {
        // Made when the first view test runs, so listing the tests needs no display.
        static int argc = 1;
        static char* argv[] = {const_cast<char*>("velmora_app_tests"), nullptr};
        [[maybe_unused]] static auto* application = [] {
            auto* made = new QApplication(argc, argv);
            InstallChineseFontSubstitutes();
            return made;
        }();
        model.Services().showMessage = [this](std::string_view text) {
            messages.emplace_back(text);
        };
        view = std::make_unique<QtMainWindow>(model);
        view->show();
        view->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(view.get()));
    }
    QLineEdit* Box(int index) const {
        return qobject_cast<QLineEdit*>(view->Control("Text1", index));
    }
    QAbstractButton* Button(std::string_view name, int index = -1) const {
        return qobject_cast<QAbstractButton*>(view->Control(name, index));
    }
    // A pointer click delivered to the window at the widget's centre, so the
    // toolkit decides which widget is hit, as for a real mouse.
    void ClickAt(QWidget* widget) {
        const QPoint point = widget->mapTo(view.get(), widget->rect().center());
        QTest::mouseClick(view->windowHandle(), Qt::LeftButton, Qt::NoModifier, point);
        QTest::qWait(10);
    }

    LocalDirectory directory;
    std::vector<std::string> messages;
    ForTamrisk model{WindowServices{directory}};
    std::unique_ptr<QtMainWindow> view;
};

TEST_F(QtWindow, PlacesControlsAndStacksFramesAsTheLayoutSays) {
    const int dpiX = view->logicalDpiX(), dpiY = view->logicalDpiY();
    const PixelRect client = ClientRect(dpiX, dpiY);
    EXPECT_EQ(view->size(), QSize(client.width, client.height));
    for (int i = 0; i < kControlCount; ++i) {
        const PixelRect r = ControlRect(i, dpiX, dpiY);
        EXPECT_EQ(view->Control(i)->geometry(), QRect(r.left, r.top, r.width, r.height))
            << ControlName(kControls[i]).toStdString();
    }
    // Frame2 lies inside Frame3, which comes later: Frame2 still takes the mouse.
    QWidget* inner = view->Control("Frame2");
    QWidget* hit = view->childAt(inner->geometry().center());
    EXPECT_TRUE(hit == inner || inner->isAncestorOf(hit));
}

TEST_F(QtWindow, BoxesSelectOnFocusAndFilterTypedCharacters) {
    QApplication::clipboard()->setText("-7");
    Box(2)->setText(QString::fromUtf8("桩号"));
    ClickAt(Box(0));
    for (int index = 0; index < 6; ++index) {
        SCOPED_TRACE("Text1(" + std::to_string(index) + ")");
        const bool free = index == 2 || index == 3;
        QLineEdit* box = Box(index);
        // Reached by a first click or by Tab, the box selects its whole text.
        ASSERT_EQ(QApplication::focusWidget(), box);
        EXPECT_EQ(box->selectedText(), box->text());
        if (index == 0) ClickAt(box);  // a click in the box that has the focus moves the cursor
        EXPECT_EQ(box->hasSelectedText(), index != 0 && !box->text().isEmpty());
        box->clear();
        QSignalSpy enter(box, &QLineEdit::returnPressed);
        for (QChar c : QString::fromUtf8("-a中1.2")) {  // beyond ASCII as bare key events
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(box, Qt::Key_Home);  // editing keys type nothing and still work
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);  // pasted text is not filtered
        EXPECT_EQ(box->text(), QString::fromUtf8(free ? "-7a中1." : "-7."));
        EXPECT_EQ(Text(model.State().controls, *TextBoxAt(index)), box->text().toStdString());
        EXPECT_EQ(enter.count(), free ? 2 : 0);
        // An input method would compose past the filter.
        EXPECT_EQ(box->testAttribute(Qt::WA_InputMethodEnabled), free);
        QTest::keyClick(box, Qt::Key_Tab);
    }
}

TEST_F(QtWindow, CommandsTextAndMessagesPassThroughTheWindow) {
    SetText(model.State().controls, TextBox::StartNumber, "42");
    model.Services().textChanged(1);
    EXPECT_EQ(Box(1)->text(), "42");

    ClickAt(Button("Command3"));  // an empty register exports nothing
    model.State().pileCount = 1;
    model.State().pileRegister.rows[0] = {"100", "200", "0", "P1"};
    ClickAt(Button("Command3"));  // no Excel can be created
    EXPECT_EQ(messages, std::vector<std::string>{"软件没有检测到EXCEL，请确认EXCEL安装完整版！"});
    // Closed while "编号" waits on its message: the window stays until the
    // command has ended, then goes.
    model.Services().showMessage = [&](std::string_view text) {
        messages.emplace_back(text);
        EXPECT_FALSE(view->close());
        EXPECT_TRUE(view->isVisible() && !model.Unloaded());
    };
    ClickAt(Button("Command1"));
    EXPECT_EQ(messages.back(), "请先打开CAD软件！");
    EXPECT_TRUE(model.Unloaded());
    EXPECT_FALSE(view->isVisible());
    // A view that goes leaves no hook pointing at it; a test's recorder stays.
    view.reset();
    EXPECT_FALSE(model.Services().showWindow || model.Services().textChanged ||
                 model.Services().bringToFront);
    EXPECT_TRUE(model.Services().showMessage);

    // Without a test's recorder the view shows a real modal box.
    ForTamrisk plain(WindowServices{directory});
    QtMainWindow plainView(plain);
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->windowTitle() + "|" + box->text();
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        box->accept();
    });
    plain.Services().showMessage("请先打开CAD软件！");
    EXPECT_EQ(shown, QString::fromUtf8("提示信息|请先打开CAD软件！"));
}

// The stand-in AutoCAD runs in the same process: its window, named by its
// id, is raised and activated; an id no window has changes nothing.
TEST_F(QtWindow, BringsTheWindowWithThatIdToTheFront) {
    QWidget cad;
    cad.show();
    const auto cadId = static_cast<std::int64_t>(cad.winId());
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    model.Services().bringToFront(cadId + 1000);
    EXPECT_EQ(QApplication::activeWindow(), view.get());
    cad.showMinimized();
    model.Services().bringToFront(cadId);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&cad));
    EXPECT_FALSE(cad.isMinimized());
}

// A right-click on the window, outside a text box, shows the extra menu
// (the sample's item checked while one is in force); the item chosen runs
// as a button's command. A text box keeps its own editing menu.
TEST_F(QtWindow, RightClickShowsTheExtraMenu) {
    std::vector<std::string> about;
    model.Services().showAbout = [&](std::string_view text) { about.emplace_back(text); };
    model.State().pileSample = PileSample{SampleKind::Block, "桩位", "ZH-1"};
    const std::tuple<const char*, QWidget*, QString> cases[] = {
        {"label", view->Control("Label1", 2), QString::fromUtf8("关于 Velmora")},
        {"frame", view->Control("Frame1"), QString()},
        {"text box", Box(2), QString()},
    };
    for (const auto& [name, widget, choose] : cases) {
        QStringList shown;
        QTimer::singleShot(50, [&, choose = choose] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            for (QAction* action : menu->actions()) {
                shown << action->text() + (action->isChecked() ? "+" : "");
                if (action->text() == choose) menu->setActiveAction(action);
            }
            QTest::keyClick(menu, choose.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
        });
        const QPoint point = widget->mapTo(view.get(), QPoint(4, 4));
        QTest::mouseClick(view->windowHandle(), Qt::RightButton, Qt::NoModifier, point);
        QTest::qWait(100);
        const bool ours = std::string_view(name) != "text box";
        EXPECT_EQ(shown.size() == 3 &&
                      shown[0] == QString::fromUtf8("按样例选桩：图块 ZH-1，图层 桩位+") &&
                      shown[2] == QString::fromUtf8("关于 Velmora"),
                  ours)
            << name << ": " << shown.join('|').toStdString();
    }
    ASSERT_EQ(about.size(), 1u);
    EXPECT_EQ(about[0].rfind("Velmora " VELMORA_VERSION_TEXT "\n", 0), 0u) << about[0];
    EXPECT_NE(about[0].find("Expat"), std::string::npos);
}

}  // namespace
}  // namespace velmora
