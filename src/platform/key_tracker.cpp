#include "platform/key_tracker.h"

#include <QCoreApplication>
#include <QHash>
#include <QKeyEvent>

#include <utility>
#include <vector>

namespace {

// Key numbers as on PC keyboards (virtual-key codes); letters and the digit
// row are their upper-case character codes.
constexpr int kBackspace = 0x08, kTab = 0x09, kEnter = 0x0D, kShift = 0x10, kControl = 0x11, kAlt = 0x12,
              kPause = 0x13, kCapsLock = 0x14, kEscape = 0x1B, kSpace = 0x20, kPageUp = 0x21,
              kPageDown = 0x22, kEnd = 0x23, kHome = 0x24, kLeft = 0x25, kUp = 0x26, kRight = 0x27,
              kDown = 0x28, kPrintScreen = 0x2C, kInsert = 0x2D, kDelete = 0x2E, kWinLeft = 0x5B,
              kWinRight = 0x5C, kMenu = 0x5D, kPad0 = 0x60, kPadMultiply = 0x6A, kPadAdd = 0x6B,
              kPadSeparator = 0x6C, kPadSubtract = 0x6D, kPadDecimal = 0x6E, kPadDivide = 0x6F, kF1 = 0x70,
              kNumLock = 0x90, kScrollLock = 0x91, kSemicolon = 0xBA, kEquals = 0xBB, kComma = 0xBC,
              kMinus = 0xBD, kPeriod = 0xBE, kSlash = 0xBF, kGrave = 0xC0, kBracketLeft = 0xDB,
              kBackslash = 0xDC, kBracketRight = 0xDD, kApostrophe = 0xDE;

// Keypad keys, told apart from their twins by Qt's keypad modifier.
const QHash<int, int>& keypad_keys() {
    static const QHash<int, int> keys = {
        {Qt::Key_Plus, kPadAdd},     {Qt::Key_Minus, kPadSubtract}, {Qt::Key_Asterisk, kPadMultiply},
        {Qt::Key_Slash, kPadDivide}, {Qt::Key_Period, kPadDecimal}, {Qt::Key_Comma, kPadSeparator},
        {Qt::Key_0, kPad0},          {Qt::Key_1, kPad0 + 1},        {Qt::Key_2, kPad0 + 2},
        {Qt::Key_3, kPad0 + 3},      {Qt::Key_4, kPad0 + 4},        {Qt::Key_5, kPad0 + 5},
        {Qt::Key_6, kPad0 + 6},      {Qt::Key_7, kPad0 + 7},        {Qt::Key_8, kPad0 + 8},
        {Qt::Key_9, kPad0 + 9},
    };
    return keys;
}

// The other keys the jukebox names. Qt names the symbol typed, which Shift
// changes, so both symbols of a key (on a US layout) lead to it.
const QHash<int, int>& other_keys() {
    static const QHash<int, int> keys = {
        {Qt::Key_ParenRight, '0'},
        {Qt::Key_Exclam, '1'},
        {Qt::Key_At, '2'},
        {Qt::Key_NumberSign, '3'},
        {Qt::Key_Dollar, '4'},
        {Qt::Key_Percent, '5'},
        {Qt::Key_AsciiCircum, '6'},
        {Qt::Key_Ampersand, '7'},
        {Qt::Key_Asterisk, '8'},
        {Qt::Key_ParenLeft, '9'},
        {Qt::Key_QuoteLeft, kGrave},
        {Qt::Key_AsciiTilde, kGrave},
        {Qt::Key_Minus, kMinus},
        {Qt::Key_Underscore, kMinus},
        {Qt::Key_Equal, kEquals},
        {Qt::Key_Plus, kEquals},
        {Qt::Key_Backslash, kBackslash},
        {Qt::Key_Bar, kBackslash},
        {Qt::Key_BracketLeft, kBracketLeft},
        {Qt::Key_BraceLeft, kBracketLeft},
        {Qt::Key_BracketRight, kBracketRight},
        {Qt::Key_BraceRight, kBracketRight},
        {Qt::Key_Apostrophe, kApostrophe},
        {Qt::Key_QuoteDbl, kApostrophe},
        {Qt::Key_Period, kPeriod},
        {Qt::Key_Greater, kPeriod},
        {Qt::Key_Comma, kComma},
        {Qt::Key_Less, kComma},
        {Qt::Key_Semicolon, kSemicolon},
        {Qt::Key_Colon, kSemicolon},
        {Qt::Key_Slash, kSlash},
        {Qt::Key_Question, kSlash},
        {Qt::Key_Backspace, kBackspace},
        {Qt::Key_Tab, kTab},
        {Qt::Key_Backtab, kTab},
        {Qt::Key_Return, kEnter},
        {Qt::Key_Enter, kEnter},
        {Qt::Key_Shift, kShift},
        {Qt::Key_Control, kControl},
        {Qt::Key_Alt, kAlt},
        {Qt::Key_AltGr, kAlt},
        {Qt::Key_Pause, kPause},
        {Qt::Key_CapsLock, kCapsLock},
        {Qt::Key_Escape, kEscape},
        {Qt::Key_Space, kSpace},
        {Qt::Key_PageUp, kPageUp},
        {Qt::Key_PageDown, kPageDown},
        {Qt::Key_End, kEnd},
        {Qt::Key_Home, kHome},
        {Qt::Key_Left, kLeft},
        {Qt::Key_Up, kUp},
        {Qt::Key_Right, kRight},
        {Qt::Key_Down, kDown},
        {Qt::Key_Print, kPrintScreen},
        {Qt::Key_Insert, kInsert},
        {Qt::Key_Delete, kDelete},
        {Qt::Key_Meta, kWinLeft},
        {Qt::Key_Super_L, kWinLeft},
        {Qt::Key_Super_R, kWinRight},
        {Qt::Key_Menu, kMenu},
        {Qt::Key_NumLock, kNumLock},
        {Qt::Key_ScrollLock, kScrollLock},
    };
    return keys;
}

// The physical key behind an event, or 0 for keys the jukebox does not name.
int key_number_of(const QKeyEvent& event) {
    const int key = event.key();
    if (event.modifiers().testFlag(Qt::KeypadModifier) && keypad_keys().contains(key)) {
        return keypad_keys().value(key);
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return kF1 + (key - Qt::Key_F1);
    return other_keys().value(key, 0);
}

struct NamedKey {
    int number;
    QString name;
    bool stop = false;  // ends the poll at once
};

// The named keys in the order a poll looks at them.
std::vector<NamedKey> make_polling_order() {
    std::vector<NamedKey> keys = {
        {kPadAdd, "+_S"},     {kPadSubtract, "-_S"}, {kPadMultiply, "*_S"}, {kPadDivide, "/_S"},
        {kPadDecimal, "._S"}, {kGrave, "`"},         {kMinus, "-"},         {kEquals, "="},
        {kBackslash, "\\"},   {kBracketLeft, "["},   {kBracketRight, "]"},  {kPadSeparator, "Enter_S"},
        {kApostrophe, "'"},
    };
    for (int i = 0; i < 12; ++i) keys.push_back({kF1 + i, QString("F%1").arg(i + 1)});
    keys.push_back({kPause, "Pause"});
    for (int i = 0; i <= 9; ++i) keys.push_back({kPad0 + i, QString("%1_S").arg(i)});
    const std::vector<NamedKey> rest = {
        {kLeft, "Left Arrow"},
        {kRight, "Right Arrow"},
        {kUp, "Up Arrow"},
        {kDown, "Down Arrow"},
        {kScrollLock, "Scroll Lock"},
        {kNumLock, "Num Lock"},
        {kHome, "Home"},
        {kPrintScreen, "Print Screen"},
        {kEnd, "End"},
        {kPageUp, "PageUp"},
        {kPageDown, "PageDown"},
        {kBackspace, "BackSpace"},
        {kInsert, "Insert"},
        {kDelete, "Delete"},
        {kAlt, "Alt"},
        {kCapsLock, "Caps Lock"},
        {kEscape, "Escape"},
        {kControl, "Control"},
        {kTab, "Tab"},
        {kShift, "Shift"},
        {kEnter, "Enter", true},
        {kPeriod, "."},
        {kComma, ",", true},
        {kSpace, "空格鍵", true},
        {kSemicolon, ":", true},
        {kSlash, "/", true},
        {kWinLeft, "Win(Win左鍵)", true},
        {kWinRight, "Win(Win右鍵)", true},
        {kMenu, "Menu(Win鍵)", true},
    };
    keys.insert(keys.end(), rest.begin(), rest.end());
    return keys;
}

const std::vector<NamedKey>& polling_order() {
    static const std::vector<NamedKey> keys = make_polling_order();
    return keys;
}

bool is_character_key(int number) {
    return (number >= '0' && number <= '9') || (number >= 'A' && number <= 'Z');
}

}  // namespace

KeyNameTracker::KeyNameTracker() {
    watch_application();
}

void KeyNameTracker::watch_application() {
    if (watching_ || !QCoreApplication::instance()) return;
    QCoreApplication::instance()->installEventFilter(this);
    watching_ = true;
}

void KeyNameTracker::key_event(const QKeyEvent& event) {
    const bool press = event.type() == QEvent::KeyPress;
    if (event.isAutoRepeat() || (!press && event.type() != QEvent::KeyRelease)) return;
    const int number = key_number_of(event);
    // Every key event tells whether Shift is held, even when the Shift
    // release itself went to another program.
    if (number != kShift) down_[kShift] = event.modifiers().testFlag(Qt::ShiftModifier);
    if (number == 0) return;
    // An event reaches the tracker once for every object it is delivered to;
    // only the first delivery of a press is a new press.
    if (press && !down_[number]) pressed_since_poll_[number] = true;
    down_[number] = press;
}

QString KeyNameTracker::read_pressed_key(bool& caps_lock_on) {
    QString name;
    for (const NamedKey& key : polling_order()) {
        if (!std::exchange(pressed_since_poll_[key.number], false)) continue;
        if (key.number == kCapsLock) caps_lock_on = !caps_lock_on;
        if (key.stop) return key.name;
        name = key.name;
    }
    const bool upper_case = caps_lock_on != down_[kShift];
    for (int number = 0; number < int(pressed_since_poll_.size()); ++number) {
        if (!is_character_key(number) || !std::exchange(pressed_since_poll_[number], false)) continue;
        const QChar character(number);
        name = upper_case ? character.toUpper() : character.toLower();
    }
    return name;
}

bool KeyNameTracker::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            key_event(*static_cast<QKeyEvent*>(event));
            break;
        case QEvent::ApplicationDeactivate:
            // Releases while another program has the keyboard never arrive.
            down_.fill(false);
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}
