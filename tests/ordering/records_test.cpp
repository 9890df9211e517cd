#include "main_menu_fixture.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QString kTitle = "錄音檔瀏覽 選 \"0\" 可回主目錄";

class RecordsTest : public MainMenuTest {
protected:
    RecordsTest() { open_menu(); }

    QString take(const QString& name) const { return state->settings.RecordPath + "/" + name; }
    void record(const QString& name) { write_file(take(name), "RIFF"); }
};

TEST_F(RecordsTest, ListsTheRecordingsAndReadsTheFolderAgainOnEveryKey) {
    record("20240503_2101_b.wav");
    record("20240503_2015_a.wav");
    press("7");
    EXPECT_EQ(menu->screen_name(), "7");
    QStringList expected{"1.   20240503_2015_a.wav",
                         "2.   20240503_2101_b.wav",
                         "3.",
                         "4.",
                         "5.",
                         "6.",
                         "7.",
                         "8.",
                         "     第 1 頁",
                         kTitle};
    EXPECT_EQ(screen(), expected);
    EXPECT_EQ(menu->keypad.number_de.text(), "上頁");
    EXPECT_EQ(menu->keypad.number_in.text(), "下頁");
    EXPECT_EQ(menu->keypad.number_dot.text(), "C");

    record("20240503_2230_c.wav");  // recorded while the list is shown
    press("3E");
    EXPECT_EQ(menu->screen_name(), "7_1");
    const QStringList lines = screen();
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines.mid(0, 5),
              QStringList({"您選定的音訊檔資訊如下:", "", "20240503_2230_c.wav", "", "錄製時間:"}));
    const QString today = QDate::currentDate().toString("yyyy/MM/dd");
    EXPECT_TRUE(QRegularExpression("^" + today + " \\d\\d:\\d\\d:\\d\\d$").match(lines.at(5)).hasMatch())
        << lines.at(5).toStdString();
    EXPECT_EQ(lines.mid(6), QStringList({"", "1: 播放", "2: 停止", "3: 刪除檔案", "0: 離開"}));
    EXPECT_EQ(label1(), "");
}

TEST_F(RecordsTest, TenRecordingsLeaveTwoForPageTwo) {
    for (int i = 1; i <= 10; ++i) record(QString("take%1.wav").arg(i, 2, 10, QChar('0')));
    press("7+");
    EXPECT_EQ(state->current_page, 2);
    EXPECT_EQ(screen().mid(0, 3), QStringList({"1.   take09.wav", "2.   take10.wav", "3."}));
    EXPECT_EQ(screen().at(7), "8.");
    EXPECT_EQ(screen().at(8), "     第 2 頁");
    EXPECT_EQ(screen().last(), kTitle);
    press("+");
    EXPECT_EQ(screen().at(0), "1.");
    EXPECT_EQ(screen().at(8), "     第 3 頁");
    press("--");
    EXPECT_EQ(screen().at(0), "1.   take01.wav");
    press("-");
    EXPECT_EQ(state->current_page, 1);
    press("2E");
    EXPECT_EQ(screen().at(2), "take02.wav");
}

TEST_F(RecordsTest, RowsWithoutARecordingChooseNothing) {
    press("7");
    EXPECT_EQ(screen().at(0), "1.");  // an empty folder
    press("1E");
    EXPECT_EQ(menu->screen_name(), "7");
    EXPECT_EQ(label1(), "");
    record("only.wav");
    press("9E");
    EXPECT_EQ(label1(), "9\n\r");  // larger than a page: left for correcting
    press(".2E");
    EXPECT_EQ(menu->screen_name(), "7");
    EXPECT_EQ(label1(), "");
    press("00E");
    EXPECT_EQ(menu->screen_name(), "7");
    press("0E");
    EXPECT_EQ(screen(), kMainMenuLines);
}

TEST_F(RecordsTest, PlaysStopsAndLeavesARecording) {
    record("take.wav");
    press("71E");
    press("1E");
    EXPECT_EQ(wmp().played_urls, QStringList({"file://" + take("take.wav")}));
    EXPECT_EQ(wmp().play_state(), play_state::playing);
    EXPECT_EQ(wmp().volume(), 100);
    EXPECT_EQ(label1(), "播放中");
    press("1E");  // already playing
    EXPECT_EQ(wmp().played_urls.size(), 1);
    EXPECT_EQ(label1(), "");

    menu->Timer1_Timer();
    EXPECT_EQ(menu->Label2.text(), "00:00");
    press("2E");
    EXPECT_EQ(label1(), "停止");
    EXPECT_EQ(wmp().play_state(), play_state::undefined);
    wmp().calls.clear();
    press("2E");  // nothing plays
    EXPECT_TRUE(wmp().calls.isEmpty());
    EXPECT_EQ(label1(), "");

    press("1E");
    press("0E");
    EXPECT_EQ(wmp().play_state(), play_state::undefined);
    EXPECT_EQ(menu->screen_name(), "7");
    EXPECT_EQ(screen().at(0), "1.   take.wav");
    EXPECT_EQ(screen().last(), kTitle);
}

TEST_F(RecordsTest, DeletingTheOnlyRecordingLeavesAnEmptyFirstRow) {
    record("take.wav");
    QFile::setPermissions(take("take.wav"), QFileDevice::ReadOwner);
    press("71E1E");
    press("3E");
    EXPECT_EQ(wmp().play_state(), play_state::undefined);
    EXPECT_FALSE(QFileInfo::exists(take("take.wav")));
    EXPECT_EQ(menu->screen_name(), "7");
    EXPECT_EQ(screen().at(0), "1.");
    EXPECT_EQ(state->current_page, 1);
}

}  // namespace
