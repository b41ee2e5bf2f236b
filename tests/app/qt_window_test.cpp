#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/for_tamrisk.h"
#include "app/qt/main_window.h"
#include "automation/directory.h"
#include "release_probe.h"

namespace velmora {
namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), text.size()); }

// The toolkit class drawing each kind of control, in ControlKind's order.
const char* const kWidgetClass[] = {"QGroupBox", "QRadioButton", "QLabel", "QLineEdit",
                                    "QPushButton"};

// The caption or text a widget shows, whatever its kind.
QString Shown(QWidget* widget) {
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) return frame->title();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* box = qobject_cast<QLineEdit*>(widget)) return box->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    return {};
}

class QtWindow : public ::testing::Test {
  protected:
    QtWindow() {
        WindowServices services;
        services.directory = &directory;
        services.showMessage = [this](std::string_view text) { messages.emplace_back(text); };
        model = std::make_unique<ForTamrisk>(std::move(services));
        view = std::make_unique<QtMainWindow>(*model);
    }

    void Show() {
        view->show();
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
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
    // Types text key by key; characters beyond ASCII come as bare key events.
    static void Type(QWidget* widget, const QString& text) {
        for (QChar c : text) {
            if (c.unicode() < 128) {
                QTest::keyClick(widget, c.toLatin1());
            } else {
                QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
            }
        }
    }
    bool Checked(std::string_view name, int index) const {
        return Button(name, index)->isChecked();
    }

    LocalDirectory directory;
    std::vector<std::string> messages;
    std::unique_ptr<ForTamrisk> model;
    std::unique_ptr<QtMainWindow> view;
};

TEST_F(QtWindow, RendersEveryControlOfTheTable) {
    EXPECT_EQ(view->windowTitle(), "Velmora");
    EXPECT_EQ(view->size(), QSize(view->Pixels(5490), view->Pixels(3915, true)));
    if (view->logicalDpiX() == 96) {
        EXPECT_EQ(view->size(), QSize(366, 261));
    }

    QSet<QString> names;
    for (int i = 0; i < kControlCount; ++i) {
        const ControlSpec& entry = kControls[i];
        QWidget* widget = view->Control(i);
        SCOPED_TRACE(ControlName(entry).toStdString());
        ASSERT_NE(widget, nullptr);
        names.insert(widget->objectName());
        QWidget* container = entry.container.empty() ? view.get() : view->Control(entry.container);
        EXPECT_EQ(widget->parentWidget(), container);
        const QRect expected(
            view->Pixels(entry.left), view->Pixels(entry.top, true),
            view->Pixels(entry.left + entry.width) - view->Pixels(entry.left),
            view->Pixels(entry.top + entry.height, true) - view->Pixels(entry.top, true));
        EXPECT_EQ(widget->geometry(), expected);
        EXPECT_TRUE(widget->inherits(kWidgetClass[static_cast<int>(entry.kind)]));
        EXPECT_EQ(Shown(widget), Q(entry.caption));
        if (auto* option = qobject_cast<QRadioButton*>(widget)) {
            EXPECT_EQ(option->isChecked(), entry.selected);
        }
        EXPECT_EQ(widget->focusPolicy() == Qt::NoFocus, !TakesFocus(entry.kind));
    }
    EXPECT_EQ(names.size(), kControlCount);

    // 宋体 10.5 pt regular where asked, drawn by a face that has Chinese.
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    for (int index : {4, 5}) {
        const QFont font = Box(index)->font();
        EXPECT_EQ(font.family(), "宋体");
        EXPECT_DOUBLE_EQ(font.pointSizeF(), 10.5);
        EXPECT_EQ(font.weight(), QFont::Normal);
        EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut());
        if (!chinese.isEmpty()) {
            EXPECT_TRUE(chinese.contains(QFontInfo(font).family()))
                << QFontInfo(font).family().toStdString();
        }
    }
    EXPECT_EQ(Box(0)->font(), view->font());
}

TEST_F(QtWindow, TabMovesThroughControlsByTabIndex) {
    Show();
    // The window opens with the focus on the first control that takes it.
    EXPECT_EQ(QApplication::focusWidget(), Button("Option1", 0));
    QStringList visited;
    for (int step = 0; step < 16; ++step) {
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // Frames and labels are passed over; option buttons of one group share
    // one stop, at the selected button.
    const QStringList expected = {"Option1(0)", "Text1(0)", "Text1(1)",   "Text1(2)",
                                  "Text1(3)",   "Text1(4)", "Text1(5)",   "Command1",
                                  "Command2",   "Command3", "Option3(1)", "Option2(1)",
                                  "Option1(0)", "Text1(0)", "Text1(1)",   "Text1(2)"};
    EXPECT_EQ(visited, expected);
}

TEST_F(QtWindow, OptionGroupsGoByContainerUnderRealClicks) {
    Show();
    // 点 and 圆 lie inside the settings frame's rectangle; the click must
    // still reach them.
    for (auto [name, index] : {std::pair{"Option2", 0}, std::pair{"Option2", 1}}) {
        QWidget* button = Button(name, index);
        EXPECT_EQ(view->childAt(button->mapTo(view.get(), button->rect().center())), button);
    }
    ClickAt(Button("Option2", 2));  // 世界坐标
    EXPECT_TRUE(Checked("Option2", 2));
    EXPECT_FALSE(Checked("Option3", 1));
    EXPECT_TRUE(Checked("Option2", 1));  // 点 stays
    EXPECT_FALSE(Checked("Option2", 0));

    ClickAt(Button("Option2", 0));  // 圆
    EXPECT_TRUE(Checked("Option2", 0));
    EXPECT_FALSE(Checked("Option2", 1));
    EXPECT_TRUE(Checked("Option2", 2));

    // The window's state follows the view.
    for (int i = 0; i < kControlCount; ++i) {
        if (kControls[i].kind != ControlKind::OptionButton) continue;
        EXPECT_EQ(model->State().controls.selected[i],
                  Button(kControls[i].name, kControls[i].index)->isChecked())
            << i;
    }
}

TEST_F(QtWindow, KeyFilterRunsOnTypedCharactersOnly) {
    Show();
    for (int index : {0, 1, 4, 5}) {
        SCOPED_TRACE(index);
        QLineEdit* box = Box(index);
        box->setFocus(Qt::OtherFocusReason);
        box->clear();
        Type(box, QString::fromUtf8("-+a中12.5 x"));
        EXPECT_EQ(box->text(), "12.5");
        Type(box, "1.2.3");
        EXPECT_EQ(box->text(), "12.51.2.3");
        QTest::keyClick(box, Qt::Key_Backspace);
        EXPECT_EQ(box->text(), "12.51.2.");
        QSignalSpy enter(box, &QLineEdit::returnPressed);
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_EQ(enter.count(), 0);
        QTest::keyClick(box, Qt::Key_Home);  // editing keys type nothing and still work
        QTest::keyClick(box, Qt::Key_Delete);
        EXPECT_EQ(box->text(), "2.51.2.");
        EXPECT_EQ(Text1(model->State().controls, index), "2.51.2.");
    }
    for (int index : {2, 3}) {
        SCOPED_TRACE(index);
        QLineEdit* box = Box(index);
        box->setFocus(Qt::OtherFocusReason);
        Type(box, QString::fromUtf8("-+a中1"));
        EXPECT_EQ(box->text(), QString::fromUtf8("-+a中1"));
        QTest::keyClick(box, Qt::Key_Backspace);
        EXPECT_EQ(Text1(model->State().controls, index), "-+a中");
        QSignalSpy enter(box, &QLineEdit::returnPressed);
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(enter.count(), 1);
    }
    // An input method would compose past the filter: only 2 and 3 take one.
    for (int index = 0; index < 6; ++index) {
        EXPECT_EQ(Box(index)->testAttribute(Qt::WA_InputMethodEnabled), index == 2 || index == 3);
    }
    // Pasted text is not filtered; Tab still leaves a numeric box.
    QApplication::clipboard()->setText("-7");
    Box(0)->setFocus(Qt::OtherFocusReason);
    Box(0)->clear();
    QTest::keyClick(Box(0), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Box(0)->text(), "-7");
    QTest::keyClick(Box(0), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Box(1));
}

TEST_F(QtWindow, FocusByTabOrClickSelectsWholeText) {
    Show();
    Box(1)->setText(QString::fromUtf8("12"));
    Box(2)->setText(QString::fromUtf8("桩号"));
    Box(0)->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(Box(0), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), Box(1));
    EXPECT_EQ(Box(1)->selectedText(), "12");
    QTest::keyClick(Box(1), Qt::Key_Tab);
    EXPECT_EQ(Box(2)->selectedText(), QString::fromUtf8("桩号"));
    QTest::keyClick(Box(2), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Box(1)->selectedText(), "12");

    ClickAt(Box(2));
    ASSERT_EQ(QApplication::focusWidget(), Box(2));
    EXPECT_EQ(Box(2)->selectedText(), QString::fromUtf8("桩号"));
    Type(Box(2), "P");  // the next character replaces the whole text
    EXPECT_EQ(Box(2)->text(), "P");

    ClickAt(Box(4));
    EXPECT_EQ(Box(4)->selectedText(), "0");
    ClickAt(Box(4));  // a click in the box that has the focus just moves the cursor
    EXPECT_EQ(Box(4)->selectedText(), "");
}

TEST_F(QtWindow, CommandTextAndMessagesPassThroughTheWindow) {
    // A command writes Text1(1) and tells the view.
    SetText1(model->State().controls, 1, "42");
    model->Services().textChanged(1);
    EXPECT_EQ(Box(1)->text(), "42");

    // Without a test's recorder the view shows a real modal box.
    ForTamrisk plain({});
    QtMainWindow plainView(plain);
    ASSERT_TRUE(plain.Services().showMessage);
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        box->accept();
    });
    plain.Services().showMessage("请先打开CAD软件！");
    EXPECT_EQ(title, QString::fromUtf8("提示信息"));
    EXPECT_EQ(text, QString::fromUtf8("请先打开CAD软件！"));
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(buttons, QMessageBox::Ok);

    // A view that goes leaves no hook pointing at it; a test's recorder stays.
    view.reset();
    EXPECT_FALSE(model->Services().showWindow || model->Services().textChanged);
    EXPECT_TRUE(model->Services().showMessage);
}

TEST_F(QtWindow, ButtonsRunTheirCommandsInsideTheClick) {
    Show();
    ClickAt(Button("Command1"));  // no AutoCAD runs
    EXPECT_EQ(messages, std::vector<std::string>{"请先打开CAD软件！"});
    EXPECT_EQ(directory.CreateCount(), 0);

    messages.clear();
    model->State().pileCount = 1;
    model->State().pileRegister.rows[0] = {"100", "200", "0", "P1"};
    ClickAt(Button("Command3"));  // no Excel can be created
    EXPECT_EQ(messages, std::vector<std::string>{"软件没有检测到EXCEL，请确认EXCEL安装完整版！"});
    EXPECT_FALSE(model->Unloaded());
    EXPECT_TRUE(view->isVisible());

    // Closed while a command waits on a message box: the window stays until
    // the command has ended, then goes.
    ForTamrisk& busy = *model;
    int shown = 0;
    busy.Services().showMessage = [&](std::string_view) {
        ++shown;
        EXPECT_FALSE(view->close());
        EXPECT_TRUE(view->isVisible());
        EXPECT_FALSE(busy.Unloaded());
    };
    ClickAt(Button("Command1"));
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(busy.Unloaded());
    EXPECT_FALSE(view->isVisible());
}

TEST_F(QtWindow, CancelAndCloseControlUnloadAlike) {
    Show();
    auto released = testing::FillWithProbes(model->State());
    ClickAt(Button("Command2"));
    EXPECT_EQ(*released, testing::kUnloadReleases);
    EXPECT_TRUE(model->Unloaded());
    EXPECT_FALSE(view->isVisible());

    ForTamrisk other({});
    QtMainWindow otherView(other);
    otherView.show();
    auto otherReleased = testing::FillWithProbes(other.State());
    otherView.windowHandle()->close();  // the window's own close control
    EXPECT_EQ(*otherReleased, testing::kUnloadReleases);
    EXPECT_TRUE(other.Unloaded());
    EXPECT_FALSE(otherView.isVisible());
}

}  // namespace
}  // namespace velmora
