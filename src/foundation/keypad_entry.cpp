#include "foundation/keypad_entry.h"

#include "foundation/app_state.h"
#include "foundation/key_input.h"

#include <climits>

bool type_entry_key(QString& entry, int key) {
    if (key >= '0' && key <= '9') {
        entry += QChar(key);
        return true;
    }
    if (key == '.') {
        if (!entry.isEmpty()) entry.chop(1);
        return true;
    }
    return false;
}

int entry_number(const QString& entry) {
    if (entry.isEmpty()) return 0;
    bool fits = false;
    const int number = entry.toInt(&fits);
    return fits ? number : INT_MAX;
}

std::optional<int> arrow_key_code(AppState& state) {
    const QString name = read_pressed_key(state);
    if (name == "Up Arrow") return state.settings.keyMinus.toInt();
    if (name == "Down Arrow") return state.settings.keyPlus.toInt();
    return std::nullopt;
}

QStringList numbered_page_rows(std::span<const QString> list, int rows_per_page, int page, int digits) {
    const std::span<const QString> texts = list.subspan(list.size() / 2);
    QStringList rows;
    for (int row = 0; row < rows_per_page; ++row) {
        const qsizetype position = qsizetype(page - 1) * rows_per_page + row;
        const QString text = position < qsizetype(texts.size()) ? texts[size_t(position)] : QString();
        rows << QString("%1.").arg(position + 1, digits, 10, QChar('0')) + text;
    }
    return rows;
}
