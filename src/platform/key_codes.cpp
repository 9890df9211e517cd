#include "platform/key_codes.h"

#include <QKeyEvent>

std::optional<int> key_code_of(const QKeyEvent& event) {
    if (event.type() != QEvent::KeyPress) return std::nullopt;
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Escape:
            return 27;
        default:
            break;
    }
    const QString text = event.text();
    if (text.isEmpty()) return std::nullopt;
    const char16_t character = text.at(0).unicode();
    // Control characters (Ctrl+letter, Tab, Delete) type nothing.
    if (character < 32 || character == 127) return std::nullopt;
    return character;
}
