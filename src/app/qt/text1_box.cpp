#include "app/qt/text1_box.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

#include "text/utf16.h"

namespace velmora {

namespace {

// The box's text as the window keeps it; a lone surrogate (an input method
// may leave one) becomes U+FFFD, as everywhere else.
std::string ToUtf8(const QString& text) {
    return Utf16ToUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
}

}  // namespace

Text1Box::Text1Box(ForTamrisk& window, int index, QWidget* parent)
    : QLineEdit(parent), window_(window), index_(index) {
    setAttribute(Qt::WA_InputMethodEnabled, ForTamrisk::TakesInputMethod(index));
    connect(this, &QLineEdit::textChanged, this,
            [this](const QString& text) { window_.TextEdited(index_, ToUtf8(text)); });
}

std::optional<std::int16_t> TypedCharacter(const QKeyEvent& event) {
    // Shortcuts (copy, paste, undo, word deletion) type no character.
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return std::nullopt;
    }
    switch (event.key()) {
        case Qt::Key_Backspace:
            return std::int16_t{8};
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return std::int16_t{13};
        case Qt::Key_Delete:
            return std::nullopt;
        default:
            break;
    }
    const QString text = event.text();
    if (text.isEmpty()) return std::nullopt;
    // The first UTF-16 unit, as a signed 16-bit code: characters above
    // U+7FFF come out negative, and the filter rejects them like any other.
    return static_cast<std::int16_t>(text.at(0).unicode());
}

void Text1Box::keyPressEvent(QKeyEvent* event) {
    const std::optional<std::int16_t> code = TypedCharacter(*event);
    if (code && ForTamrisk::KeyPress(index_, *code) == 0) {
        event->accept();  // discarded
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void Text1Box::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    switch (event->reason()) {
        case Qt::MouseFocusReason:
            // The press that gave the focus places the cursor after this
            // event; select once it has been handled.
            QTimer::singleShot(0, this, [this] {
                if (hasFocus()) ApplySelection();
            });
            break;
        case Qt::ActiveWindowFocusReason:
        case Qt::PopupFocusReason:
            break;  // the window came back, or a menu closed: focus did not move
        default:
            ApplySelection();
            break;
    }
}

void Text1Box::ApplySelection() {
    const TextSelection selection = window_.GotFocus(index_);
    setSelection(selection.start, selection.length);
}

}  // namespace velmora
