#include "manager/reg_by_filename.h"
#include "manager/reg_by_filename_dialogs.h"
#include "registration_fixture.h"
#include "support/background_loudness.h"
#include "support/loudness_clips.h"

#include <QDate>
#include <QFileInfo>

namespace {

class RegByFilename : public RegistrationTest, public ::testing::WithParamInterface<CatalogueStore> {
protected:
    RegByFilename() : RegistrationTest(GetParam()) {
        jiang = add_test_singer(*state, "江蕙");
        chen = add_test_singer(*state, "陳雷");
    }

    // Chooses a file of the media folder in the dialog, which scans the folder.
    void scan() {
        dialogs.choose_file(media("any file"));
        window.cmdBrowse_Click();
    }
    QStringList lines() const {
        QStringList texts;
        for (int i = 0; i < window.lstFileInfo.count(); ++i) texts << window.lstFileInfo.item(i)->text();
        return texts;
    }
    int row_of(const QString& name) const {
        for (int i = 0; i < window.lstFileInfo.count(); ++i) {
            if (window.lstFileInfo.item(i)->text().contains(name)) return i;
        }
        return -1;
    }
    void select(const QString& name) {
        window.lstFileInfo.setCurrentRow(row_of(name));
        window.lstFileInfo_Click();
    }
    // Opens the similar-title window for the selected file and runs `inside` there.
    void decide(const std::function<void(reg_by_filename_Same&)>& inside) {
        when_up<reg_by_filename_Same>(inside);
        window.cmdRepeadCom_Click();
    }

    // Decides that the file replaces the first similar stored song.
    void replace_first_similar_song(const QString& name) {
        select(name);
        decide([](reg_by_filename_Same& same) {
            same.cmbOrgSong.setCurrentIndex(0);
            same.cmdReplaceOrg_Click();
        });
    }

    int jiang = 0;
    int chen = 0;
    reg_by_filename window{*state, nullptr};
};

TEST_P(RegByFilename, TheWindowIsInKaiSizedToTheScreenAndCentred) {
    // The state's screen is 1024 x 768: eight tenths of it, 12 points scaled as the menu's.
    EXPECT_EQ(window.size(), QSize(819, 614));
    EXPECT_EQ(window.pos(), QPoint(102, 77));
    EXPECT_EQ(window.font().family(), "標楷體");
    EXPECT_DOUBLE_EQ(window.font().pointSizeF(), 12 * 0.8 * 1024 / 640);
    EXPECT_EQ(window.lstFileInfo.font().family(), "標楷體");
}

TEST_P(RegByFilename, AFolderIsListedAndRegisteredWithOneRowPerSingerUnderOneNumber) {
    make_file("江蕙+陳雷,家後,國語,2.mp3");
    make_file("江蕙,雨夜花,台語,3.MPG");
    make_file("notes.txt");
    make_file("江蕙,無聲,國語,2.mp4");
    scan();

    EXPECT_EQ(dialogs.shown().at(0).text, "指定路徑 ; 請隨便點選一個檔");
    EXPECT_EQ(window.txtPath.text(), media_folder());
    EXPECT_EQ(lines(),
              QStringList({"準備登錄:江蕙+陳雷,家後,國語,2字部", "準備登錄:江蕙,雨夜花,台語,3字部"}));
    select("家後");
    EXPECT_EQ(window.labSongInfo.text(), "此檔已可準備登錄系統");
    EXPECT_TRUE(window.frmAddSinger.isHidden());
    EXPECT_TRUE(window.frmRepeat.isHidden());

    window.cmdReg_Click();
    EXPECT_EQ(window.labSongInfo.text(), "已完成2筆資料的登錄! ");
    const QString today = QDate::currentDate().toString("yyyy/MM/dd");
    Recordset rows = open_recordset("SELECT * FROM song WHERE song_num = '102001' ORDER BY song_singer_code",
                                    state->db_path);
    ASSERT_EQ(rows.RecordCount(), 2);
    EXPECT_EQ(rows.FieldInt("song_singer_code"), jiang);
    EXPECT_EQ(rows.Field("song_name"), "家後");
    EXPECT_EQ(rows.FieldInt("song_kind"), 1);
    EXPECT_EQ(rows.FieldInt("song_text_count"), 2);
    EXPECT_EQ(rows.Field("song_build_date"), today);
    EXPECT_EQ(rows.Field("song_location"), media("江蕙+陳雷,家後,國語,2.mp3"));
    rows.MoveNext();
    EXPECT_EQ(rows.FieldInt("song_singer_code"), chen);
    EXPECT_EQ(count("SELECT * FROM song WHERE song_num = '003001' AND song_name = '雨夜花'"), 1);

    // The rescan shows every file registered; registering again stores nothing.
    EXPECT_EQ(lines(),
              QStringList({"檔案已登錄:江蕙+陳雷,家後,國語,2.mp3", "檔案已登錄:江蕙,雨夜花,台語,3.MPG"}));
    select("家後");
    EXPECT_EQ(window.labSongInfo.text(), " 本檔已登錄");
    window.lstFileInfo_DblClick();  // no renaming: the catalogue holds the path
    window.cmdReg_Click();
    EXPECT_EQ(songs(), 3);
}

TEST_P(RegByFilename, BadNamesShowTheirErrorAndBlockTheRegistration) {
    make_file("江蕙,家後,華語,2.mp3");
    make_file("江蕙,家後,國語,0.mp3");
    make_file("江蕙,家後,國語,255.mp3");
    make_file("江蕙,家後,國語,兩.mp3");
    make_file("江蕙,家後.mp3");
    make_file("江蕙,家後,國語,2,多.mp3");
    scan();
    for (const QString& line : lines()) {
        EXPECT_TRUE(line.startsWith("檔名格式有誤,請修正:")) << line.toStdString();
        EXPECT_TRUE(line.endsWith(" <----請修正檔名<<<<<<<<<<<<<<<<<<<<<")) << line.toStdString();
    }
    const QString kind_error = " 找不到種類;請用:台語,國語,客語,英語,日語,兒歌,其它,粵語. 雙擊可改檔名!";
    const QString count_error = " 字數不對;字數應大於等於1 , 小於255. 雙擊可改檔名!";
    const QString parts_error =
        " 參數不夠;請用:歌手1+歌手2,歌名,種類,字數.副檔名 , 共4個餐數值. 雙擊可改檔名!";
    const std::vector<std::pair<QString, QString>> expected{{"華語", kind_error},      {",0.", count_error},
                                                            {"255", count_error},      {"兩", count_error},
                                                            {"家後.mp3", parts_error}, {"多", parts_error}};
    for (const auto& [name, error] : expected) {
        select(name);
        EXPECT_EQ(window.labSongInfo.text(), error) << name.toStdString();
    }

    window.lstFileInfo.setCurrentRow(-1);
    window.cmdReg_Click();
    EXPECT_EQ(dialogs.last_text(), "尚有檔案未確認或格式錯誤 !");
    EXPECT_EQ(window.lstFileInfo.currentRow(), 0);
    EXPECT_FALSE(window.labSongInfo.text().isEmpty());
    EXPECT_EQ(songs(), 0);
}

TEST_P(RegByFilename, ARenamedFileIsCheckedAgainButNoFileIsOverwritten) {
    make_file("江蕙,家後,華語,2.mp3");
    make_file("江蕙,雨夜花,台語,3.mp3");
    scan();
    select("華語");

    when_up<reg_by_filename_ModifyFilename>([](reg_by_filename_ModifyFilename& rename) {
        EXPECT_EQ(rename.labMsgOrgFilename.text(), "Org. Filename : 江蕙,家後,華語,2.mp3");
        EXPECT_EQ(rename.txtFileName.text(), "江蕙,家後,華語,2.mp3");
        rename.txtFileName.setText("江蕙,雨夜花,台語,3.mp3");
        rename.cmdOK_Click();
    });
    window.lstFileInfo_DblClick();
    EXPECT_TRUE(QFileInfo::exists(media("江蕙,家後,華語,2.mp3")));
    EXPECT_TRUE(lines().at(window.lstFileInfo.currentRow()).startsWith("檔名格式有誤"));

    for (const char* refused : {"../江蕙,家後,國語,2.mp3", "江蕙,家後,國語,2.txt"}) {
        when_up<reg_by_filename_ModifyFilename>([refused](reg_by_filename_ModifyFilename& rename) {
            rename.txtFileName.setText(refused);
            rename.cmdOK_Click();
        });
        window.lstFileInfo_DblClick();
        EXPECT_TRUE(QFileInfo::exists(media("江蕙,家後,華語,2.mp3"))) << refused;
    }

    when_up<reg_by_filename_ModifyFilename>([](reg_by_filename_ModifyFilename& rename) {
        rename.txtFileName.setText("江蕙,家後,國語,2.mp3");
        rename.cmdOK_Click();
    });
    window.lstFileInfo_DblClick();
    EXPECT_FALSE(QFileInfo::exists(media("江蕙,家後,華語,2.mp3")));
    EXPECT_TRUE(QFileInfo::exists(media("江蕙,家後,國語,2.mp3")));
    EXPECT_EQ(window.lstFileInfo.currentItem()->text(), "準備登錄:江蕙,家後,國語,2字部");
    EXPECT_EQ(window.labSongInfo.text(), "此檔已可準備登錄系統");
    EXPECT_EQ(window.song_files().at(0).file_path, media("江蕙,家後,國語,2.mp3"));
}

TEST_P(RegByFilename, MissingSingersAreAddedFromTheFileName) {
    make_file("江蕙+伍佰+張惠妹,家後,國語,2.mp3");
    scan();
    EXPECT_EQ(lines(), QStringList({"檔案需確認:江蕙+伍佰+張惠妹,家後,國語,2.mp3"}));
    select("家後");
    EXPECT_EQ(window.labSongInfo.text(), " 歌手資料尚未建立!");
    EXPECT_FALSE(window.frmAddSinger.isHidden());

    when_up<reg_by_filename_addSinger>([](reg_by_filename_addSinger& add) {
        EXPECT_EQ(add.windowTitle(), "新增歌手");
        EXPECT_EQ(add.singer_name.text(), "伍佰");
        EXPECT_TRUE(add.singer_name.isReadOnly());
        add.Command1_Click();  // no category chosen: nothing is stored
        add.singer_sex.setCurrentIndex(1);
        add.Command1_Click();
    });
    when_up<reg_by_filename_addSinger>([](reg_by_filename_addSinger& add) {
        EXPECT_EQ(add.singer_name.text(), "張惠妹");
    });  // closed without adding
    window.cmdAddSinger_Click();
    EXPECT_EQ(count("SELECT * FROM singer WHERE singer_name = '伍佰' AND singer_sex = 1"), 1);
    EXPECT_EQ(count("SELECT * FROM singer"), 3);
    EXPECT_EQ(dialogs.last_text(), "請選好歌手性別");
    EXPECT_EQ(window.lstFileInfo.currentItem()->text(), "檔案需確認:江蕙+伍佰+張惠妹,家後,國語,2.mp3");

    when_up<reg_by_filename_addSinger>([](reg_by_filename_addSinger& add) {
        add.singer_sex.setCurrentIndex(0);
        add.Command1_Click();
    });
    window.cmdAddSinger_Click();
    EXPECT_EQ(window.lstFileInfo.currentItem()->text(), "準備登錄:江蕙+伍佰+張惠妹,家後,國語,2字部");
    window.cmdReg_Click();
    EXPECT_EQ(count("SELECT * FROM song WHERE song_num = '102001'"), 3);
}

TEST_P(RegByFilename, ASimilarTitleWaitsForADecisionThatIsShownAgainWhenReopened) {
    add_test_song(*state, "102001", 1, "家後", jiang, media("old.mpg"));
    add_test_song(*state, "102001", 1, "家後", chen, media("old.mpg"));
    add_test_song(*state, "105001", 1, "家後的人", jiang, media("other.mpg"));
    make_file("old.mpg");
    make_file("江蕙,家後,國語,2.mp3");
    scan();
    select("家後,國語");
    EXPECT_EQ(window.lstFileInfo.currentItem()->text(), "檔案需確認:江蕙,家後,國語,2.mp3");
    EXPECT_EQ(window.labSongInfo.text(), " 曲目於資料庫中有類似的! 請指定指令");
    EXPECT_FALSE(window.frmRepeat.isHidden());
    window.cmdReg_Click();
    EXPECT_EQ(dialogs.last_text(), "尚有檔案未確認或格式錯誤 !");

    decide([&](reg_by_filename_Same& same) {
        EXPECT_EQ(same.windowTitle(), "曲目重覆");
        EXPECT_EQ(same.labMsg.text(), " 曲目於資料庫中有類似的! 請指定指令");
        ASSERT_EQ(same.cmbOrgSong.count(), 2);  // any length: the window lists every title it begins
        EXPECT_EQ(same.cmbOrgSong.currentIndex(), -1);
        EXPECT_EQ(same.txtNewSong.text(), "家後");
        EXPECT_EQ(same.labNewSinger.text(), "江蕙");
        same.cmdReplaceOrg_Click();
        EXPECT_EQ(dialogs.last_text(), "請選定將被取代的曲目 !");
        same.cmbOrgSong.setCurrentIndex(same.cmbOrgSong.findText("家後"));
        same.cmbOrgSong_Click();
        EXPECT_EQ(same.labOrgSinger.text(), "江蕙+陳雷");
        same.cmdReplaceOrg_Click();
    });
    EXPECT_EQ(window.lstFileInfo.currentItem()->text(), "檔案已確認:江蕙,家後,國語,2.mp3->取代102001");
    EXPECT_EQ(window.labSongInfo.text(), " 曲目於資料庫中有類似的! 指令 : 取代此曲目");

    decide([](reg_by_filename_Same& same) {
        EXPECT_EQ(same.labMsg.text(), " 曲目於資料庫中有類似的! 指令 : 取代此曲目");
    });  // closed by its close box: the decision stands
    EXPECT_EQ(window.lstFileInfo.currentItem()->text(), "檔案已確認:江蕙,家後,國語,2.mp3->取代102001");

    window.cmdReg_Click();
    EXPECT_FALSE(QFileInfo::exists(media("old.mpg")));
    Recordset rows = open_recordset("SELECT * FROM song WHERE song_num = '102001'", state->db_path);
    ASSERT_EQ(rows.RecordCount(), 1);
    EXPECT_EQ(rows.Field("song_location"), media("江蕙,家後,國語,2.mp3"));
    EXPECT_EQ(rows.FieldInt("song_singer_code"), jiang);
}

TEST_P(RegByFilename, ReplacingASongKeepsItsFileWhileAnotherNumberStillPlaysIt) {
    const QString old_file = folder.file("old.mpg");  // outside the folder scanned
    {
        QFile old(old_file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    }
    add_test_song(*state, "102001", 1, "家後", jiang, old_file);
    add_test_song(*state, "003001", 0, "雨夜花", chen, old_file);
    const QString new_file = make_file("江蕙,家後,國語,2.mp3");
    scan();
    replace_first_similar_song("家後,國語");

    window.cmdReg_Click();
    EXPECT_EQ(window.labSongInfo.text(), "已完成1筆資料的登錄! ");
    EXPECT_TRUE(QFileInfo::exists(old_file));
    EXPECT_TRUE(QFileInfo::exists(new_file));
    EXPECT_EQ(count("SELECT * FROM song WHERE song_num = '102001' AND song_location = '" + new_file + "'"),
              1);
    EXPECT_EQ(count("SELECT * FROM song WHERE song_num = '003001' AND song_location = '" + old_file + "'"),
              1);
}

TEST_P(RegByFilename, ReplacingASongStoredWithTheNewFileUnderAnotherPathKeepsTheFile) {
    const QString new_file = make_file("江蕙,家後,國語,2.mp3");
    add_test_song(*state, "102001", 1, "家後", jiang, media_folder() + "/../media/江蕙,家後,國語,2.mp3");
    scan();
    replace_first_similar_song("家後,國語");

    window.cmdReg_Click();
    EXPECT_TRUE(QFileInfo::exists(new_file));
    EXPECT_EQ(count("SELECT * FROM song WHERE song_num = '102001' AND song_location = '" + new_file + "'"),
              1);
}

TEST_P(RegByFilename, AddingAnywayTakesANewNumberAndDeletingRemovesTheFile) {
    add_test_song(*state, "102001", 1, "家後", jiang);
    make_file("江蕙,家後,國語,2.mp3");
    make_file("陳雷,家後,國語,2.wav");
    scan();
    select("江蕙,家後");
    decide([](reg_by_filename_Same& same) { same.cmdAddNew_Click(); });
    EXPECT_EQ(window.lstFileInfo.currentItem()->text(), "檔案已確認:江蕙,家後,國語,2.mp3->新增");
    select("陳雷,家後");
    decide([](reg_by_filename_Same& same) { same.cmdDelete_Click(); });
    EXPECT_EQ(window.lstFileInfo.currentItem()->text(), "檔案已確認:陳雷,家後,國語,2.wav->刪除本檔");

    window.cmdReg_Click();
    EXPECT_EQ(window.labSongInfo.text(), "已完成2筆資料的登錄! ");
    EXPECT_EQ(count("SELECT * FROM song WHERE song_num = '102002' AND song_singer_code = " +
                    QString::number(jiang)),
              1);
    EXPECT_FALSE(QFileInfo::exists(media("陳雷,家後,國語,2.wav")));
    EXPECT_EQ(songs(), 2);
    EXPECT_EQ(lines(), QStringList({"檔案已登錄:江蕙,家後,國語,2.mp3"}));
}

TEST_P(RegByFilename, ADecisionTakenBeforeTheSingerWasAddedStillHolds) {
    add_test_song(*state, "102001", 1, "家後", jiang);
    make_file("伍佰,家後,國語,2.mp3");
    scan();
    select("家後");
    EXPECT_EQ(window.labSongInfo.text(), " 歌手資料尚未建立! 曲目於資料庫中有類似的! 請指定指令");
    decide([](reg_by_filename_Same& same) { same.cmdAddNew_Click(); });
    EXPECT_EQ(window.lstFileInfo.currentItem()->text(), "檔案需確認:伍佰,家後,國語,2.mp3");

    when_up<reg_by_filename_addSinger>([](reg_by_filename_addSinger& add) {
        add.singer_sex.setCurrentIndex(1);
        add.Command1_Click();
    });
    window.cmdAddSinger_Click();
    EXPECT_EQ(window.lstFileInfo.currentItem()->text(), "檔案已確認:伍佰,家後,國語,2.mp3->新增");
    window.cmdReg_Click();
    EXPECT_EQ(count("SELECT * FROM song WHERE song_num = '102002'"), 1);
}

TEST_P(RegByFilename, QuotesInNamesAndFoldersAreStoredIntact) {
    add_test_singer(*state, "O'Neil");
    QDir().mkpath(media("it's"));
    QFile file(media("it's/O'Neil,Don't Go,英語,8.mp3"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    dialogs.choose_file(media("it's/x"));
    window.cmdBrowse_Click();
    EXPECT_EQ(lines(), QStringList({"準備登錄:O'Neil,Don't Go,英語,8字部"}));
    window.cmdReg_Click();
    EXPECT_EQ(count("SELECT * FROM song WHERE song_name = 'Don''t Go' AND song_location = '" +
                    media("it''s/O''Neil,Don''t Go,英語,8.mp3") + "'"),
              1);
    EXPECT_EQ(lines(), QStringList({"檔案已登錄:O'Neil,Don't Go,英語,8.mp3"}));
}

TEST_P(RegByFilename, ManyFilesSpanSeveralTransactionsAndTakeTheLowestFreeNumbers) {
    add_test_song(*state, "002002", 0, "甲乙", jiang);
    window.files_per_transaction = 7;
    for (int i = 0; i < 30; ++i) make_file(QString("江蕙,歌%1,台語,2.mid").arg(QChar(0x4E00 + i)));
    scan();
    window.cmdReg_Click();
    EXPECT_EQ(window.labSongInfo.text(), "已完成30筆資料的登錄! ");
    EXPECT_EQ(songs(), 31);
    EXPECT_EQ(count("SELECT DISTINCT song_num FROM song"), 31);
    EXPECT_EQ(count("SELECT * FROM song WHERE song_num = '002001'"), 1);
    EXPECT_EQ(count("SELECT * FROM song WHERE song_num = '002031'"), 1);
}

TEST_P(RegByFilename, AFailureKeepsTheEarlierTransactionsAndEveryFileOfTheFailedOne) {
    const QString old_file = folder.file("old.mpg");  // outside the folder scanned
    QFile old(old_file);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    add_test_song(*state, "001001", 1, "七", jiang, old_file);
    if (GetParam() == CatalogueStore::File) {
        execute_sql(
            "CREATE TRIGGER full_disk BEFORE INSERT ON song WHEN NEW.song_name = '壞' "
            "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END",
            state->db_path);
    } else {
        execute_sql(
            "CREATE FUNCTION full_disk() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
            "IF NEW.song_name = '壞' THEN RAISE 'database or disk is full'; END IF; RETURN NEW; END $$",
            state->db_path);
        execute_sql(
            "CREATE TRIGGER full_disk BEFORE INSERT ON song FOR EACH ROW EXECUTE FUNCTION full_disk()",
            state->db_path);
    }
    window.files_per_transaction = 2;
    for (const char* title : {"一", "丁", "七", "壞"}) make_file(QString("江蕙,%1,國語,1.mp3").arg(title));
    scan();
    replace_first_similar_song("七");

    window.cmdReg_Click();
    EXPECT_EQ(dialogs.last_text(), "database or disk is full");
    EXPECT_EQ(count("SELECT * FROM song WHERE song_name IN ('一', '丁')"), 2);
    EXPECT_EQ(count("SELECT * FROM song WHERE song_num = '001001' AND song_location = '" + old_file + "'"),
              1);
    EXPECT_TRUE(QFileInfo::exists(old_file));  // its song was not replaced after all
    EXPECT_EQ(songs(), 3);
    EXPECT_TRUE(lines().contains("檔案已登錄:江蕙,一,國語,1.mp3"));
    EXPECT_TRUE(lines().contains("檔案需確認:江蕙,七,國語,1.mp3"));  // the rescan forgot the decision
}

TEST_P(RegByFilename, ACancelledOrMissingFolderScansNothing) {
    dialogs.choose_file("");
    window.cmdBrowse_Click();
    EXPECT_EQ(window.lstFileInfo.count(), 0);
    dialogs.choose_file(folder.path() + "gone/file.mp3");
    window.cmdBrowse_Click();
    EXPECT_EQ(dialogs.last_text(), "請確實指定路徑");
    window.cmdReg_Click();
    EXPECT_EQ(window.labSongInfo.text(), "已完成0筆資料的登錄! ");
}

TEST_P(RegByFilename, WithLoudnessTheRegisteredFilesAreMeasuredInTheBackground) {
    state->settings.Loudness = 1;
    const QString song = media("江蕙,家後,國語,2.mp3");
    make_loudness_clip(song, ClipFormat::Mp3, -20);
    const QString broken = make_file("江蕙,雨夜花,台語,3.mpg");
    scan();
    window.cmdReg_Click();
    ASSERT_EQ(songs(), 2);

    ASSERT_TRUE(measured_in_background(*state, song));
    const std::optional<double> gain = stored_playback_gain_db(shared_session(state->db_path), song);
    ASSERT_TRUE(gain);
    EXPECT_NEAR(*gain, 4, 1.5);                           // from about -20 LUFS up to -16
    EXPECT_TRUE(measured_in_background(*state, broken));  // remembered as undecodable
}

TEST_P(RegByFilename, WithoutLoudnessNothingIsMeasured) {
    make_file("江蕙,家後,國語,2.mp3");
    scan();
    window.cmdReg_Click();
    ASSERT_EQ(songs(), 1);
    EXPECT_FALSE(state->loudness_worker);
}

// The measurement writes from a connection of its own while the window
// stores its songs, one transaction per file: neither gives up because the
// other holds the catalogue.
TEST_P(RegByFilename, ARegistrationAndTheBackgroundMeasurementBothStoreTheirRows) {
    constexpr int kMeasured = 100;
    constexpr int kRegistered = 30;
    state->settings.Loudness = 1;
    auto held = std::make_shared<HeldMeasurement>();
    held->holding = false;
    auto worker = std::make_shared<BackgroundLoudness>(HeldMeasurement::meter(held));
    state->loudness_worker = worker;
    QDir().mkpath(folder.file("measured"));
    QStringList measured_files;
    for (int i = 0; i < kMeasured; ++i) {
        measured_files << folder.file(QString("measured/%1.mp3").arg(i));
        EXPECT_TRUE(QFile(measured_files.back()).open(QIODevice::WriteOnly));
    }
    for (int i = 0; i < kRegistered; ++i) make_file(QString("江蕙,%1,國語,1.mp3").arg(QChar(0x4E00 + i)));
    scan();
    window.files_per_transaction = 1;
    dialogs.clear();

    worker->measure_registered(state->db_path, measured_files);
    window.cmdReg_Click();
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(" | ").toStdString();
    EXPECT_EQ(window.labSongInfo.text(), QString("已完成%1筆資料的登錄! ").arg(kRegistered));
    EXPECT_EQ(songs(), kRegistered);
    EXPECT_TRUE(QTest::qWaitFor([&] { return worker->files_stored() == kMeasured + kRegistered; }, 20000));
    EXPECT_EQ(count("SELECT * FROM media_loudness"), kMeasured + kRegistered);
}

INSTANTIATE_TEST_SUITE_P(EveryStore, RegByFilename, every_store(), store_name);

}  // namespace
