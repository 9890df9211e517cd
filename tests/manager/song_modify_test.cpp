#include "foundation/lookups.h"
#include "manager/singer_add.h"
#include "manager/song_modify.h"
#include "catalogue_window_fixture.h"
#include "playback/small_view.h"
#include "support/fake_media_player.h"

#include <QFile>
#include <QKeyEvent>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

namespace {

class SongModify : public CatalogueWindowTest, public ::testing::WithParamInterface<CatalogueStore> {
protected:
    SongModify() : CatalogueWindowTest(GetParam()) {}
    QStringList hits() const {
        QStringList lines;
        for (int i = 0; i < window.List1.count(); ++i) lines << window.List1.item(i)->text();
        return lines;
    }
    void search(const QString& singer_keyword, const QString& song_keyword) {
        window.keyword_singer.setText(singer_keyword);
        window.keyword_song.setText(song_keyword);
        window.key_search_Click();
    }
    // Double-clicks the hit with this text.
    void load(const QString& hit) {
        const auto found = window.List1.findItems(hit, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << hit.toStdString();
        window.List1.setCurrentItem(found.front());
        window.List1_DblClick();
    }
    // Loads the hit and deletes its song, answering yes to both questions.
    void delete_with_its_file(const QString& hit) {
        load(hit);
        dialogs.answer_yes();
        dialogs.answer_yes();
        window.key_delete_Click();
    }
    QStringList songs() const {
        return rows("SELECT * FROM song ORDER BY song_num, song_singer_code",
                    {"song_num", "song_kind", "song_name", "song_text_count", "song_singer_code",
                     "song_build_date", "song_location"});
    }
    // Lets the edit area's timer run for half a second of the test clock.
    // Runs the event loop (not a sleep between event checks, as QTest::qWait
    // does) so that the window's timer fires in the meantime.
    void wait_half_a_second() {
        QEventLoop loop;
        QTimer::singleShot(state->clock.real_ms(550), &loop, &QEventLoop::quit);
        loop.exec();
    }

    song_modify window{*state, nullptr};
    int jiang = add_test_singer(*state, "江蕙", 0);
    int wu = add_test_singer(*state, "伍佰", 1);
};

TEST_P(SongModify, ShowsItsCaptionsAndNamesItsFieldsByThem) {
    EXPECT_EQ(window.windowTitle(), "歌曲資料新增修改");
    EXPECT_EQ(window.width(), state->screen_size.width());
    EXPECT_LE(window.height(), state->screen_size.height());
    const std::vector<std::pair<QLabel*, QWidget*>> captions = {
        {&window.Label2, &window.keyword_singer},  {&window.Label3, &window.keyword_song},
        {&window.Label4, &window.song_name},       {&window.Label10, &window.singer_name},
        {&window.Label5, &window.song_kind},       {&window.Label7, &window.song_num},
        {&window.Label6, &window.song_text_count}, {&window.Label8, &window.song_build_date},
        {&window.Label9, &window.song_location}};
    QStringList texts;
    for (const auto& [label, field] : captions) {
        EXPECT_EQ(label->buddy(), field) << label->text().toStdString();
        texts << label->text();
    }
    EXPECT_EQ(texts, QStringList({"歌手名", "歌曲名或編號", "曲名", "歌手", "種類", "編號", "字數", " 建檔日",
                                  "檔案位置"}));
    EXPECT_EQ(window.data_area.title(), "資料修改區");
    EXPECT_EQ(window.song_kind.count(), 8);
    EXPECT_EQ(window.song_kind.itemText(7), "7.粵語");
    EXPECT_EQ(window.song_text_count.count(), 30);
    EXPECT_TRUE(window.song_num.isReadOnly());
    EXPECT_FALSE(window.data_area.isEnabled());
}

TEST_P(SongModify, EmptyKeywordsListEverySongWithASingerRowByLengthAndTitle) {
    add_test_song(*state, "104001", 1, "愛的代價", wu);
    add_test_song(*state, "002001", 0, "家後", jiang);
    add_test_song(*state, "002002", 0, "無人", 999);
    add_test_song(*state, "003001", 0, "酒後的", jiang);
    search("", "");
    EXPECT_EQ(hits(),
              QStringList({"002001-家後 -- 江蕙", "003001-酒後的 -- 江蕙", "104001-愛的代價 -- 伍佰"}));
}

TEST_P(SongModify, TheTitleKeywordCountsItsBlanksAndTheSingerKeywordDoesNot) {
    add_test_song(*state, "005001", 0, "Let It Be", wu);
    add_test_song(*state, "005002", 0, "Letter", jiang);
    search("", "Let ");
    EXPECT_EQ(hits(), QStringList({"005001-Let It Be -- 伍佰"}));
    search("  江 ", "Let");
    EXPECT_EQ(hits(), QStringList({"005002-Letter -- 江蕙"}));
    search("", " Let");
    EXPECT_TRUE(hits().isEmpty());
}

TEST_P(SongModify, AHitLoadsOnDoubleClickOrEnterAndTheEditAreaOpens) {
    add_test_song(*state, "002001", 0, "家後", jiang, "/songs/家後.mpg");
    search("", "");
    window.List1_DblClick();  // nothing selected
    EXPECT_FALSE(window.song_loaded());

    window.List1.setCurrentRow(0);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(&window.List1, &enter);
    ASSERT_TRUE(window.song_loaded());
    EXPECT_EQ(window.song_name.text(), "家後");
    EXPECT_EQ(window.singer_name.text(), "江蕙");
    EXPECT_EQ(window.song_kind.currentText(), "0.台語");
    EXPECT_EQ(window.song_text_count.currentText(), "2");
    EXPECT_EQ(window.song_num.text(), "002001");
    EXPECT_EQ(window.song_build_date.text(), "2024/05/01");
    EXPECT_EQ(window.song_location.text(), "/songs/家後.mpg");
    wait_half_a_second();
    EXPECT_TRUE(window.data_area.isEnabled());
}

TEST_P(SongModify, EnterSearchesFromTheKeywordFieldsOnlyAndNeverDropsTheLoadedSong) {
    add_test_song(*state, "002001", 0, "家後", jiang);
    window.show();
    window.keyword_song.setText("家");
    QTest::keyClick(&window.keyword_song, Qt::Key_Return);
    EXPECT_EQ(hits(), QStringList({"002001-家後 -- 江蕙"}));
    load("002001-家後 -- 江蕙");
    QTest::keyClick(&window.song_name, Qt::Key_Return);
    QTest::keyClick(&window.song_build_date, Qt::Key_Enter);
    EXPECT_TRUE(window.song_loaded());
    EXPECT_TRUE(dialogs.texts().isEmpty());
}

TEST_P(SongModify, SavingWritesTheEditedValuesAndKeepsTheSongLoaded) {
    add_test_song(*state, "002001", 0, "家後", jiang);
    add_test_song(*state, "002002", 0, "其他", jiang);
    search("", "家");
    load("002001-家後 -- 江蕙");
    window.song_name.setText("家後's");
    window.singer_name.setText(" 伍佰 ");
    window.song_kind.setCurrentIndex(1);
    window.song_text_count.setCurrentIndex(3);
    window.song_build_date.setText(" 2025-1-9 ");
    window.song_location.setText("/songs/it's.mpg");
    window.key_modify_Click();
    EXPECT_TRUE(dialogs.texts().isEmpty());
    EXPECT_EQ(songs(),
              QStringList({"002001/1/家後's/4/" + QString::number(wu) + "/2025/01/09/" + "/songs/it's.mpg",
                           "002002/0/其他/2/" + QString::number(jiang) + "/2024/05/01//songs/a.mpg"}));
    EXPECT_TRUE(window.song_loaded());
    EXPECT_EQ(window.song_build_date.text(), "2025/01/09");
    EXPECT_EQ(hits(), QStringList({"002001-家後 -- 江蕙"}));

    // A title with a quote is found and loaded again as stored.
    search("", "'s");
    load("002001-家後's -- 伍佰");
    EXPECT_EQ(window.song_name.text(), "家後's");
    EXPECT_EQ(window.singer_name.text(), "伍佰");
}

TEST_P(SongModify, SavingChecksTheDateTheTitleAndTheSingerInThatOrder) {
    add_test_song(*state, "002001", 0, "家後", jiang);
    const QStringList stored = songs();
    search("", "");
    load("002001-家後 -- 江蕙");
    window.song_build_date.setText("2025/02/30");
    window.song_name.clear();
    window.singer_name.setText("沒這人");
    window.key_modify_Click();
    window.song_build_date.setText("2025/02/28");
    window.key_modify_Click();
    window.song_name.setText("家後");
    when_up<singer_add>([](singer_add& registration) { registration.reject(); });  // its close box
    window.key_modify_Click();
    EXPECT_EQ(dialogs.texts(), QStringList({"請指定好日期", "請輸入正確的曲目名", "找不到歌手,未存檔"}));
    EXPECT_EQ(songs(), stored);
    EXPECT_EQ(window.singer_name.text(), "沒這人");
    EXPECT_EQ(window.song_build_date.text(), "2025/02/28");
}

TEST_P(SongModify, ANewSingerIsRegisteredInTheSingerWindowBeforeTheSave) {
    add_test_song(*state, "002001", 0, "家後", jiang);
    search("", "");
    load("002001-家後 -- 江蕙");
    window.singer_name.setText(" 新人 ");
    when_up<singer_add>([](singer_add& registration) {
        EXPECT_EQ(registration.singer_name.text(), "新人");
        registration.singer_sex.setCurrentIndex(1);
        registration.Command1_Click();
    });
    window.key_modify_Click();
    const QStringList singers =
        rows("SELECT * FROM singer WHERE singer_name = '新人'", {"singer_code", "singer_sex"});
    ASSERT_EQ(singers.size(), 1);
    EXPECT_EQ(rows("SELECT * FROM song", {"song_singer_code"}),
              QStringList({singers.front().section('/', 0, 0)}));
    EXPECT_EQ(singers.front().section('/', 1), "1");
    EXPECT_EQ(window.singer_name.text(), "新人");
}

TEST_P(SongModify, ANameCorrectedInTheSingerWindowToAStoredSingerIsTheOneSaved) {
    add_test_song(*state, "002001", 0, "家後", jiang);
    search("", "");
    load("002001-家後 -- 江蕙");
    window.singer_name.setText("伍柏");
    dialogs.answer_yes();
    when_up<singer_add>([](singer_add& registration) {
        registration.singer_name.setText("伍佰");
        registration.Command1_Click();
    });
    window.key_modify_Click();
    EXPECT_EQ(rows("SELECT * FROM song", {"song_singer_code"}), QStringList({QString::number(wu)}));
    EXPECT_EQ(rows("SELECT * FROM singer", {"singer_name"}), QStringList({"江蕙", "伍佰"}));
    EXPECT_EQ(window.singer_name.text(), "伍佰");
    EXPECT_TRUE(dialogs.script_used_up());
}

TEST_P(SongModify, ASingerWindowLeftAfterRefusingAStoredNameSavesNothing) {
    add_test_song(*state, "002001", 0, "家後", jiang);
    const QStringList stored = songs();
    search("", "");
    load("002001-家後 -- 江蕙");
    window.singer_name.setText("伍柏");
    dialogs.answer_no();
    when_up<singer_add>([](singer_add& registration) {
        registration.singer_name.setText("伍佰");
        registration.Command1_Click();  // "No": not the singer meant
        registration.reject();
    });
    window.key_modify_Click();
    EXPECT_EQ(songs(), stored);
    EXPECT_EQ(window.singer_name.text(), "伍柏");
    EXPECT_EQ(dialogs.last_text(), "找不到歌手,未存檔");
}

TEST_P(SongModify, ACategoryOrCountOutsideTheListsIsShownAndSavedUnchanged) {
    add_test_song(*state, "912001", 9,
                  "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三四五", jiang);
    search("", "");
    window.List1.setCurrentRow(0);
    window.List1_DblClick();
    EXPECT_EQ(window.song_kind.currentText(), "9");
    EXPECT_EQ(window.song_text_count.currentText(), "35");
    window.song_location.setText("/songs/long.mpg");
    window.key_modify_Click();
    EXPECT_EQ(rows("SELECT * FROM song", {"song_kind", "song_text_count", "song_location"}),
              QStringList({"9/35//songs/long.mpg"}));

    // The next song loaded has only the standard items again.
    add_test_song(*state, "002001", 0, "家後", jiang);
    search("", "家");
    window.List1.setCurrentRow(0);
    window.List1_DblClick();
    EXPECT_EQ(window.song_kind.count(), 8);
    EXPECT_EQ(window.song_text_count.count(), 30);
}

TEST_P(SongModify, ASongWithTwoSingersIsListedTwiceAndKeepsBothSingersWhenSaved) {
    add_test_song(*state, "004001", 1, "屋頂", jiang);
    add_test_song(*state, "004001", 1, "屋頂", wu);
    search("", "");
    EXPECT_EQ(hits().size(), 2);
    load("004001-屋頂 -- 伍佰");
    EXPECT_EQ(window.singer_name.text(), "伍佰");
    window.song_name.setText("屋頂上");
    window.song_text_count.setCurrentIndex(2);
    window.key_modify_Click();
    const QString common = "/1/屋頂上/3/%1/2024/05/01//songs/a.mpg";
    EXPECT_EQ(songs(), QStringList({"004001" + common.arg(jiang), "004001" + common.arg(wu)}));

    // A changed singer replaces only the one the edit area showed.
    const int other = add_test_singer(*state, "張惠妹", 0);
    window.singer_name.setText("張惠妹");
    window.key_modify_Click();
    EXPECT_EQ(songs(), QStringList({"004001" + common.arg(jiang), "004001" + common.arg(other)}));

    dialogs.answer_yes();
    dialogs.answer_no();
    window.key_delete_Click();
    EXPECT_TRUE(songs().isEmpty());
    EXPECT_TRUE(hits().isEmpty());
}

TEST_P(SongModify, DeletingAsksTwiceAndRemovesTheFileOnlyOnYes) {
    const QString kept = folder.file("kept.mpg");
    const QString removed = folder.file("removed.mpg");
    for (const QString& path : {kept, removed}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    add_test_song(*state, "002001", 0, "家後", jiang, kept);
    add_test_song(*state, "002002", 0, "家己", jiang, removed);
    search("", "");
    load("002001-家後 -- 江蕙");

    dialogs.answer_no();
    window.key_delete_Click();
    EXPECT_EQ(dialogs.texts(), QStringList({"是否要刪除編號002001,家後,這首歌?"}));
    EXPECT_EQ(songs().size(), 2);

    dialogs.answer_yes();
    dialogs.answer_no();
    window.key_delete_Click();
    EXPECT_EQ(dialogs.last_text(), "是否要刪除編號002001,家後,這首歌的檔?");
    EXPECT_TRUE(QFile::exists(kept));
    EXPECT_EQ(hits(), QStringList({"002002-家己 -- 江蕙"}));
    EXPECT_FALSE(window.song_loaded());
    EXPECT_EQ(window.song_name.text(), "");
    EXPECT_EQ(window.song_num.text(), "");
    wait_half_a_second();
    EXPECT_FALSE(window.data_area.isEnabled());

    delete_with_its_file("002002-家己 -- 江蕙");
    EXPECT_FALSE(QFile::exists(removed));
    EXPECT_TRUE(songs().isEmpty());
    EXPECT_TRUE(dialogs.script_used_up());
}

TEST_P(SongModify, AFileAnotherNumberPlaysStaysUntilItsLastSongIsDeleted) {
    const QString shared = folder.file("shared.mpg");
    {
        QFile file(shared);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    add_test_song(*state, "002001", 0, "家後", jiang, shared);
    add_test_song(*state, "002001", 0, "家後", wu, shared);
    add_test_song(*state, "102001", 1, "家後", jiang, shared);
    search("", "");

    delete_with_its_file("102001-家後 -- 江蕙");
    EXPECT_TRUE(QFile::exists(shared));
    EXPECT_EQ(songs().size(), 2);

    // The other singer's row of the same number does not keep the file.
    delete_with_its_file("002001-家後 -- 伍佰");
    EXPECT_FALSE(QFile::exists(shared));
    EXPECT_TRUE(songs().isEmpty());
    EXPECT_EQ(dialogs.last_text(), "是否要刪除編號002001,家後,這首歌的檔?");
    EXPECT_TRUE(dialogs.script_used_up());
}

TEST_P(SongModify, AMissingOrUndeletableFileDoesNotStopTheDeletion) {
    const QString locked_folder = folder.file("locked");
    ASSERT_TRUE(QDir().mkpath(locked_folder));
    const QString locked = locked_folder + "/song.mpg";
    {
        QFile file(locked);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QFile::setPermissions(locked_folder, QFile::ReadOwner | QFile::ExeOwner);
    add_test_song(*state, "002001", 0, "家後", jiang, folder.file("gone.mpg"));
    add_test_song(*state, "002002", 0, "家己", jiang, locked);
    search("", "");
    for (const QString hit : {"002001-家後 -- 江蕙", "002002-家己 -- 江蕙"}) delete_with_its_file(hit);
    QFile::setPermissions(locked_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(songs().isEmpty());
    // Root may delete it all the same.
    if (QFile::exists(locked)) {
        EXPECT_EQ(dialogs.last_text(), "無法刪除檔案:" + locked);
    }
}

TEST_P(SongModify, TheFileDialogStartsAtTheCurrentPathAndACancelKeepsIt) {
    add_test_song(*state, "002001", 0, "家後", jiang, "/songs/家後.mpg");
    search("", "");
    load("002001-家後 -- 江蕙");
    dialogs.choose_file("/music/new.mp4");
    window.key_location_Click();
    dialogs.choose_file("");
    window.key_location_Click();
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[0].kind, "open_file");
    EXPECT_EQ(dialogs.shown()[0].preset, "/songs/家後.mpg");
    EXPECT_EQ(dialogs.shown()[1].preset, "/music/new.mp4");
    EXPECT_EQ(window.song_location.text(), "/music/new.mp4");
}

TEST_P(SongModify, ThePreviewPlaysTheTrimmedPathUnderTheTitle) {
    add_test_song(*state, "002001", 0, "家後", jiang);
    search("", "");
    load("002001-家後 -- 江蕙");
    window.song_location.setText(" /songs/家後 1.mpg ");
    when_up<small_view>([this](small_view& view) {
        EXPECT_EQ(view.windowTitle(), "家後 預覽");
        EXPECT_EQ(players.last()->played_urls, QStringList({"file:///songs/家後 1.mpg"}));
        view.reject();
    });
    window.view_file_Click();
}

TEST_P(SongModify, TheSingerChoiceListPutsThePickedNameIntoTheSingerField) {
    add_test_song(*state, "002001", 0, "家後", jiang);
    add_test_singer(*state, "江淑娜", 0);
    search("", "");
    load("002001-家後 -- 江蕙");
    window.singer_name.setText("江");
    when_up<song_modify_check_singer>([](song_modify_check_singer& list) {
        pick(list, "江淑娜");
        EXPECT_EQ(lines_of(list), QStringList({"江蕙", "江淑娜"}));
    });
    window.key_singer_Click();
    EXPECT_EQ(window.singer_name.text(), "江淑娜");
}

TEST_P(SongModify, ListsAreCutAtTheirCapacityWithALastLineSayingSo) {
    execute_sql("BEGIN", state->db_path);
    for (int i = 0; i <= song_modify::kHitCapacity; ++i)
        add_test_song(*state, QString("002%1").arg(i, 4, 10, QChar('0')), 0, "歌曲", jiang);
    execute_sql("COMMIT", state->db_path);
    search("", "");
    QStringList lines = hits();
    ASSERT_EQ(lines.size(), song_modify::kHitCapacity + 1);
    EXPECT_EQ(lines.back(), "只列出前2001筆");
    window.List1.setCurrentRow(lines.size() - 1);
    window.List1_DblClick();
    EXPECT_FALSE(window.song_loaded());

    add_many_singers("歌手", song_modify_check_singer::kCapacity);
    song_modify_check_singer list(*state, window);
    list.Form_Activate();
    lines = lines_of(list);
    ASSERT_EQ(lines.size(), song_modify_check_singer::kCapacity + 1);
    EXPECT_EQ(lines.back(), "只列出前1001筆");
}

INSTANTIATE_TEST_SUITE_P(EveryStore, SongModify, every_store(), store_name);

}  // namespace
