#include "foundation/keypad_entry.h"

#include "foundation/app_state.h"
#include "foundation/key_input.h"
#include "support/test_support.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

#include <array>
#include <climits>

namespace {

TEST(KeypadEntry, DigitsAppendDotTakesTheLastBackAndOtherKeysAreNotTheEntrys) {
    QString entry;
    for (int key : {'1', '0', '5', '.', '7'}) EXPECT_TRUE(type_entry_key(entry, key)) << key;
    EXPECT_EQ(entry, "107");
    for (int key : {int('+'), int('-'), int('*'), int('/'), 13, 0, int('a')})
        EXPECT_FALSE(type_entry_key(entry, key)) << key;
    EXPECT_EQ(entry, "107");
    entry.clear();
    EXPECT_TRUE(type_entry_key(entry, '.'));  // taken, and nothing to take back
    EXPECT_EQ(entry, "");
}

// Every keypad screen reads a typed list or row number the same way.
TEST(KeypadEntry, TheNumberOfAnEntryIsZeroWhenEmptyAndHugeWhenItDoesNotFit) {
    EXPECT_EQ(entry_number(""), 0);
    EXPECT_EQ(entry_number("007"), 7);
    EXPECT_EQ(entry_number("2147483647"), INT_MAX);
    EXPECT_EQ(entry_number("99999999999999999999"), INT_MAX);
}

TEST(KeypadEntry, NumberedPagesCountOnFromPageToPageAndAreEmptyPastTheList) {
    // Keys in the first half, texts in the second, as the lookups fill a list.
    const std::array<QString, 6> list{"1", "2", "3", "甲", "乙", "丙"};
    EXPECT_EQ(numbered_page_rows(list, 2, 1, 2), (QStringList{"01.甲", "02.乙"}));
    EXPECT_EQ(numbered_page_rows(list, 2, 2, 3), (QStringList{"003.丙", "004."}));
}

TEST(KeypadEntry, TheArrowKeysArriveAsTheConfiguredMinusAndPlusCodes) {
    TempFolder folder;
    auto state = make_test_state(folder);
    state->settings.keyMinus = "109";
    state->settings.keyPlus = "107";
    const auto press = [&](int key) {
        state->pressed_keys->key_event(QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
        state->pressed_keys->key_event(QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
    };
    EXPECT_EQ(arrow_key_code(*state), std::nullopt);
    press(Qt::Key_Up);
    EXPECT_EQ(arrow_key_code(*state), 109);
    press(Qt::Key_Down);
    EXPECT_EQ(arrow_key_code(*state), 107);
    press(Qt::Key_Left);
    EXPECT_EQ(arrow_key_code(*state), std::nullopt);
}

}  // namespace
