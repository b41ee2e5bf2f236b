// The Qt view of the main window: renders kControls at the screen's DPI,
// forwards clicks, edits and option changes to ForTamrisk, and shows what a
// command writes back. It holds no settings and makes no decisions.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

#include "app/for_tamrisk.h"

class QCloseEvent;
class QContextMenuEvent;

namespace velmora {

class QtMainWindow : public QWidget {
  public:
    // Fills the window's services with this view's hooks; a showMessage that
    // is already set (by a test) is kept.
    explicit QtMainWindow(ForTamrisk& window, QWidget* parent = nullptr);
    // Takes its hooks back out of the window's services.
    ~QtMainWindow() override;

    // The widget rendering kControls[position]; its objectName is the
    // control's name, with "(index)" for members of a control array.
    QWidget* Control(int position) const { return controls_.at(position); }
    QWidget* Control(std::string_view name, int index = -1) const;

    // Runs the extra menu's command chosen (window/extra_menu.h), as a
    // button's; the window closes when an unload asked for meanwhile has
    // happened.
    void RunExtra(Command command);

  protected:
    void closeEvent(QCloseEvent* event) override;
    // A right-click on the window outside a text box shows the extra menu.
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    QWidget* Create(int position);
    void Place(int position);
    void StackContainedFrames();
    void ChainTabOrder();
    void ShowText(int index);
    void ProvideDialogs();

    ForTamrisk& window_;
    std::array<QWidget*, kControlCount> controls_{};
    bool ownsShowMessage_ = false;
    bool ownsDialogs_ = false;
};

// A modal box with the title "提示信息", the information icon and one OK button.
void ShowInformation(QWidget* parent, std::string_view text);

// Raises and activates the program's top-level window with that id (the
// stand-in AutoCAD runs in the same process); nothing when none has it.
void RaiseWindow(std::int64_t windowHandle);

// The name shown for a control: "Text1(0)", "Frame2".
QString ControlName(const ControlSpec& entry);

}  // namespace velmora
