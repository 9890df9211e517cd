// The screens of a keypad window: which one takes the keys, how the main
// menu comes back, and the singer screen working for whichever window
// shows it.
#include "foundation/keypad_entry.h"
#include "main_menu_fixture.h"
#include "widgets/keypad_screen.h"
#include "widgets/order_by_singer.h"

#include <vector>

namespace {

// A screen that notes what reaches it.
class NotingScreen : public keypad_screen {
public:
    explicit NotingScreen(QString name) : name_(std::move(name)) {}
    QString name() const override { return name_; }
    void enter() override { ++entered; }
    void key(int& KeyAscii) override { keys.push_back(KeyAscii); }

    int entered = 0;
    std::vector<int> keys;

private:
    QString name_;
};

TEST(KeypadScreens, OnlyTheScreenInFrontTakesTheKeys) {
    NotingScreen home("0");
    NotingScreen list("3");
    keypad_screens screens(home);
    EXPECT_EQ(screens.name(), "0");
    EXPECT_EQ(home.entered, 0);  // in front from the start, printed when shown

    int key = '5';
    screens.key(key);
    screens.show(list);
    EXPECT_EQ(list.entered, 1);
    EXPECT_EQ(screens.name(), "3");
    key = '7';
    screens.key(key);

    EXPECT_EQ(home.keys, std::vector<int>{'5'});
    EXPECT_EQ(list.keys, std::vector<int>{'7'});
    EXPECT_TRUE(screens.in_front(list));
    EXPECT_FALSE(screens.in_front(home));
}

TEST_F(MainMenuTest, EveryScreenLeadsBackToTheMainMenu) {
    open_menu();
    // The keys that open a screen (and a step of it) and the keys that leave it.
    const std::vector<std::pair<QString, QString>> ways{{"10", "0E"}, {"2", "9"},  {"3", "0E"}, {"4", "0E"},
                                                        {"5", "0E"},  {"7", "0E"}, {"8", "9"},  {"0", "0"}};
    for (const auto& [open, leave] : ways) {
        press(open);
        EXPECT_NE(menu->screen_name(), "0") << open.toStdString();
        press(leave);
        EXPECT_EQ(menu->screen_name(), "0") << open.toStdString();
        EXPECT_EQ(screen(), kMainMenuLines) << open.toStdString();
        EXPECT_EQ(menu->keypad.number_de.text(), "-") << open.toStdString();
    }
}

TEST_F(MainMenuTest, KeysOfTheMainMenuDoNotReachTheScreenLeftBefore) {
    add_songs(2);
    open_menu();
    press("3");
    press("1000001E0E");
    press("4");  // opens deleting: the ordering screen takes no more keys
    EXPECT_EQ(menu->screen_name(), "4");
    EXPECT_EQ(state->play_queue.size(), 1);
    press("1E");
    EXPECT_TRUE(state->play_queue.empty());
}

// The singer screen on its own, given a text area, a message line and the
// window's ways to order a song and to leave.
class SingerScreenAlone : public MainMenuTest {
protected:
    order_by_singer make_screen(std::function<bool()> order_entry, const order_by_singer::rules& rules) {
        return order_by_singer({*state, picture, label, entry, [this](int key) { return type_key(key); },
                                [this](const QString& song_num) {
                                    ordered << song_num;
                                    return 0;
                                },
                                std::move(order_entry), [this] { ++leaves; }},
                               rules);
    }
    bool type_key(int key) {
        if (!type_entry_key(entry, key)) return false;
        label.setText(entry);
        return true;
    }
    static void press(order_by_singer& screen, const QString& keys) {
        for (QChar key : keys) {
            int code = key == 'E' ? 13 : key.unicode();
            screen.key(code);
        }
    }

    PictureBox picture;
    QLabel label;
    QString entry;
    QStringList ordered;
    int leaves = 0;
};

TEST_F(SingerScreenAlone, OrdersTheListedSongThroughTheWindowAndLeavesThroughIt) {
    add_songs(3);
    order_by_singer screen = make_screen({}, {12, 10, page_style::spread, '9', false});
    screen.enter();
    EXPECT_EQ(picture.lines().last(), "9.上一目錄");
    press(screen, "1");
    EXPECT_EQ(screen.name(), "2_1");
    press(screen, "1E");
    EXPECT_EQ(screen.name(), "2_2");
    press(screen, "2E");
    EXPECT_EQ(ordered, QStringList{"1000002"});
    EXPECT_EQ(picture.lines().last(), "成功點入:歌2....");
    press(screen, "0E0E");
    EXPECT_EQ(screen.name(), "2");
    EXPECT_EQ(leaves, 0);
    press(screen, "9");
    EXPECT_EQ(leaves, 1);
}

TEST_F(SingerScreenAlone, OverTheVideoTheEntryIsFirstOfferedAsASongNumber) {
    add_songs(3);
    int offered = 0;
    order_by_singer screen = make_screen(
        [&] {
            ++offered;
            return entry == "1000003";
        },
        {5, 4, page_style::compact, '0', true});
    screen.enter();
    EXPECT_EQ(picture.lines().last(), "0.上一目錄");
    press(screen, "1");
    press(screen, "1000003E");
    EXPECT_EQ(offered, 1);
    EXPECT_EQ(screen.name(), "2_1");  // ordered by the window: the list stays
    EXPECT_TRUE(entry.isEmpty());
    press(screen, "7E");
    EXPECT_EQ(label.text(), "沒這種人!");
    press(screen, "1E");
    EXPECT_EQ(screen.name(), "2_2");
    press(screen, "3E");
    EXPECT_EQ(ordered, QStringList{"1000003"});
    press(screen, "9E");
    EXPECT_EQ(label.text(), "沒這種歌!");
    press(screen, "0E0E0");
    EXPECT_EQ(leaves, 1);
}

}  // namespace
