#include "foundation/key_input.h"

#include "foundation/app_state.h"
#include "foundation/settings_file.h"

#include <utility>

int translate_key(const Settings& settings, int code) {
    const auto names_code = [code](const QString& setting) { return numeric_value(setting) == code; };
    const std::pair<const QString*, int> operators[] = {
        {&settings.keyDevide, '/'}, {&settings.keyMultiplication, '*'}, {&settings.keyMinus, '-'},
        {&settings.keyPlus, '+'},   {&settings.keyEnter, 13},           {&settings.keyDot, '.'},
    };
    int translated = 0;
    for (const auto& [setting, character] : operators) {
        if (names_code(*setting)) {
            translated = character;
            break;
        }
    }
    for (int digit = 0; digit <= 9; ++digit) {
        if (names_code(settings.keyNum[digit])) translated = '0' + digit;
    }
    return translated;
}

QString read_pressed_key(AppState& state) {
    return state.pressed_keys->read_pressed_key(state.caps_lock_on);
}
