#include "app/qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <vector>

#include "app/layout.h"
#include "app/qt/dialogs.h"
#include "app/qt/fonts.h"
#include "app/qt/text1_box.h"
#include "text/utf16.h"
#include "window/extra_menu.h"

namespace velmora {

namespace {

QString FromUtf8(std::string_view text) {
    const std::u16string wide = Utf8ToUtf16(text);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

}  // namespace

QString ControlName(const ControlSpec& entry) {
    QString name = FromUtf8(entry.name);
    if (entry.index >= 0) name += QStringLiteral("(%1)").arg(entry.index);
    return name;
}

void RaiseWindow(std::int64_t windowHandle) {
    // Only windows that already have a native window can carry the id.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->internalWinId() == 0 ||
            static_cast<std::int64_t>(widget->internalWinId()) != windowHandle) {
            continue;
        }
        if (widget->isMinimized()) widget->showNormal();
        widget->raise();
        widget->activateWindow();
        return;
    }
}

void ShowInformation(QWidget* parent, std::string_view text) {
    QMessageBox box(QMessageBox::Information, FromUtf8(kMessageTitle), FromUtf8(text),
                    QMessageBox::Ok, parent);
    box.exec();
}

QtMainWindow::QtMainWindow(ForTamrisk& window, QWidget* parent) : QWidget(parent), window_(window) {
    setWindowTitle(FromUtf8(kWindowTitle));
    setFont(WindowDefaultFont());
    const PixelRect client = ClientRect(logicalDpiX(), logicalDpiY());
    setFixedSize(client.width, client.height);

    // Containers come before their children in the table.
    for (int i = 0; i < kControlCount; ++i) controls_[i] = Create(i);
    for (int i = 0; i < kControlCount; ++i) Place(i);
    StackContainedFrames();
    ChainTabOrder();

    WindowServices& services = window_.Services();
    if (!services.showMessage) {
        services.showMessage = [this](std::string_view text) { ShowInformation(this, text); };
        ownsShowMessage_ = true;
    }
    services.showWindow = [this] {
        show();
        raise();
        activateWindow();
    };
    services.textChanged = [this](int index) { ShowText(index); };
    services.bringToFront = [](std::int64_t windowHandle) { RaiseWindow(windowHandle); };
    ProvideDialogs();
}

QtMainWindow::~QtMainWindow() {
    WindowServices& services = window_.Services();
    if (ownsShowMessage_) services.showMessage = nullptr;
    services.showWindow = nullptr;
    services.textChanged = nullptr;
    services.bringToFront = nullptr;
    if (ownsDialogs_) {
        services.ask = nullptr;
        services.chooseSaveFile = nullptr;
        services.showAbout = nullptr;
    }
}

void QtMainWindow::ProvideDialogs() {
    // A test that answers the dialogs itself keeps its own.
    WindowServices& services = window_.Services();
    if (services.ask || services.chooseSaveFile || services.showAbout) return;
    ownsDialogs_ = true;
    services.ask = [this](std::string_view text, std::span<const std::string_view> answers) {
        return Ask(this, text, answers);
    };
    services.chooseSaveFile = [this](const SaveRequest& request) {
        return ChooseSaveFile(this, request);
    };
    services.showAbout = [this](std::string_view text) { velmora::ShowAbout(this, text); };
}

void QtMainWindow::RunExtra(Command command) {
    if (window_.Click(command)) close();
}

void QtMainWindow::contextMenuEvent(QContextMenuEvent* event) {
    // Text boxes show their own editing menu and never pass the event on.
    event->accept();
    QMenu menu(this);
    for (const ExtraMenuItem& item : kExtraMenu) {
        const ExtraMenuEntry shown = ShownEntry(window_.State(), item);
        QAction* action = menu.addAction(FromUtf8(shown.text));
        action->setCheckable(shown.checked);
        action->setChecked(shown.checked);
        action->setData(static_cast<int>(item.command));
    }
    // The command runs once the menu has gone.
    if (const QAction* chosen = menu.exec(event->globalPos())) {
        RunExtra(static_cast<Command>(chosen->data().toInt()));
    }
}

QWidget* QtMainWindow::Control(std::string_view name, int index) const {
    const int position = ControlAt(name, index);
    return position < 0 ? nullptr : controls_[position];
}

QWidget* QtMainWindow::Create(int position) {
    const ControlSpec& entry = kControls[position];
    QWidget* parent = entry.container.empty() ? this : Control(entry.container);
    const QString caption = FromUtf8(entry.caption);
    QWidget* widget = nullptr;
    switch (entry.kind) {
        case ControlKind::Frame: {
            widget = new QGroupBox(caption, parent);
            break;
        }
        case ControlKind::Label: {
            widget = new QLabel(caption, parent);
            break;
        }
        case ControlKind::OptionButton: {
            // Buttons sharing a parent form one exclusive group: groups go
            // by container, as the table wants.
            auto* button = new QRadioButton(caption, parent);
            button->setChecked(window_.State().controls.selected[position]);
            connect(button, &QRadioButton::toggled, this, [this, position](bool on) {
                if (on) window_.OptionSelected(position);
            });
            widget = button;
            break;
        }
        case ControlKind::TextBox: {
            auto* box = new Text1Box(window_, entry.index, parent);
            box->setText(FromUtf8(window_.State().controls.text[position]));
            widget = box;
            break;
        }
        case ControlKind::CommandButton: {
            auto* button = new QPushButton(caption, parent);
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, [this, command = entry.command] {
                if (window_.Click(command)) close();
            });
            widget = button;
            break;
        }
    }
    widget->setObjectName(ControlName(entry));
    if (entry.font != ControlFont::WindowDefault) widget->setFont(FontFor(entry.font));
    if (!TakesFocus(entry.kind)) widget->setFocusPolicy(Qt::NoFocus);
    return widget;
}

void QtMainWindow::Place(int position) {
    // Positions are relative to the container's outer top-left corner, as
    // for a frame's children in the original layout.
    const PixelRect rect = ControlRect(position, logicalDpiX(), logicalDpiY());
    controls_[position]->setGeometry(rect.left, rect.top, rect.width, rect.height);
}

void QtMainWindow::StackContainedFrames() {
    // A frame lying inside a sibling frame's rectangle must stack above it,
    // or the outer frame takes the mouse over the inner one's controls.
    for (int outer = 0; outer < kControlCount; ++outer) {
        for (int inner = 0; inner < kControlCount; ++inner) {
            if (StacksAbove(inner, outer)) controls_[inner]->raise();
        }
    }
}

void QtMainWindow::ChainTabOrder() {
    const std::vector<int> order = TabSequence();
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(controls_[order[i - 1]], controls_[order[i]]);
    }
}

void QtMainWindow::ShowText(int index) {
    const int position = ControlAt("Text1", index);
    if (position < 0) return;
    auto* box = static_cast<QLineEdit*>(controls_[position]);
    const QString text = FromUtf8(window_.State().controls.text[position]);
    if (box->text() != text) box->setText(text);
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    // Unloading cannot be refused; while a command runs it waits for the
    // command's end, then the window closes and the program ends.
    if (!window_.Unload()) {
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::quit();
}

}  // namespace velmora
