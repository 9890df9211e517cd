#include "main_menu_fixture.h"

#include <QFile>

namespace {

const QStringList kSingerCategoryMenu{"請輸入曲目種類", "1.女歌手", "2.男歌手",
                                      "3.團體or其它",   "",         "9.上一目錄"};

class SingerScreens : public MainMenuTest {
protected:
    // Female singers 歌手01 .. 歌手<count>, each with one song 歌手NN之歌,
    // except those listed as without songs. Returns their codes.
    std::vector<int> add_singers(int count, std::initializer_list<int> without_songs = {}) {
        std::vector<int> codes;
        for (int i = 1; i <= count; ++i) {
            const QString name = QString("歌手%1").arg(i, 2, 10, QChar('0'));
            codes.push_back(add_test_singer(*state, name, 0));
            if (std::find(without_songs.begin(), without_songs.end(), i) == without_songs.end())
                add_test_song(*state, QString::number(1050000 + i), 1, name + "之歌", codes.back());
        }
        return codes;
    }

    // Songs 1040001.. titled 曲01, 曲02, ... by the singer.
    void add_songs_of(int singer, int count) {
        for (int i = 1; i <= count; ++i)
            add_test_song(*state, QString::number(1040000 + i), 1, QString("曲%1").arg(i, 2, 10, QChar('0')),
                          singer);
    }
};

TEST_F(SingerScreens, CategoryMenuIgnoresKeysThatChooseNothing) {
    open_menu();
    press("2");
    EXPECT_EQ(menu->screen_name(), "2");
    EXPECT_EQ(screen(), kSingerCategoryMenu);
    press("4*E");
    EXPECT_EQ(menu->screen_name(), "2");
    EXPECT_EQ(screen(), kSingerCategoryMenu);
    press("9");
    EXPECT_EQ(menu->screen_name(), "0");
    EXPECT_EQ(screen().first(), "   主目錄");
}

TEST_F(SingerScreens, SingerListShowsTwelveAPageAndPagesWithPlus) {
    add_singers(14);
    open_menu();
    press("21");
    EXPECT_EQ(menu->screen_name(), "2_1");
    ASSERT_EQ(screen().size(), 13);
    EXPECT_EQ(screen().first(), "001.歌手01");
    EXPECT_EQ(screen().at(11), "012.歌手12");
    EXPECT_EQ(screen().at(12), "  第 1 頁 選\"0\"可回主選單");
    press("+");
    EXPECT_EQ(screen().first(), "013.歌手13");
    EXPECT_EQ(screen().at(1), "014.歌手14");
    EXPECT_EQ(screen().at(2), "015.");
    EXPECT_EQ(screen().at(12), "  第 2 頁 選\"0\"可回主選單");
    press("-");
    EXPECT_EQ(screen().first(), "001.歌手01");
    const double r = menu->Picture1.scale_height() / 14;
    EXPECT_DOUBLE_EQ(position_of("012.歌手12").y(), 11 * r);

    press("0E");
    EXPECT_EQ(menu->screen_name(), "2");
    EXPECT_EQ(screen(), kSingerCategoryMenu);
}

TEST_F(SingerScreens, SongsOfASingerOpenAndReturnToThePageTheyWereChosenFrom) {
    const std::vector<int> singers = add_singers(20);
    add_songs_of(singers[14], 12);
    open_menu();
    press("21+");
    press("15");
    EXPECT_EQ(label1(), "15");
    press("E");
    EXPECT_EQ(menu->screen_name(), "2_2");
    EXPECT_EQ(label1(), "");
    EXPECT_EQ(state->current_page, 1);
    // Shortest title first, the singer once below the list.
    EXPECT_EQ(screen().first(), "001.曲01");
    EXPECT_EQ(screen().at(9), "010.曲10");
    EXPECT_EQ(screen().at(10), "  第 1 頁 選\"0\"可回主選單");
    EXPECT_EQ(screen().at(11), "歌手:歌手15");
    const double h = menu->Picture1.scale_height();
    EXPECT_DOUBLE_EQ(position_of("歌手:歌手15").y(), h - 3.5 * h / 14);

    press("+");
    EXPECT_EQ(screen().first(), "011.曲11");
    EXPECT_EQ(screen().at(2), "013.歌手15之歌");
    EXPECT_EQ(screen().at(3), "014.");

    // A song of another page is queued and the page stays.
    press("3E");
    ASSERT_EQ(state->play_queue.size(), 1);
    EXPECT_EQ(state->play_queue.number_at(0), "1040003");
    EXPECT_EQ(state->play_queue.display_at(0), "曲03--歌手15");
    EXPECT_EQ(screen().first(), "011.曲11");
    EXPECT_EQ(screen().last(), "成功點入:曲03....");
    EXPECT_EQ(label1(), "");
    press("14E");  // empty position
    EXPECT_EQ(state->play_queue.size(), 1);
    EXPECT_EQ(label1(), "14");
    press("..");

    press("0E");
    EXPECT_EQ(menu->screen_name(), "2_1");
    EXPECT_EQ(state->current_page, 2);
    EXPECT_EQ(screen().first(), "013.歌手13");
    EXPECT_EQ(screen().at(2), "015.歌手15");
}

TEST_F(SingerScreens, NothingOpensWithoutSongsOrWithoutASinger) {
    add_singers(3, {2});
    open_menu();
    press("21");
    const QStringList singer_page = screen();
    for (const QString entry : {"2", "4", "1002", "99999999999"}) {
        press(entry + "E");
        EXPECT_EQ(menu->screen_name(), "2_1") << entry.toStdString();
        EXPECT_EQ(screen(), singer_page);
        EXPECT_EQ(label1(), entry);
        press(QString(entry.size(), '.'));
    }
    press("1E");
    EXPECT_EQ(screen().first(), "001.歌手01之歌");

    // A category without singers lists numbers only.
    press("0E0E3");
    EXPECT_EQ(screen().first(), "001.");
    EXPECT_EQ(screen().at(11), "012.");
    press("1E");
    EXPECT_EQ(menu->screen_name(), "2_1");
    EXPECT_EQ(label1(), "1");
}

TEST_F(SingerScreens, ACatalogueErrorIsShownAndTheSingerListStays) {
    add_singers(2);
    open_menu();
    press("21");
    const QStringList singer_page = screen();
    QFile::remove(state->db_path);
    press("1E");
    EXPECT_FALSE(label1().isEmpty());
    EXPECT_NE(label1(), "1");
    EXPECT_EQ(menu->screen_name(), "2_1");
    EXPECT_EQ(screen(), singer_page);
    press("0E9");
    EXPECT_EQ(menu->screen_name(), "0");
}

}  // namespace
