#include "manager/song_add_same.h"
#include "playback/small_view.h"
#include "support/manager_fixture.h"

#include <QFile>
#include <QTest>

namespace {

// Two stored songs titled like the new one, and one that only begins alike
// but is longer.
class SongAddSameTest : public ManagerTest, public ::testing::WithParamInterface<CatalogueStore> {
protected:
    SongAddSameTest() : ManagerTest(GetParam()) {
        add_song_of_length("002001", 0, "愛你", 2, singer_a, old_file);
        add_song_of_length("002002", 0, "愛你", 2, singer_b, folder.file("b.mpg"));
        add_song_of_length("005001", 0, "愛你一萬年", 5, singer_b);
        window = std::make_unique<song_add_same>(*state, nullptr, new_song());
    }
    NewSong new_song() const { return {"002003", singer_a, "愛你", "愛你", 2, 0, "2024/05/07", new_file}; }
    QStringList titles() const {
        QStringList shown;
        for (int i = 0; i < window->org_song_name.count(); ++i) shown << window->org_song_name.itemText(i);
        return shown;
    }
    QString stored_name(const QString& num) const {
        const Recordset row =
            open_recordset("SELECT * FROM song WHERE song_num = '" + num + "'", state->db_path);
        return row.Eof() ? QString() : row.Field("song_name");
    }

    int singer_a = add_test_singer(*state, "王菲");
    int singer_b = add_test_singer(*state, "陶喆");
    QString old_file = media_file("old.mpg");
    QString new_file = media_file("new.mpg");
    std::unique_ptr<song_add_same> window;
};

TEST_P(SongAddSameTest, ListsTheStoredSongsOfTheSameTitleAndLengthWithTheFirstChosen) {
    EXPECT_EQ(window->windowTitle(), "Form1");
    EXPECT_EQ(window->Frame1.title(), "原本歌曲");
    EXPECT_EQ(window->Frame2.title(), "新進歌曲");
    EXPECT_EQ(window->org_kill.text(), "刪除替換");
    EXPECT_EQ(window->org_kill.toolTip(), "刪除之後,原始檔案也會一並刪除,並讓新進歌曲替換");
    EXPECT_EQ(window->new_cancel.toolTip(), "刪除之後,原始檔案也會一並刪除");
    EXPECT_EQ(window->org_song_name.accessibleName(), "曲名");
    EXPECT_EQ(window->org_renew.accessibleName(), "改曲名");
    EXPECT_EQ(window->new_song_name.accessibleName(), "曲名");
    EXPECT_NEAR(window->width(), 0.5 * 1024, 1);

    EXPECT_EQ(titles(), QStringList({"愛你", "愛你"}));
    EXPECT_EQ(window->org_song_name.currentIndex(), 0);
    EXPECT_EQ(window->org_renew.text(), "愛你");
    EXPECT_EQ(window->org_song_singer_lab.text(), "演唱者:王菲");
    EXPECT_EQ(window->new_song_name.text(), "愛你");

    window->org_song_name.setCurrentIndex(1);
    emit window->org_song_name.activated(1);
    EXPECT_EQ(window->org_song_singer_lab.text(), "演唱者:陶喆");
}

TEST_P(SongAddSameTest, TypingIntoTheStoredTitlesIsWarnedAbout) {
    QTest::keyClicks(window->org_song_name.lineEdit(), "x");
    EXPECT_EQ(dialogs.texts(), QStringList{"您不可以修改本欄位資料, 若想要修改曲名請在下列新曲名修改"});
    EXPECT_EQ(window->org_song_name.count(), 2);
}

TEST_P(SongAddSameTest, RenamingAStoredSongRefreshesTheTitlesAndKeepsTheChoice) {
    window->org_song_name.setCurrentIndex(1);
    emit window->org_song_name.activated(1);
    window->org_renew.setText(" 愛你's ");
    window->org_modify.click();

    EXPECT_EQ(stored_name("002002"), "愛你's");
    EXPECT_EQ(titles(), QStringList({"愛你", "愛你's"}));
    EXPECT_EQ(window->org_song_name.currentIndex(), 1);
    EXPECT_EQ(dialogs.texts(), QStringList{"舊曲名已修改為愛你's"});
}

TEST_P(SongAddSameTest, AddingStoresTheNewSongUnderItsProposedNumber) {
    window->new_song_name.setText("愛你(新)");
    window->new_add.click();
    EXPECT_EQ(dialogs.texts(), QStringList{"存入ok! 請進行下一首曲的建檔作業"});
    EXPECT_EQ(window->result(), QDialog::Accepted);
    const Recordset row = open_recordset("SELECT * FROM song WHERE song_num = '002003'", state->db_path);
    ASSERT_EQ(row.RecordCount(), 1);
    EXPECT_EQ(row.Field("song_name"), "愛你(新)");
    EXPECT_EQ(row.FieldInt("song_text_count"), 2);
    EXPECT_EQ(row.FieldInt("song_singer_code"), singer_a);
    EXPECT_EQ(row.Field("song_build_date"), "2024/05/07");
    EXPECT_EQ(row.Field("song_location"), new_file);
}

TEST_P(SongAddSameTest, ReplacingDeletesTheStoredSongAndItsFileAndGivesItsNumberAway) {
    dialogs.answer_yes();
    dialogs.answer_no();
    window->org_kill.click();

    EXPECT_EQ(dialogs.texts(), QStringList({"若是刪除舊曲, 則舊曲的歌檔也會從系統中刪除掉!\n"
                                            "而舊曲的曲目編號也會即時讓給新的登錄!!\n請確定",
                                            "舊曲目已刪除, 是否讓新曲目替換上?"}));
    EXPECT_FALSE(QFile::exists(old_file));
    EXPECT_EQ(count_of("SELECT * FROM song WHERE song_num = '002001'"), 0);
    EXPECT_EQ(window->Frame1.title(), "原本歌曲登錄及檔案已刪除");
    EXPECT_FALSE(window->Frame1.isEnabled());
    EXPECT_EQ(window->new_song_number(), "002001");
    EXPECT_NE(window->result(), QDialog::Accepted);

    // Adding after all stores the new song under the deleted song's number.
    window->new_add.click();
    EXPECT_EQ(stored_name("002001"), "愛你");
    EXPECT_EQ(count_of("SELECT * FROM song WHERE song_num = '002003'"), 0);
}

TEST_P(SongAddSameTest, ReplacingAtOnceStoresTheNewSongAndCloses) {
    dialogs.answer_yes();
    dialogs.answer_yes();
    window->org_kill.click();
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(
        open_recordset("SELECT * FROM song WHERE song_num = '002001'", state->db_path).Field("song_location"),
        new_file);
}

TEST_P(SongAddSameTest, NoToTheFirstReplaceQuestionChangesNothing) {
    dialogs.answer_no();
    window->org_kill.click();
    EXPECT_TRUE(QFile::exists(old_file));
    EXPECT_EQ(count_of("SELECT * FROM song"), 3);
    EXPECT_TRUE(window->Frame1.isEnabled());
}

TEST_P(SongAddSameTest, AStoredSongWithTheNewSongsFileIsReplacedWithoutDeletingTheFile) {
    execute_sql("UPDATE song SET song_location = '" + new_file + "' WHERE song_num = '002001'",
                state->db_path);
    dialogs.answer_yes();
    dialogs.answer_yes();
    window->org_kill.click();
    EXPECT_TRUE(QFile::exists(new_file));
    EXPECT_EQ(count_of("SELECT * FROM song WHERE song_num = '002001'"), 1);
}

TEST_P(SongAddSameTest, GivingUpAfterTheReplacementAsksAboutTheDeletedSongFirst) {
    dialogs.answer_yes();
    dialogs.answer_no();
    window->org_kill.click();
    dialogs.clear();
    for (int i = 0; i < 3; ++i) dialogs.answer_yes();
    window->new_cancel.click();

    EXPECT_EQ(dialogs.texts(),
              QStringList({"原本的歌曲檔及其登錄已經被您刪除了,請問您是否真的要取消這首新進歌曲的新登錄?",
                           "您這新進的歌真的不登錄? 是否真的要算了而進行下一首歌的登錄?",
                           "是否要一起刪除這新進歌曲的檔案?"}));
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(new_file));
    EXPECT_EQ(count_of("SELECT * FROM song WHERE song_num = '002001'"), 0);
}

TEST_P(SongAddSameTest, GivingUpAsksTwiceAndKeepsTheFileUnlessTold) {
    window->show();
    dialogs.answer_no();
    window->new_cancel.click();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(dialogs.texts(), QStringList{"您這新進的歌真的不登錄? 是否真的要算了而進行下一首歌的登錄?"});

    dialogs.answer_yes();
    dialogs.answer_no();
    window->new_cancel.click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(QFile::exists(new_file));
    EXPECT_EQ(count_of("SELECT * FROM song"), 3);
}

TEST_P(SongAddSameTest, GivingUpKeepsAFileThatAStoredSongPlays) {
    execute_sql("UPDATE song SET song_location = '" + new_file + "' WHERE song_num = '005001'",
                state->db_path);
    dialogs.answer_yes();
    dialogs.answer_yes();
    window->new_cancel.click();
    EXPECT_TRUE(QFile::exists(new_file));
    EXPECT_TRUE(dialogs.script_used_up());
}

TEST_P(SongAddSameTest, WithNoStoredSongListedTheStoredSongButtonsDoNothing) {
    song_add_same none(*state, nullptr, {"003001", singer_a, "無", "無", 3, 0, "2024/05/07", new_file});
    EXPECT_EQ(none.org_song_name.count(), 0);
    none.org_modify.click();
    none.org_kill.click();
    none.org_view.click();
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(count_of("SELECT * FROM song"), 3);
}

TEST_P(SongAddSameTest, PreviewsShowTheStoredAndTheNewFile) {
    window->org_song_name.setCurrentIndex(1);
    QStringList seen;
    const auto look = [&seen](small_view& view) {
        seen << view.windowTitle() << view.file_to_watch;
        view.close();
    };
    when_up<small_view>(look);
    window->org_view.click();
    when_up<small_view>(look);
    window->new_view.click();
    EXPECT_EQ(seen, QStringList({"瀏覽原本的歌曲檔", folder.file("b.mpg"), "瀏覽新進的歌曲檔", new_file}));
}

INSTANTIATE_TEST_SUITE_P(EveryStore, SongAddSameTest, every_store(), store_name);

}  // namespace
