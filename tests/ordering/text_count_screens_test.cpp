#include "main_menu_fixture.h"

namespace {

const QStringList kCategoryMenu{"請輸入曲目種類", "0.台語", "1.國語", "2.客語", "3.英語",
                                "4.日語",         "5.兒歌", "6.其它", "",       "9.上一目錄"};
const QString kFooterPage1 = "  第 1 頁 選\"0\"可回主選單";

class TextCountScreens : public MainMenuTest {
protected:
    TextCountScreens() { singer = add_test_singer(*state, "江蕙"); }

    // Songs 1030001.. of category 1 titled 歌01, 歌02, ... (three characters).
    void add_three_character_songs(int count) {
        for (int i = 1; i <= count; ++i)
            add_test_song(*state, QString::number(1030000 + i), 1, QString("歌%1").arg(i, 2, 10, QChar('0')),
                          singer);
    }

    int singer = 0;
};

TEST_F(TextCountScreens, CategoryMenuTakesEveryCategoryIncludingTheUnlistedSeven) {
    open_menu();
    press("1");
    EXPECT_EQ(menu->screen_name(), "1");
    EXPECT_EQ(screen(), kCategoryMenu);
    press("8*E");
    EXPECT_EQ(menu->screen_name(), "1");
    EXPECT_EQ(screen(), kCategoryMenu);
    EXPECT_EQ(label1(), "");  // no echo on this screen

    press("7");
    EXPECT_EQ(menu->screen_name(), "1_1");
    EXPECT_EQ(screen(), QStringList({"請輸入您所想要瀏覽的 ", "粵語 歌的字數,", "然後再按確定開始選歌..", "",
                                     "選\"0\"可回主目錄...0"}));
    press("0E");
    EXPECT_EQ(menu->screen_name(), "0");
    EXPECT_EQ(screen().first(), "   主目錄");

    press("19");
    EXPECT_EQ(menu->screen_name(), "0");
    EXPECT_EQ(screen().first(), "   主目錄");
}

TEST_F(TextCountScreens, CountEntryEchoesCorrectsAndRefusesEmptyCombinations) {
    add_three_character_songs(1);
    open_menu();
    press("11");
    press("E+-");
    EXPECT_EQ(menu->screen_name(), "1_1");
    press("45");
    EXPECT_EQ(label1(), "45");
    press(".");
    EXPECT_EQ(label1(), "4");
    menu->Picture1_KeyPress('a');  // a key no setting maps keeps the entry
    EXPECT_EQ(label1(), "4");
    press("E");
    EXPECT_EQ(label1(), "沒有這種組合!!");
    EXPECT_EQ(menu->screen_name(), "1_1");
    EXPECT_EQ(screen().at(1), "國語 歌的字數,");

    press("3E");
    EXPECT_EQ(menu->screen_name(), "1_2");
    EXPECT_EQ(label1(), "");
    EXPECT_EQ(screen().first(), "001.歌01--江蕙");
}

TEST_F(TextCountScreens, CountsAboveNineShareTheListOfLongTitles) {
    add_test_song(*state, "112001", 1, "一二三四五六七八九十百千", singer);
    add_test_song(*state, "110001", 1, "一二三四五六七八九十", singer);
    add_test_song(*state, "111001", 1, "一二三四五六七八九十百", singer);
    add_test_song(*state, "109001", 1, "一二三四五六七八九", singer);
    add_test_song(*state, "010001", 0, "一一一一一一一一一一", singer);
    open_menu();
    const QStringList long_titles{"001.一二三四五六七八九十--江蕙", "002.一二三四五六七八九十百--江蕙",
                                  "003.一二三四五六七八九十百千--江蕙", "004."};
    for (const QString count : {"10", "12", "99", "99999999999"}) {
        press("11" + count + "E");
        EXPECT_EQ(screen().mid(0, 4), long_titles) << count.toStdString();
        press("0E");
        EXPECT_EQ(screen(), kCategoryMenu);
    }
    press("19E");
    EXPECT_EQ(screen().first(), "001.一二三四五六七八九--江蕙");
}

TEST_F(TextCountScreens, SongListPagesOnWithListNumbersCountingOn) {
    add_three_character_songs(25);
    open_menu();
    press("113E");
    QStringList page1;
    for (int i = 1; i <= 10; ++i)
        page1 << QString("%1.歌%2--江蕙").arg(i, 3, 10, QChar('0')).arg(i, 2, 10, QChar('0'));
    EXPECT_EQ(screen(), page1 + QStringList({kFooterPage1, "國語 類"}));

    press("+");
    EXPECT_EQ(screen().first(), "011.歌11--江蕙");
    EXPECT_EQ(screen().at(10), "  第 2 頁 選\"0\"可回主選單");
    press("+");
    EXPECT_EQ(screen().at(4), "025.歌25--江蕙");
    EXPECT_EQ(screen().at(5), "026.");
    EXPECT_EQ(screen().at(9), "030.");
    press("--");
    EXPECT_EQ(state->current_page, 1);
    EXPECT_EQ(screen().first(), "001.歌01--江蕙");
    press("0E");
    EXPECT_EQ(menu->screen_name(), "1");
    EXPECT_EQ(screen(), kCategoryMenu);
}

TEST_F(TextCountScreens, ListNumberQueuesThatSongWhateverPageIsShown) {
    add_three_character_songs(12);
    open_menu();
    press("113E11E");
    ASSERT_EQ(state->play_queue.size(), 1);
    EXPECT_EQ(state->play_queue.number_at(0), "1030011");
    EXPECT_EQ(state->current_page, 1);
    EXPECT_EQ(screen().first(), "001.歌01--江蕙");
    EXPECT_EQ(screen().last(), "成功點入:歌11--江蕙....");
    EXPECT_EQ(label1(), "");

    // Empty positions, positions past the list and "00" queue nothing and
    // leave the entry for correcting.
    for (const QString entry : {"13", "1502", "99999999999", "00"}) {
        press(entry + "E");
        EXPECT_EQ(label1(), entry);
        press(QString(entry.size(), '.'));
    }
    EXPECT_EQ(state->play_queue.size(), 1);
    press("+");
    EXPECT_EQ(screen().last(), "國語 類");
    press("2E");
    EXPECT_EQ(state->play_queue.number_at(1), "1030002");
    EXPECT_EQ(screen().first(), "011.歌11--江蕙");
}

TEST_F(TextCountScreens, RowsFooterCategoryAndConfirmationStandWhereTheyBelong) {
    add_three_character_songs(10);
    open_menu();
    press("113E5E");
    const double h = menu->Picture1.scale_height();
    const double r = h / 14;
    EXPECT_DOUBLE_EQ(position_of("001.歌01--江蕙").y(), 0);
    EXPECT_DOUBLE_EQ(position_of("010.歌10--江蕙").y(), 9 * r);
    EXPECT_DOUBLE_EQ(position_of(kFooterPage1).y(), h - 1.3 * r);
    const QPointF category = position_of("國語 類");
    EXPECT_DOUBLE_EQ(category.y(), h - 3.5 * r);
    const QPointF confirmation = position_of("成功點入:歌05--江蕙....");
    EXPECT_EQ(confirmation.x(), 0);
    EXPECT_DOUBLE_EQ(confirmation.y(), category.y() + menu->Picture1.text_height("國"));
    EXPECT_LT(confirmation.y(), h - 1.3 * r);
}

}  // namespace
