#include "manager/batch_registe.h"
#include "manager/batch_same.h"
#include "registration_fixture.h"
#include "support/background_loudness.h"

#include <QDate>
#include <QFileInfo>
#include <QTest>

namespace {

class BatchRegiste : public RegistrationTest, public ::testing::WithParamInterface<CatalogueStore> {
protected:
    BatchRegiste() : RegistrationTest(GetParam()) {
        jiang = add_test_singer(*state, "江蕙");
        for (const char* name : {"song07.mpg", "家後.mp3", "雨夜花.avi", "Love.dat"}) make_file(name);
    }

    void run(const QByteArray& content) {
        QFile file(media("batch.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        window.reg_file_name.setText(" " + media("batch.txt") + " ");
        window.batch_reg_do_Click();
    }
    void run(const QString& text) { run(text.toUtf8()); }

    int jiang = 0;
    batch_registe window{*state, nullptr};
};

TEST_P(BatchRegiste, LinesAreCheckedThenRegisteredWithTheirFiles) {
    run(QString("\xEF\xBB\xBF# 測試\r\n7,家後,台語,江蕙,2\r\n\r\nLove.dat, Love ,英語, 江蕙 ,3.9\r\n"));
    EXPECT_EQ(dialogs.texts(), QStringList({"2筆資料已批次登錄完成"}));
    EXPECT_EQ(window.reg_file_name.text(), "");
    EXPECT_EQ(window.Label2.text(), "進度 1/1:Love");
    const QString today = QDate::currentDate().toString("yyyy/MM/dd");
    Recordset row = open_recordset("SELECT * FROM song WHERE song_num = '002001'", state->db_path);
    ASSERT_EQ(row.RecordCount(), 1);
    EXPECT_EQ(row.Field("song_name"), "家後");
    EXPECT_EQ(row.FieldInt("song_kind"), 0);
    EXPECT_EQ(row.FieldInt("song_singer_code"), jiang);
    EXPECT_EQ(row.Field("song_build_date"), today);
    EXPECT_EQ(row.Field("song_location"), media("song07.mpg"));
    EXPECT_EQ(
        count("SELECT * FROM song WHERE song_num = '303001' AND song_name = 'Love' AND song_text_count = 3"),
        1);

    // A second run finds every file registered and stores nothing.
    dialogs.clear();
    run(QString("7,家後,台語,江蕙,2\r\nLove.dat,Love,英語,江蕙,3.9\r\n"));
    EXPECT_EQ(dialogs.texts(), QStringList({"2筆資料已批次登錄完成"}));
    EXPECT_EQ(songs(), 2);
}

TEST_P(BatchRegiste, OnlyCommentsOrAMissingFileRegisterNothing) {
    run(QString("# 只有說明\n   # 縮排的說明\n\n"));
    EXPECT_EQ(dialogs.texts(), QStringList({"0筆資料已批次登錄完成"}));
    window.reg_file_name.setText(media("none.txt"));
    window.batch_reg_do_Click();
    EXPECT_EQ(dialogs.last_text(), "您所指定的披次登錄檔案並不存在ㄛ!");
    EXPECT_EQ(songs(), 0);
}

TEST_P(BatchRegiste, AnyBadLineStopsTheRunBeforeAnythingIsStored) {
    run(QString("7,家後,台語,江蕙,2\n雨夜花.avi,雨夜花, 國語,江蕙,3\n"));
    EXPECT_EQ(dialogs.last_text(),
              "您所指定的批次檔中=>雨夜花.avi,雨夜花, 國語,江蕙,3<=找不到指定的歌曲種類!");
    run(QString("7,家後,台語,江蕙,2\n雨夜花.avi,雨夜花,國語,江蕙,0.5\n"));
    EXPECT_EQ(dialogs.last_text(),
              "您所指定的批次檔中=>雨夜花.avi,雨夜花,國語,江蕙,0.5<=所定義的字數有問題!");
    run(QString("8,家後,台語,江蕙,2\n"));
    EXPECT_EQ(dialogs.last_text(), "您所指定的批次檔中=>8,家後,台語,江蕙,2<=找不到指定的檔!");
    QString too_long;
    for (int i = 0; i < 502; ++i) too_long += "7,家後,台語,江蕙,2\n";
    run(too_long);
    EXPECT_TRUE(dialogs.last_text().contains("501"));
    EXPECT_EQ(songs(), 0);
}

TEST_P(BatchRegiste, ABig5FileRegistersItsChineseTitles) {
    // "家後.mp3,家後,台語,江蕙,2" in Big5 (code page 950).
    QByteArray line("\xAE\x61\xAB\xE1.mp3,\xAE\x61\xAB\xE1,\xA5\x78\xBB\x79,\xA6\xBF\xBF\xB7,2\r\n");
    run(line);
    EXPECT_EQ(dialogs.texts(), QStringList({"1筆資料已批次登錄完成"}));
    EXPECT_EQ(count("SELECT * FROM song WHERE song_name = '家後' AND song_location = '" + media("家後.mp3") +
                    "' AND song_singer_code = " + QString::number(jiang)),
              1);
}

TEST_P(BatchRegiste, AMissingSingerIsRegisteredUnderTheNameGivenThere) {
    when_up<batch_singer_add>([](batch_singer_add& add) {
        EXPECT_EQ(add.windowTitle(), "批次登錄--新增歌手資料");
        EXPECT_EQ(add.singer_name.text(), "伍佰");
        add.singer_sex.setCurrentIndex(1);
        add.Command1_Click();
    });
    when_up<batch_singer_add>([this](batch_singer_add& add) {
        EXPECT_EQ(add.singer_name.text(), "江惠");
        add.singer_name.setText(" 江蕙 ");  // the singer meant is stored already
        dialogs.answer_yes();
        add.Command1_Click();
    });
    when_up<batch_singer_add>([](batch_singer_add&) {});  // closed: the line is skipped
    run(QString("家後.mp3,家後,台語,伍佰,2\n7,雨夜花,台語,江惠,3\nLove.dat,Love,英語,無名,4\n"));
    EXPECT_EQ(count("SELECT * FROM singer"), 2);
    EXPECT_EQ(count("SELECT * FROM song s JOIN singer g ON s.song_singer_code = g.singer_code "
                    "WHERE g.singer_name = '伍佰' AND g.singer_sex = 1 AND s.song_name = '家後'"),
              1);
    EXPECT_EQ(count("SELECT * FROM song WHERE song_name = '雨夜花' AND song_singer_code = " +
                    QString::number(jiang)),
              1);
    EXPECT_EQ(songs(), 2);
    EXPECT_EQ(dialogs.last_text(), "3筆資料已批次登錄完成");
}

TEST_P(BatchRegiste, ASecondLineWithTheSameNewTitleIsOfferedToTheSimilarTitleWindow) {
    when_up<batch_same>([this](batch_same& same) {
        EXPECT_EQ(dialogs.last_text(), "家後與編號002001,江蕙,有類似曲名. 請修改或取消登錄!!");
        EXPECT_EQ(same.windowTitle(), "批次新增");
        EXPECT_EQ(same.org_song_name.count(), 1);
        EXPECT_EQ(same.org_renew.text(), "家後");
        EXPECT_EQ(same.org_song_singer_lab.text(), "演唱者:江蕙");
        EXPECT_EQ(same.new_song_name.text(), "家後");
        EXPECT_EQ(same.new_song_number(), "002002");
        same.new_song_name.setText("家後(二)");
        same.new_add_Click();
    });
    run(QString("7,家後,台語,江蕙,2\n家後.mp3,家後,台語,江蕙,2\n"));
    EXPECT_EQ(
        count(
            "SELECT * FROM song WHERE song_num = '002002' AND song_name = '家後(二)' AND song_location = '" +
            media("家後.mp3") + "'"),
        1);
    EXPECT_EQ(dialogs.texts().mid(1),
              QStringList({"存入ok! 請進行下一首曲的批次作業", "2筆資料已批次登錄完成"}));
}

TEST_P(BatchRegiste, WithLoudnessTheRegisteredFilesAreMeasuredInTheBackground) {
    state->settings.Loudness = 1;
    run(QString("7,家後,台語,江蕙,2\nLove.dat,Love,英語,江蕙,3.9\n"));
    ASSERT_EQ(songs(), 2);
    EXPECT_TRUE(measured_in_background(*state, media("song07.mpg")));
    EXPECT_TRUE(measured_in_background(*state, media("Love.dat")));
}

TEST_P(BatchRegiste, ASongStoredThroughTheSimilarTitleWindowIsMeasuredToo) {
    state->settings.Loudness = 1;
    when_up<batch_same>([](batch_same& same) {
        same.new_song_name.setText("家後(二)");
        same.new_add_Click();
    });
    run(QString("7,家後,台語,江蕙,2\n家後.mp3,家後,台語,江蕙,2\n"));
    ASSERT_EQ(songs(), 2);
    EXPECT_TRUE(measured_in_background(*state, media("家後.mp3")));
}

class BatchSame : public RegistrationTest, public ::testing::WithParamInterface<CatalogueStore> {
protected:
    BatchSame() : RegistrationTest(GetParam()) {
        jiang = add_test_singer(*state, "江蕙");
        add_test_song(*state, "002001", 0, "家後", jiang, make_file("old.mpg"));
        add_test_song(*state, "002002", 0, "家園", jiang, make_file("other.mpg"));
        add_test_song(*state, "003001", 0, "家後的", jiang, make_file("longer.mpg"));
    }
    NewSong song() { return {"002003", jiang, "家", "家", 2, 0, "2024/06/01", make_file("new.mp3")}; }

    int jiang = 0;
};

TEST_P(BatchSame, DeletingAStoredSongGivesItsNumberToTheNewSong) {
    batch_same same(*state, nullptr, song());
    EXPECT_EQ(same.org_song_name.count(), 2);  // the same length only
    same.org_song_name.setCurrentIndex(same.org_song_name.findText("家後"));
    same.org_song_name_Click(same.org_song_name.currentIndex());
    EXPECT_EQ(same.org_kill.toolTip(), "刪除之後,原始檔案也會一並刪除");
    dialogs.answer_yes();
    dialogs.answer_no();
    same.org_kill_Click();
    EXPECT_EQ(
        dialogs.texts().at(0),
        "若是刪除舊曲, 則舊曲的歌檔也會從系統中刪除掉!\n而舊曲的曲目編號也會即時讓給新的登錄!!\n請確定");
    EXPECT_EQ(dialogs.texts().at(1), "舊曲目已刪除, 是否讓新曲目替換上?");
    EXPECT_FALSE(QFileInfo::exists(media("old.mpg")));
    EXPECT_EQ(count("SELECT * FROM song WHERE song_num = '002001'"), 0);
    EXPECT_EQ(same.Frame1.title(), "原本歌曲登錄及檔案以刪除");
    EXPECT_FALSE(same.Frame1.isEnabled());

    same.new_add_Click();
    EXPECT_EQ(
        count("SELECT * FROM song WHERE song_num = '002001' AND song_name = '家' AND song_location = '" +
              media("new.mp3") + "' AND song_build_date = '2024/06/01'"),
        1);
}

TEST_P(BatchSame, GivingUpAfterADeletionAsksFirstAndMayDeleteTheNewFile) {
    batch_same same(*state, nullptr, song());
    dialogs.answer_yes();
    dialogs.answer_no();
    same.org_kill_Click();
    dialogs.clear();
    dialogs.answer_no();
    same.new_cancel_Click();
    EXPECT_EQ(dialogs.texts(),
              QStringList({"原本的歌曲檔及其登錄已經被您刪除了,請問您是否真的要取消這首新進歌曲的新登錄?"}));
    for (int i = 0; i < 3; ++i) dialogs.answer_yes();
    same.new_cancel_Click();
    EXPECT_EQ(dialogs.texts().mid(1),
              QStringList({"原本的歌曲檔及其登錄已經被您刪除了,請問您是否真的要取消這首新進歌曲的新登錄?",
                           "您這新進的歌真的不登錄? 是否真的要算了而進行下一首歌的登錄?",
                           "是否要一起刪除這新進歌曲的檔案?"}));
    EXPECT_FALSE(QFileInfo::exists(media("new.mp3")));
    EXPECT_EQ(songs(), 2);
}

// A batch file may name a file a stored song already plays: giving the new
// song up, or deleting a stored song twice over, must not take it away.
TEST_P(BatchSame, FilesStoredSongsPlayAreKept) {
    NewSong sharing = song();
    sharing.location = media("other.mpg");
    batch_same same(*state, nullptr, sharing);
    for (int i = 0; i < 2; ++i) dialogs.answer_yes();
    same.new_cancel_Click();
    EXPECT_EQ(dialogs.last_text(), "是否要一起刪除這新進歌曲的檔案?");
    EXPECT_TRUE(QFileInfo::exists(media("other.mpg")));

    batch_same again(*state, nullptr, song());
    again.org_song_name.setCurrentIndex(again.org_song_name.findText("家後"));
    dialogs.answer_yes();
    dialogs.answer_no();
    again.org_kill_Click();
    dialogs.clear();
    again.org_song_name.setCurrentIndex(again.org_song_name.findText("家園"));
    again.org_kill_Click();  // the frame is disabled: nothing is asked or deleted
    EXPECT_TRUE(dialogs.texts().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(media("other.mpg")));
    EXPECT_EQ(songs(), 2);
}

TEST_P(BatchSame, RenamingAStoredSongRefreshesTheListAndTypingIsWarned) {
    batch_same same(*state, nullptr, song());
    same.org_song_name.setCurrentIndex(same.org_song_name.findText("家園"));
    same.org_song_name_Click(same.org_song_name.currentIndex());
    same.org_renew.setText(" 家園's ");
    same.org_modify_Click();
    EXPECT_EQ(dialogs.last_text(), "舊曲名已修改為家園's");
    EXPECT_EQ(get_song_name(*state, "002002"), "家園's");
    EXPECT_EQ(same.org_song_name.currentText(), "家園's");
    EXPECT_EQ(same.org_song_name.count(), 2);
    EXPECT_NE(same.org_song_name.findText("家後"), -1);

    same.org_song_name.setFocus();
    QTest::keyClicks(same.org_song_name.lineEdit(), "x");
    EXPECT_EQ(dialogs.last_text(), "您不可以修改本欄位資料, 若想要修改曲名請在下列新曲名修改");

    dialogs.answer_yes();
    dialogs.answer_no();
    same.new_cancel_Click();
    EXPECT_TRUE(QFileInfo::exists(media("new.mp3")));
    EXPECT_EQ(songs(), 3);
}

INSTANTIATE_TEST_SUITE_P(EveryStore, BatchRegiste, every_store(), store_name);

INSTANTIATE_TEST_SUITE_P(EveryStore, BatchSame, every_store(), store_name);

}  // namespace
