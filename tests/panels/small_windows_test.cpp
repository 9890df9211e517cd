#include "panels/panel_fixture.h"
#include "panels/small_inttersong.h"
#include "panels/small_order_by_singer.h"
#include "panels/small_ordersong.h"

#include <QFile>

namespace {

// The windows shown without a modal loop, keys handed to them directly.
class SmallWindowTest : public PanelTest {
protected:
    template <class Window>
    Window& show() {
        auto window = std::make_unique<Window>(*state, screen->session(), nullptr);
        window->show();
        Window& shown = *window;
        windows.push_back(std::move(window));
        return shown;
    }
    // Keys as the keypad sends them, "E" standing for Enter.
    static void press(small_window& window, const QString& keys) {
        for (QChar key : keys) window.Picture1_KeyPress(key == 'E' ? 13 : key.unicode());
    }

    std::vector<std::unique_ptr<small_window>> windows;
};

TEST_F(SmallWindowTest, TheWindowsFollowTheScreenWidthAndSitAtTheConfiguredCorner) {
    open_player();
    small_ordersong& order = show<small_ordersong>();
    small_inttersong& queue = show<small_inttersong>();
    const int W = state->screen_size.width();
    EXPECT_EQ(order.pos(), QPoint(700 / 15, 200 / 15));
    EXPECT_NEAR(order.width(), 0.18 * W, 1);
    EXPECT_NEAR(order.height(), 1.4 * 0.18 * W, 1);
    EXPECT_FALSE(order.Picture1.isVisible());
    EXPECT_NEAR(queue.width(), 3 * qRound(0.16 * W), 1);
    EXPECT_EQ(queue.Picture1.x(), queue.Label1.width());
    EXPECT_EQ(queue.Picture1.height(), queue.height());
    EXPECT_EQ(order.keypad.number_key[5].font().pointSizeF(), 24);  // on a 1024-pixel screen
    EXPECT_EQ(queue.Picture1.font_spec().size, 20);
    EXPECT_EQ(order.keypad.number_de.text(), "-");
    EXPECT_EQ(queue.keypad.number_de.text(), "上頁");
    EXPECT_EQ(order.Label_3.text(), "選\"0\"離開");
    // The keypad: "0" two keys wide under 1, 2; Enter two keys high on the right.
    EXPECT_EQ(order.keypad.number_key[0].width(), 2 * order.keypad.number_key[1].width());
    EXPECT_EQ(order.keypad.number_key[0].y(),
              order.keypad.number_key[1].y() + order.keypad.number_key[1].height());
    EXPECT_EQ(order.keypad.number_enter.height(), 2 * order.keypad.number_key[1].height());
    EXPECT_GT(order.keypad.number_enter.x(), order.keypad.number_key[3].x());
}

TEST_F(SmallWindowTest, OrderingIntoAnEmptyQueueStartsTheSongAtOnce) {
    open_player();
    small_ordersong& window = show<small_ordersong>();
    press(window, "1000003");
    EXPECT_EQ(window.Label1.text(), "1000003");
    press(window, "E");
    EXPECT_EQ(window.Label1.text(), "歌3");
    EXPECT_EQ(media().played_urls, QStringList{url_of(3)});

    press(window, "1000004E");  // behind the song playing: it waits its turn
    EXPECT_EQ(state->play_queue.size(), 2);
    EXPECT_EQ(media().played_urls.size(), 1);
    press(window, "6E");
    EXPECT_EQ(window.Label1.text(), "沒這種歌!");
    press(window, "12.E");
    EXPECT_EQ(window.Label1.text(), "沒這種歌!");
    EXPECT_EQ(state->play_queue.size(), 2);
    EXPECT_TRUE(window.isVisible());
    press(window, "0E");
    EXPECT_FALSE(window.isVisible());
}

TEST_F(SmallWindowTest, TheInsertionWindowMovesARowToPlayAfterTheNextSong) {
    queue_songs(5);
    open_player();
    small_inttersong& window = show<small_inttersong>();
    EXPECT_TRUE(state->insert_window_open);
    EXPECT_EQ(window.Picture1.lines(), (QStringList{"1. 歌1--江蕙", "2. 歌2--江蕙", "3. 歌3--江蕙",
                                                    "4. 歌4--江蕙", "5. 歌5--江蕙", "第 1 頁", "插播功能"}));
    press(window, "4E");
    EXPECT_EQ(state->play_queue.number_at(0), song_num(1));
    EXPECT_EQ(state->play_queue.number_at(1), song_num(2));
    EXPECT_EQ(state->play_queue.number_at(2), song_num(4));
    EXPECT_EQ(state->play_queue.display_at(2), "歌4--插播");
    EXPECT_EQ(state->play_queue.number_at(3), song_num(3));
    EXPECT_EQ(window.Picture1.lines().at(2), "3. 歌4--插播");

    for (const char* row : {"1E", "2E"}) {
        press(window, row);
        EXPECT_EQ(window.Label1.text(), "這種歌不用插播了啦!");
    }
    press(window, "6E");
    EXPECT_EQ(window.Label1.text(), "沒這種歌!");
    press(window, "00E");
    EXPECT_EQ(window.Label1.text(), "輸入錯誤");
    press(window, "+1E");
    EXPECT_EQ(window.Label1.text(), "沒歌可插!");
    EXPECT_EQ(window.Picture1.lines().at(5), "第 2 頁");
    EXPECT_EQ(state->play_queue.size(), 5);

    // A song number orders the song instead of naming a row.
    press(window, "1000006E");
    EXPECT_EQ(state->play_queue.size(), 6);
    EXPECT_EQ(window.Label1.text(), "歌6");
    EXPECT_EQ(window.Picture1.lines().at(0), "1. 歌6--江蕙");

    press(window, "0E");
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(state->insert_window_open);
}

TEST_F(SmallWindowTest, TheInsertionWindowFollowsTheQueueAsSongsEnd) {
    queue_songs(3);
    open_player();
    small_inttersong& window = show<small_inttersong>();
    media().finish_song();
    EXPECT_EQ(window.Picture1.lines().at(0), "1. 歌2--江蕙");
    EXPECT_EQ(window.Picture1.lines().at(2), "3.");
}

TEST_F(SmallWindowTest, TheInsertionWindowShowsAQueueChangedFromAPhone) {
    queue_songs(2);
    open_player();
    small_inttersong& window = show<small_inttersong>();
    state->play_queue.append("1000003", "歌3--江蕙");
    screen->session().announce_queue_changed();
    EXPECT_EQ(window.Picture1.lines().at(2), "3. 歌3--江蕙");
}

class SingerWindowTest : public SmallWindowTest {
protected:
    SingerWindowTest() {
        // Seven more female singers with a song each, besides 江蕙 with songs 1..6.
        for (int i = 1; i <= 7; ++i) {
            const int code = add_test_singer(*state, "歌手" + QString::number(i));
            add_test_song(*state, QString::number(2000000 + i), 1, "單曲" + QString::number(i), code);
        }
    }
    // The list number of a singer in the category listing.
    int list_number_of(const QString& name) const {
        for (int i = 0; i < 1001; ++i)
            if (state->singer_list[size_t(1001 + i)] == name) return i + 1;
        return 0;
    }
};

TEST_F(SingerWindowTest, SingersFiveAPageAndSongsFourAPageNumberedAcrossPages) {
    open_player();
    small_order_by_singer& window = show<small_order_by_singer>();
    EXPECT_EQ(window.Picture1.lines(),
              (QStringList{"請輸入曲目種類", "1.女歌手", "2.男歌手", "3.團體or其它", "", "0.上一目錄"}));
    EXPECT_EQ(window.Label_3.text(), "0回主選單");
    press(window, "1");
    EXPECT_EQ(window.screen_state(), "2_1");
    QStringList page = window.Picture1.lines();
    ASSERT_EQ(page.size(), 6);
    EXPECT_TRUE(page[0].startsWith("01.") && page[4].startsWith("05."));
    EXPECT_EQ(page[5], "第 1 頁");
    press(window, "+");
    page = window.Picture1.lines();
    EXPECT_TRUE(page[0].startsWith("06.") && page[4].startsWith("10."));
    EXPECT_EQ(page[5], "第 2 頁");

    press(window, "99E");
    EXPECT_EQ(window.Label1.text(), "沒這種人!");
    // The singer's list number, keyed on page 2, whatever page shows it.
    const QString number = QString::number(list_number_of("江蕙"));
    press(window, number + "E");
    EXPECT_EQ(window.screen_state(), "2_2");
    EXPECT_EQ(window.Picture1.lines(),
              (QStringList{"01.歌1", "02.歌2", "03.歌3", "04.歌4", "第 1 頁", "歌手:江蕙"}));
    press(window, "+");
    EXPECT_EQ(window.Picture1.lines().mid(0, 3), (QStringList{"05.歌5", "06.歌6", "07."}));

    press(window, "1E");  // list number 1, on page 2
    EXPECT_EQ(state->play_queue.number_at(0), song_num(1));
    EXPECT_EQ(media().played_urls, QStringList{url_of(1)});
    EXPECT_EQ(window.Picture1.lines().last(), "成功點入:歌1....");
    press(window, "9E");
    EXPECT_EQ(window.Label1.text(), "沒這種歌!");

    press(window, "0E");
    EXPECT_EQ(window.screen_state(), "2_1");
    EXPECT_EQ(window.Picture1.lines().at(5), "第 2 頁");
    press(window, "0E");
    EXPECT_EQ(window.screen_state(), "2");
    press(window, "0");
    EXPECT_FALSE(window.isVisible());
}

TEST_F(SingerWindowTest, AKeyedNumberIsFirstTriedAsASongNumber) {
    open_player();
    small_order_by_singer& window = show<small_order_by_singer>();
    press(window, "1");
    press(window, "2000003E");
    EXPECT_EQ(window.screen_state(), "2_1");
    EXPECT_EQ(window.Label1.text(), "單曲3");
    EXPECT_EQ(state->play_queue.number_at(0), "2000003");
}

TEST_F(SmallWindowTest, ADatabaseErrorShowsOnTheMessageLineAndTheWindowGoesOn) {
    queue_songs(1);
    open_player();
    small_ordersong& order = show<small_ordersong>();
    small_order_by_singer& singers = show<small_order_by_singer>();
    QFile::remove(state->db_path);
    ASSERT_TRUE(QFile(state->db_path).open(QIODevice::WriteOnly));  // not a database
    press(order, "1000002E");
    EXPECT_FALSE(order.Label1.text().isEmpty());
    EXPECT_NE(order.Label1.text(), "沒這種歌!");
    press(singers, "1");
    EXPECT_FALSE(singers.Label1.text().isEmpty());
    press(order, "3");
    EXPECT_EQ(order.Label1.text(), "3");  // a fresh entry
    EXPECT_EQ(state->play_queue.size(), 1);
    EXPECT_EQ(media().play_state(), play_state::playing);
}

}  // namespace
