// A Text1 box of the Qt view. Typed characters go through the window's key
// filter (in keyPressEvent, so Tab still moves the focus and pasted text is
// left alone); getting the focus, by keyboard or by mouse, selects the whole
// text as the window decides.
#pragma once

#include <QLineEdit>
#include <optional>

#include "app/for_tamrisk.h"

class QKeyEvent;

namespace velmora {

class Text1Box : public QLineEdit {
  public:
    Text1Box(ForTamrisk& window, int index, QWidget* parent);

    int Index() const { return index_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    void ApplySelection();

    ForTamrisk& window_;
    int index_;
};

// The character a key press types, as the 16-bit code the key filter takes;
// nothing for keys that type no character (arrows, Delete, shortcuts).
std::optional<std::int16_t> TypedCharacter(const QKeyEvent& event);

}  // namespace velmora
