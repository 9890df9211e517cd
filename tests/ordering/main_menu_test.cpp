#include "main_menu_fixture.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST_F(MainMenuTest, ShowsTheTenLinesAndIgnoresKeysThatChooseNothing) {
    open_menu();
    EXPECT_EQ(menu->windowTitle(), "Vocari's Karaok 電腦點歌系統");
    EXPECT_EQ(screen(), kMainMenuLines);
    EXPECT_EQ(menu->screen_name(), "0");

    press("9");
    EXPECT_EQ(label1(), "9\n\r");
    EXPECT_EQ(screen(), kMainMenuLines);
    press("+");
    EXPECT_EQ(label1(), "+\n\r");
    EXPECT_EQ(menu->screen_name(), "0");
    press("E");
    EXPECT_EQ(label1(), "+\n\r");
    EXPECT_EQ(screen(), kMainMenuLines);
}

TEST_F(MainMenuTest, OnScreenKeysGiveOneCodePerPressLikeThePhysicalKeys) {
    add_songs(3);
    open_menu();
    const auto click = [](QPushButton& key) {
        const QPointF centre = QRectF(key.rect()).center();
        QMouseEvent down(QEvent::MouseButtonPress, centre, key.mapToGlobal(centre), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QMouseEvent up(QEvent::MouseButtonRelease, centre, key.mapToGlobal(centre), Qt::LeftButton,
                       Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&key, &down);
        QApplication::sendEvent(&key, &up);
    };
    click(menu->keypad.number_key[3]);
    EXPECT_EQ(menu->screen_name(), "3");
    for (int digit : {1, 0, 0, 0, 0, 0, 2}) click(menu->keypad.number_key[digit]);
    EXPECT_EQ(label1(), "1000002\n\r");
    click(menu->keypad.number_dot);
    click(menu->keypad.number_key[3]);
    click(menu->keypad.number_enter);
    EXPECT_EQ(state->play_queue.size(), 1);
    EXPECT_EQ(state->play_queue.number_at(0), "1000003");
    EXPECT_EQ(label1(), "歌3");
}

TEST_F(MainMenuTest, KeySettingsDecideWhatACodeMeans) {
    write_settings("keyMinus = 100\r\nkeyDot = 50\r\nkeyNum(2) = 50\r\n");
    open_menu();
    press("3");
    EXPECT_EQ(menu->screen_name(), "3");
    press("+");
    EXPECT_EQ(screen().at(8), "     第 2 頁");
    press("-");  // the on-screen "-" code no longer means "-"
    EXPECT_EQ(screen().at(8), "     第 2 頁");
    menu->Picture1_KeyPress(100);
    EXPECT_EQ(screen().at(8), "     第 1 頁");
    menu->Picture1_KeyPress(50);  // configured as "." and as "2": the digit wins
    EXPECT_EQ(label1(), "2\n\r");
}

TEST_F(MainMenuTest, LayoutFollowsTheScreenWidth) {
    state->screen_size = {640, 480};
    open_menu();
    EXPECT_EQ(menu->Picture1.font_spec().size, 27);
    EXPECT_EQ(menu->keypad.number_key[5].font().pointSizeF(), 12);
    EXPECT_EQ(menu->manager.font().pointSizeF(), 16);
    EXPECT_EQ(menu->Picture1.geometry(), QRect(128, 0, 512, 480));

    state->screen_size = {1024, 768};
    open_menu();
    EXPECT_EQ(menu->Picture1.font_spec().size, 43);
    EXPECT_DOUBLE_EQ(menu->keypad.number_key[5].font().pointSizeF(), 19.2);
    EXPECT_EQ(menu->manager.font().pointSizeF(), 25);
    // Keypad unit u = width of the left column / 4; 7 8 9 on the second row.
    const int u = menu->keypad.number_key[8].width();
    EXPECT_NEAR(u, 1024 * 0.2 / 4, 1);
    EXPECT_EQ(menu->keypad.number_key[7].x(), 0);
    EXPECT_EQ(menu->keypad.number_key[9].x(), menu->keypad.number_div.x() + u);
    EXPECT_EQ(menu->keypad.number_key[1].y(), menu->keypad.number_key[7].y() + 2 * u);
    EXPECT_EQ(menu->keypad.number_key[0].width(), 2 * u);
    EXPECT_EQ(menu->keypad.number_enter.height(), 2 * u);
    EXPECT_EQ(menu->manager.text(), "管理模式");
    EXPECT_EQ(menu->manager.geometry().bottom(), 767);
    EXPECT_FALSE(players.last()->is_visible());
}

TEST_F(MainMenuTest, OnAWideScreenTheMenuStillFitsTheHeight) {
    state->screen_size = {1920, 1080};
    open_menu();
    EXPECT_EQ(menu->Picture1.geometry(), QRect(384, 0, 1536, 1080));
    EXPECT_EQ(menu->Picture1.font_spec().size, 60);  // as on a 1440 x 1080 screen
    const double text_height = menu->Picture1.text_height("0.關機");
    EXPECT_LE(menu->Picture1.texts().back().top_left.y() + text_height, menu->Picture1.scale_height());
}

TEST_F(MainMenuTest, OrderingByNumberListsTheQueuePageOfTheNewSong) {
    add_songs(9);
    open_menu();
    press("3");
    EXPECT_EQ(screen().last(), "曲目點歌 選 \"0\" 可回主目錄 ");
    EXPECT_EQ(menu->keypad.number_de.text(), "上頁");
    EXPECT_EQ(menu->keypad.number_in.text(), "下頁");
    EXPECT_EQ(menu->keypad.number_dot.text(), "C");
    for (int i = 1; i <= 8; ++i) press(QString::number(1000000 + i) + "E");
    EXPECT_EQ(screen().at(0), "1.   歌1--江蕙");
    EXPECT_EQ(screen().at(7), "8.   歌8--江蕙");
    EXPECT_EQ(screen().at(8), "     第 1 頁");

    press("1000009E");
    EXPECT_EQ(state->current_page, 2);
    EXPECT_EQ(screen().at(0), "1.   歌9--江蕙");
    EXPECT_EQ(screen().at(1), "2.");
    EXPECT_EQ(screen().at(8), "     第 2 頁");
    EXPECT_EQ(screen().last(), "曲目點歌 選 \"0\" 可回主目錄");
    EXPECT_EQ(label1(), "歌9");
    // The listing draws eight green rules across the text area.
    EXPECT_EQ(menu->Picture1.items_of<PictureBox::BoxItem>().size(), 8u);
}

TEST_F(MainMenuTest, UnknownNumberIsRefusedAndTheNumberIsTakenAsTyped) {
    add_songs(1);
    add_test_song(*state, "05", 1, "零五", 1);
    open_menu();
    press("3");
    press("999E");
    EXPECT_EQ(label1(), "沒這種歌!");
    EXPECT_TRUE(state->play_queue.empty());
    press("05E");
    EXPECT_EQ(state->play_queue.number_at(0), "05");
    press("0E");
    EXPECT_EQ(screen(), kMainMenuLines);
    EXPECT_EQ(menu->keypad.number_dot.text(), ".");
}

TEST_F(MainMenuTest, DeletingARowMovesTheLaterOnesUp) {
    add_songs(5);
    open_menu();
    for (int i = 1; i <= 5; ++i)
        state->play_queue.append(QString::number(1000000 + i), "歌" + QString::number(i));
    press("4");
    EXPECT_EQ(screen().last(), "刪除點歌 選 \"0\" 可回主目錄");
    press("9E");
    EXPECT_EQ(label1(), "9\n\r");  // larger than a page: left for correcting
    press("1");
    EXPECT_EQ(label1(), "91\n\r");
    press("..3E");
    EXPECT_EQ(label1(), "刪了:歌3");
    EXPECT_EQ(state->play_queue.size(), 4);
    EXPECT_EQ(screen().at(2), "3.   歌4");
    EXPECT_EQ(screen().at(3), "4.   歌5");
    EXPECT_EQ(screen().at(4), "5.");
    press("7E");
    EXPECT_EQ(label1(), "沒歌可刪!");
    press("00E");
    EXPECT_EQ(label1(), " 輸入錯誤!");
    EXPECT_EQ(state->play_queue.size(), 4);
}

TEST_F(MainMenuTest, InsertingMovesTheSongToTheHead) {
    add_songs(10);
    open_menu();
    for (int i = 1; i <= 10; ++i)
        state->play_queue.append(QString::number(1000000 + i), "歌" + QString::number(i));
    press("5");
    EXPECT_EQ(screen().last(), "插歌功能 選 \"0\" 可回主目錄");
    press("+2E");  // page 2, row 2: slot 9
    EXPECT_EQ(state->play_queue.number_at(0), "1000010");
    EXPECT_EQ(state->play_queue.display_at(0), "歌10--插播");
    EXPECT_EQ(state->play_queue.number_at(1), "1000001");
    EXPECT_EQ(state->play_queue.number_at(9), "1000009");
    EXPECT_EQ(screen().at(0), "1.   歌8");  // page 2 still on screen
    EXPECT_EQ(screen().at(1), "2.   歌9");
    press("-");
    EXPECT_EQ(screen().at(0), "1.   歌10--插播");
    press("3E");
    EXPECT_EQ(label1(), "");
}

TEST_F(MainMenuTest, PagingStopsAtTheFirstAndLastPage) {
    open_menu();
    press("4-");
    EXPECT_EQ(state->current_page, 1);
    state->current_page = 499;
    press("+");
    EXPECT_EQ(screen().at(8), "     第 500 頁");
    press("+");
    EXPECT_EQ(state->current_page, 500);
    EXPECT_EQ(screen().at(8), "     第 500 頁");
}

TEST_F(MainMenuTest, ACatalogueErrorIsShownAndTheMenuGoesOn) {
    add_songs(1);
    open_menu();
    press("3");
    press("1000001E");
    QFile::remove(state->db_path);
    press("1000001E");
    EXPECT_FALSE(label1().isEmpty());
    EXPECT_NE(label1(), "沒這種歌!");
    EXPECT_EQ(state->play_queue.size(), 1);
    press("0E");
    EXPECT_EQ(screen(), kMainMenuLines);
}

TEST_F(MainMenuTest, ManagerModeStopsTheKeyTimerAndReturnsToTheMainMenu) {
    open_menu();
    press("3");
    bool timer1_was_off = false;
    QTimer::singleShot(0, [&] {
        timer1_was_off = !menu->Timer1.isActive();
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->windowTitle() == "Vocari's Karaoke Manager Mode") window->close();
    });
    menu->manager.click();
    EXPECT_TRUE(timer1_was_off);
    EXPECT_TRUE(menu->Timer1.isActive());
    EXPECT_EQ(screen(), kMainMenuLines);
    EXPECT_EQ(program_ends, 0);
}

}  // namespace
