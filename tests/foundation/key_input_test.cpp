#include "foundation/key_input.h"

#include "platform/key_tracker.h"
#include "support/test_support.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

QKeyEvent key(QEvent::Type type, int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              const QString& text = {}, bool auto_repeat = false) {
    return QKeyEvent(type, code, modifiers, text, auto_repeat);
}

QKeyEvent press(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
    return key(QEvent::KeyPress, code, modifiers, text);
}

TEST(KeyCode, CharacterKeysDeliverTheirCharacter) {
    EXPECT_EQ(key_code_of(press(Qt::Key_R, Qt::ShiftModifier, "R")), 82);
    EXPECT_EQ(key_code_of(press(Qt::Key_R, Qt::NoModifier, "r")), 114);
    EXPECT_EQ(key_code_of(press(Qt::Key_7, Qt::NoModifier, "7")), 55);
    EXPECT_EQ(key_code_of(press(Qt::Key_Plus, Qt::KeypadModifier, "+")), 43);
    EXPECT_EQ(key_code_of(press(Qt::Key_Period, Qt::KeypadModifier, ".")), 46);
}

TEST(KeyCode, EnterBackspaceAndEscapeDeliverControlCodes) {
    EXPECT_EQ(key_code_of(press(Qt::Key_Return, Qt::NoModifier, "\r")), 13);
    EXPECT_EQ(key_code_of(press(Qt::Key_Enter, Qt::KeypadModifier)), 13);
    EXPECT_EQ(key_code_of(press(Qt::Key_Backspace)), 8);
    EXPECT_EQ(key_code_of(press(Qt::Key_Escape)), 27);
}

TEST(KeyCode, KeysThatTypeNothingDeliverNoCode) {
    EXPECT_EQ(key_code_of(press(Qt::Key_Shift, Qt::ShiftModifier)), std::nullopt);
    EXPECT_EQ(key_code_of(press(Qt::Key_Control, Qt::ControlModifier)), std::nullopt);
    EXPECT_EQ(key_code_of(press(Qt::Key_CapsLock)), std::nullopt);
    EXPECT_EQ(key_code_of(press(Qt::Key_Up)), std::nullopt);
    EXPECT_EQ(key_code_of(press(Qt::Key_A, Qt::ControlModifier, "\x01")), std::nullopt);
    EXPECT_EQ(key_code_of(press(Qt::Key_Tab, Qt::NoModifier, "\t")), std::nullopt);
    EXPECT_EQ(key_code_of(key(QEvent::KeyRelease, Qt::Key_R, Qt::NoModifier, "r")), std::nullopt);
}

TEST(TranslateKey, DefaultSettingsMapTheKeypadToItself) {
    const Settings settings;
    for (int code : {47, 42, 45, 43, 13, 46, 48, 53, 57}) EXPECT_EQ(translate_key(settings, code), code);
    EXPECT_EQ(translate_key(settings, 'a'), 0);
    EXPECT_EQ(translate_key(settings, 27), 0);
}

TEST(TranslateKey, SettingsChooseWhichCodeActs) {
    Settings settings;
    settings.keyMinus = "200";
    EXPECT_EQ(translate_key(settings, 200), '-');
    EXPECT_EQ(translate_key(settings, '-'), 0);

    settings.keyPlus = "047";                     // compared as a number
    EXPECT_EQ(translate_key(settings, 47), '/');  // the first operator naming it wins
    settings.keyNum[4] = "47";
    settings.keyNum[6] = "47";
    EXPECT_EQ(translate_key(settings, 47), '6');  // digits override, the last one winning
}

class PressedKeys : public ::testing::Test {
protected:
    void feed(const QKeyEvent& event) { tracker_.key_event(event); }
    void down(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { feed(press(code, modifiers)); }
    void up(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        feed(key(QEvent::KeyRelease, code, modifiers));
    }
    QString poll() { return tracker_.read_pressed_key(caps_lock_on_); }

    KeyNameTracker tracker_;
    bool caps_lock_on_ = false;
};

TEST_F(PressedKeys, EnterEndsThePollOverAnArrow) {
    down(Qt::Key_Up);
    down(Qt::Key_Return);
    EXPECT_EQ(poll(), "Enter");
    EXPECT_EQ(poll(), "");
}

TEST_F(PressedKeys, LettersFollowShiftAndCapsLock) {
    down(Qt::Key_Up);
    down(Qt::Key_A);
    EXPECT_EQ(poll(), "a");
    up(Qt::Key_A);

    down(Qt::Key_Shift, Qt::ShiftModifier);
    down(Qt::Key_Up, Qt::ShiftModifier);
    down(Qt::Key_A, Qt::ShiftModifier);
    EXPECT_EQ(poll(), "A");
    up(Qt::Key_A, Qt::ShiftModifier);
    up(Qt::Key_Shift);

    down(Qt::Key_CapsLock);
    EXPECT_EQ(poll(), "Caps Lock");
    EXPECT_TRUE(caps_lock_on_);
    down(Qt::Key_B);
    EXPECT_EQ(poll(), "B");
    down(Qt::Key_C, Qt::ShiftModifier);
    EXPECT_EQ(poll(), "c");  // Caps Lock and Shift cancel out

    up(Qt::Key_CapsLock);
    down(Qt::Key_CapsLock);
    poll();
    EXPECT_FALSE(caps_lock_on_);
}

TEST_F(PressedKeys, AHeldKeyIsReportedOnce) {
    down(Qt::Key_Down);
    EXPECT_EQ(poll(), "Down Arrow");
    feed(key(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, {}, true));
    feed(key(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, {}, true));
    down(Qt::Key_Down);  // the same press delivered to a second object
    EXPECT_EQ(poll(), "");
    up(Qt::Key_Down);
    down(Qt::Key_Down);
    EXPECT_EQ(poll(), "Down Arrow");
}

TEST_F(PressedKeys, TheLastKeyInPollingOrderWins) {
    down(Qt::Key_Down);
    down(Qt::Key_Up);
    EXPECT_EQ(poll(), "Down Arrow");

    down(Qt::Key_Z);
    down(Qt::Key_F5);
    EXPECT_EQ(poll(), "z");
}

TEST_F(PressedKeys, KeysBehindAStopKeyWaitForTheNextPoll) {
    down(Qt::Key_Space);
    down(Qt::Key_Slash);
    EXPECT_EQ(poll(), "空格鍵");
    EXPECT_EQ(poll(), "/");
}

TEST_F(PressedKeys, KeypadAndShiftedKeysKeepTheirKeysName) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        QString name;
    };
    const Case cases[] = {
        {Qt::Key_Plus, Qt::KeypadModifier, "+_S"},
        {Qt::Key_5, Qt::KeypadModifier, "5_S"},
        {Qt::Key_Enter, Qt::KeypadModifier, "Enter"},
        {Qt::Key_Plus, Qt::ShiftModifier, "="},
        {Qt::Key_Exclam, Qt::ShiftModifier, "1"},
        {Qt::Key_Question, Qt::ShiftModifier, "/"},
        {Qt::Key_F12, Qt::NoModifier, "F12"},
        {Qt::Key_PageDown, Qt::NoModifier, "PageDown"},
        {Qt::Key_Super_L, Qt::NoModifier, "Win(Win左鍵)"},
    };
    for (const Case& c : cases) {
        down(c.key, c.modifiers);
        EXPECT_EQ(poll(), c.name);
        up(c.key, c.modifiers);
    }
}

TEST(PressedKeysOfTheApplication, EventsToAnyWidgetAreSeenOnce) {
    TempFolder folder;
    auto state = make_test_state(folder);
    QWidget window;
    auto* child = new QWidget(&window);

    // Unhandled, the press travels from the child up to the window.
    QKeyEvent up_press(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QCoreApplication::sendEvent(child, &up_press);

    EXPECT_EQ(read_pressed_key(*state), "Up Arrow");
    EXPECT_EQ(read_pressed_key(*state), "");

    QKeyEvent caps(QEvent::KeyPress, Qt::Key_CapsLock, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &caps);
    read_pressed_key(*state);
    EXPECT_TRUE(state->caps_lock_on);
}

}  // namespace
