#include "manager/singer_add.h"
#include "manager/song_add.h"
#include "manager/song_add_check_singer_name.h"
#include "manager/song_add_same.h"
#include "support/background_loudness.h"
#include "support/manager_fixture.h"
#include "widgets/manager_forms.h"

#include <QTest>

namespace {

class SongAddTest : public ManagerTest, public ::testing::WithParamInterface<CatalogueStore> {
protected:
    SongAddTest() : ManagerTest(GetParam()) {}
    // Picks an item the way the manager does, then leaves the list.
    static void pick(QComboBox& list, int index) {
        list.setCurrentIndex(index);
        emit list.activated(index);
    }
    void pick_kind_and_count(int kind, int count) {
        pick(window->song_kind, kind);
        window->song_kind_LostFocus();
        pick(window->song_text_count, count - 1);
        window->song_text_count_LostFocus();
    }
    // Everything a song needs, ready for "存".
    void fill_in(int kind, const QString& title, const QString& singer) {
        pick_kind_and_count(kind, title.size());
        window->song_name.setText(title);
        window->singer_name.setText(singer);
        window->song_location.setText(song_file);
    }

    struct StoredRow {
        QString num;
        int kind;
        QString name;
        int text_count;
        int singer_code;
        QString build_date;
        QString location;
    };
    StoredRow stored(const QString& num) const {
        const Recordset row =
            open_recordset("SELECT * FROM song WHERE song_num = '" + num + "'", state->db_path);
        EXPECT_EQ(row.RecordCount(), 1) << num.toStdString();
        if (row.Eof()) return {};
        return {
            row.Field("song_num"),           row.FieldInt("song_kind"),        row.Field("song_name"),
            row.FieldInt("song_text_count"), row.FieldInt("song_singer_code"), row.Field("song_build_date"),
            row.Field("song_location")};
    }

    int singer = add_test_singer(*state, "鄧麗君");
    QString song_file = media_file("月亮.mpg");
    std::unique_ptr<Song_Add> window = std::make_unique<Song_Add>(*state, nullptr);
};

TEST_P(SongAddTest, OpensWithTodayEmptyListsAndEveryFieldNamedByItsCaption) {
    EXPECT_EQ(window->windowTitle(), "新增歌曲");
    QStringList kinds;
    for (int i = 0; i < window->song_kind.count(); ++i) kinds << window->song_kind.itemText(i);
    EXPECT_EQ(kinds,
              QStringList({"0.台語", "1.國語", "2.客語", "3.英語", "4.日語", "5.兒歌", "6.其它", "7.粵語"}));
    ASSERT_EQ(window->song_text_count.count(), 30);
    EXPECT_EQ(window->song_text_count.itemText(0), "1");
    EXPECT_EQ(window->song_text_count.itemText(29), "30");
    EXPECT_EQ(window->song_kind.currentIndex(), -1);
    EXPECT_EQ(window->song_text_count.currentIndex(), -1);
    EXPECT_EQ(window->song_build_date.text(), today_text());
    EXPECT_EQ(window->lb_date_struct.text(), "YYYY/MM/DD\nex:今天就設成:" + today_text());
    EXPECT_TRUE(window->song_code.isReadOnly());
    EXPECT_NEAR(window->width(), 0.7 * 1024, 1);

    const std::vector<std::pair<QLabel*, QWidget*>> captions{
        {&window->Label1, &window->song_kind},       {&window->Label2, &window->song_text_count},
        {&window->lb_song_code, &window->song_code}, {&window->Label3, &window->song_build_date},
        {&window->Label4, &window->song_name},       {&window->Label5, &window->singer_name},
        {&window->Label6, &window->song_location}};
    QStringList names;
    for (const auto& [label, field] : captions) {
        EXPECT_EQ(label->buddy(), field);
        names << field->accessibleName();
    }
    EXPECT_EQ(names,
              QStringList({"曲目種類", "字數", "曲目編號", "建檔日期", "曲目名", "演唱者", "檔案位置"}));
    EXPECT_EQ(window->check_singr_name.text(), "選擇");
    EXPECT_EQ(window->Command1.text(), "瀏覽");
    EXPECT_EQ(window->add_do.text(), "存");
    EXPECT_EQ(window->forget_it.text(), "算了");
    EXPECT_TRUE(window->add_do.isDefault());
}

TEST_P(SongAddTest, TabGoesThroughTheFieldsInOrderAndArrowsChangeAList) {
    std::vector<QWidget*> order;
    QWidget* widget = &window->song_kind;
    do {
        if (widget->focusPolicy() & Qt::TabFocus) order.push_back(widget);
        widget = widget->nextInFocusChain();
    } while (widget != &window->song_kind && order.size() < 20);
    EXPECT_EQ(order,
              (std::vector<QWidget*>{&window->song_kind, &window->song_text_count, &window->song_code,
                                     &window->song_build_date, &window->song_name, &window->singer_name,
                                     &window->check_singr_name, &window->song_location, &window->Command1,
                                     &window->add_do, &window->forget_it}));

    window->song_kind.setCurrentIndex(0);
    QTest::keyClick(&window->song_kind, Qt::Key_Down);
    EXPECT_EQ(window->song_kind.currentIndex(), 1);
    EXPECT_TRUE(window->song_kind_changed);
}

TEST_P(SongAddTest, TheNumberIsProposedOnceBothListsArePicked) {
    pick(window->song_kind, 0);
    window->song_kind_LostFocus();
    EXPECT_TRUE(window->song_code.text().isEmpty());
    EXPECT_FALSE(window->song_code.isEnabled());
    EXPECT_FALSE(window->lb_song_code.isEnabled());

    pick(window->song_text_count, 1);
    window->song_text_count_LostFocus();
    EXPECT_EQ(window->song_code.text(), "002001");
    EXPECT_TRUE(window->song_code.isEnabled());
    EXPECT_TRUE(window->lb_song_code.isEnabled());
}

TEST_P(SongAddTest, TheLowestFreeSerialIsProposed) {
    for (int serial = 1; serial <= 9; ++serial)
        add_test_song(*state, "00200" + QString::number(serial), 0, "歌", singer);
    pick_kind_and_count(0, 2);
    EXPECT_EQ(window->song_code.text(), "002010");

    execute_sql("DELETE FROM song WHERE song_num <> '002001' AND song_num <> '002003'", state->db_path);
    pick_kind_and_count(0, 2);
    EXPECT_EQ(window->song_code.text(), "002002");
}

TEST_P(SongAddTest, AKindAndLengthWithoutAFreeSerialIsReportedInsteadOfANumber) {
    execute_sql("BEGIN", state->db_path);
    for (int serial = 1; serial <= 32767; ++serial)
        add_test_song(*state, "001" + QString("%1").arg(serial, 3, 10, QChar('0')), 0, "歌", singer);
    execute_sql("COMMIT", state->db_path);
    pick_kind_and_count(0, 1);
    EXPECT_TRUE(window->song_code.text().isEmpty());
    EXPECT_EQ(dialogs.last_text(), "這一類這個字數的曲目編號已經用完了");
}

TEST_P(SongAddTest, ACatalogueErrorWhileProposingIsShownAndLeavesNoNumber) {
    pick_kind_and_count(0, 2);
    EXPECT_EQ(window->song_code.text(), "002001");
    lose_catalogue();
    pick(window->song_text_count, 2);
    EXPECT_TRUE(window->song_code.text().isEmpty());
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].kind, "notice");
}

TEST_P(SongAddTest, SavingStoresEveryFieldAndMakesReadyForTheNextSong) {
    fill_in(1, "月亮代表我的心", "鄧麗君");
    window->song_build_date.setText("2024/5/7");
    window->add_do.click();

    EXPECT_EQ(dialogs.texts(), QStringList{"存入ok! 請進行下一首曲的建檔作業"});
    const StoredRow row = stored("107001");
    EXPECT_EQ(row.kind, 1);
    EXPECT_EQ(row.name, "月亮代表我的心");
    EXPECT_EQ(row.text_count, 7);
    EXPECT_EQ(row.singer_code, singer);
    EXPECT_EQ(row.build_date, "2024/05/07");
    EXPECT_EQ(row.location, song_file);

    // Ready for the next song: no choice in the lists, today, no title; the
    // number, singer and file stay.
    EXPECT_EQ(window->song_kind.currentIndex(), -1);
    EXPECT_EQ(window->song_text_count.currentIndex(), -1);
    EXPECT_EQ(window->song_kind.count(), 8);
    EXPECT_EQ(window->song_text_count.count(), 30);
    EXPECT_FALSE(window->song_kind_changed);
    EXPECT_FALSE(window->song_text_count_changed);
    EXPECT_EQ(window->song_build_date.text(), today_text());
    EXPECT_TRUE(window->song_name.text().isEmpty());
    EXPECT_EQ(window->song_code.text(), "107001");
    EXPECT_EQ(window->singer_name.text(), "鄧麗君");
    EXPECT_EQ(window->song_location.text(), song_file);
    EXPECT_NEAR(window->width(), 0.7 * 1024, 1);  // the reset does not scale again

    // Saving again before picking the lists stores nothing.
    window->song_name.setText("甜蜜蜜");
    window->add_do.click();
    EXPECT_EQ(dialogs.last_text(), "請選好曲目種類及字數");
    EXPECT_EQ(count_of("SELECT * FROM song"), 1);
}

TEST_P(SongAddTest, WithLoudnessTheStoredSongsFileIsMeasuredInTheBackground) {
    state->settings.Loudness = 1;
    fill_in(1, "月亮代表我的心", "鄧麗君");
    window->add_do.click();
    ASSERT_EQ(dialogs.texts(), QStringList{"存入ok! 請進行下一首曲的建檔作業"});
    EXPECT_TRUE(measured_in_background(*state, song_file));
}

TEST_P(SongAddTest, EachCheckStopsTheSaveWithItsMessageAndKeepsTheFields) {
    fill_in(0, "望春風", "鄧麗君");
    window->song_build_date.setText("2024/13/40");
    window->add_do.click();
    window->song_build_date.setText("2024/02/29");
    window->song_name.clear();
    window->add_do.click();
    window->song_name.setText("望春風");
    window->song_location.setText(folder.file("沒有這個檔.mpg"));
    window->add_do.click();
    window->song_location.setText(folder.path());  // a folder is no media file
    window->add_do.click();

    EXPECT_EQ(dialogs.texts(), QStringList({"請指定好日期", "請輸入正確的曲目名", "您所指定的檔案並不存在ㄛ!",
                                            "您所指定的檔案並不存在ㄛ!"}));
    EXPECT_EQ(count_of("SELECT * FROM song"), 0);
    EXPECT_EQ(window->song_code.text(), "003001");
    EXPECT_EQ(window->song_kind.currentIndex(), 0);
}

TEST_P(SongAddTest, ATitleWithASingleQuoteIsStoredIntact) {
    fill_in(3, "Don't", "Ann's Band");
    window->song_location.setText(media_file("it's.mpg"));
    when_up<singer_add>([](singer_add& singer_window) {
        singer_window.singer_sex.setCurrentIndex(2);
        singer_window.Command1.click();
    });
    window->add_do.click();

    const StoredRow row = stored("305001");
    EXPECT_EQ(row.name, "Don't");
    EXPECT_EQ(row.location, folder.file("it's.mpg"));
    EXPECT_EQ(count_of("SELECT * FROM singer WHERE singer_name = 'Ann''s Band' AND singer_sex = 2"), 1);
}

TEST_P(SongAddTest, EnterInTheFileFieldSavesOnlyWhenItIsNotEmpty) {
    fill_in(0, "望春風", "鄧麗君");
    window->song_location.clear();
    QTest::keyClick(&window->song_location, Qt::Key_Return);
    EXPECT_TRUE(dialogs.shown().empty());

    window->song_location.setText(song_file);
    QTest::keyClick(&window->song_location, Qt::Key_Return);
    EXPECT_EQ(dialogs.texts(), QStringList{"存入ok! 請進行下一首曲的建檔作業"});
    EXPECT_EQ(count_of("SELECT * FROM song WHERE song_num = '003001'"), 1);
}

TEST_P(SongAddTest, BrowsingPutsTheChosenFileIntoTheField) {
    dialogs.choose_file(song_file);
    window->Command1.click();
    EXPECT_EQ(window->song_location.text(), song_file);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].kind, "open_file");
    EXPECT_TRUE(dialogs.shown()[0].filters.isEmpty());

    dialogs.choose_file("");  // cancelled
    window->Command1.click();
    EXPECT_EQ(window->song_location.text(), song_file);
}

TEST_P(SongAddTest, ANewSingerIsRegisteredOnTheWayWithTheTypedName) {
    fill_in(1, "吻別", "  張學友 ");
    QString name_shown;
    when_up<singer_add>([&](singer_add& singer_window) {
        name_shown = singer_window.singer_name.text();
        singer_window.singer_sex.setCurrentIndex(1);
        singer_window.Command1.click();
    });
    window->add_do.click();

    EXPECT_EQ(name_shown, "張學友");
    const Recordset new_singer =
        open_recordset("SELECT * FROM singer WHERE singer_name = '張學友'", state->db_path);
    ASSERT_EQ(new_singer.RecordCount(), 1);
    EXPECT_EQ(new_singer.FieldInt("singer_sex"), 1);
    EXPECT_EQ(stored("102001").singer_code, new_singer.FieldInt("singer_code"));
}

TEST_P(SongAddTest, ANameCorrectedToAStoredSingerAndConfirmedAddsNoSecondSinger) {
    fill_in(1, "小城故事", "鄧利君");
    when_up<singer_add>([this](singer_add& singer_window) {
        singer_window.singer_name.setText("鄧麗君 ");
        dialogs.answer_yes();
        singer_window.Command1.click();
    });
    window->add_do.click();

    EXPECT_EQ(dialogs.texts().first(),
              "您所修正後的歌手名稱在資料庫中已經有同名的人了! 請問這是不是本來您所要輸入的歌手名?");
    EXPECT_EQ(count_of("SELECT * FROM singer"), 1);
    EXPECT_EQ(window->singer_name.text(), "鄧麗君");
    EXPECT_EQ(stored("104001").singer_code, singer);
}

TEST_P(SongAddTest, ClosingTheSingerWindowStoresNothing) {
    fill_in(1, "小城故事", "無名氏");
    when_up<singer_add>([](singer_add& singer_window) { singer_window.close(); });
    window->add_do.click();
    EXPECT_EQ(dialogs.texts(), QStringList{"歌手沒有登錄, 這首歌沒有存入"});
    EXPECT_EQ(count_of("SELECT * FROM song"), 0);
    EXPECT_EQ(count_of("SELECT * FROM singer"), 1);
    EXPECT_EQ(window->song_name.text(), "小城故事");  // nothing reset: the manager may try again
}

TEST_P(SongAddTest, ASimilarStoredTitleGoesToTheSimilarTitleWindowInstead) {
    add_song_of_length("002001", 0, "愛你", 2, singer);
    NewSong handed_over;
    when_up<song_add_same>([&](song_add_same& same) {
        handed_over.number = same.new_song_number();
        handed_over.title_shown = same.new_song_name.text();
        same.close();
    });
    fill_in(0, "愛你", "鄧麗君");
    window->add_do.click();

    EXPECT_EQ(dialogs.texts(), QStringList{"愛你與編號002001,鄧麗君,類似曲名. 請修改或取消登錄!!"});
    EXPECT_EQ(window->New_Song_Code, "002002");
    EXPECT_EQ(window->New_Song_Singer_Code, singer);
    EXPECT_EQ(handed_over.number, "002002");
    EXPECT_EQ(handed_over.title_shown, "愛你");
    EXPECT_EQ(count_of("SELECT * FROM song"), 1);
    // Reset after the similar-title window, whatever happened there.
    EXPECT_TRUE(window->song_name.text().isEmpty());
    EXPECT_EQ(window->song_kind.currentIndex(), -1);
}

TEST_P(SongAddTest, SimilarMeansBeginningWithTheTitleAtTheSameLength) {
    const auto is_similar_to = [this](const QString& stored_title, int stored_count) {
        execute_sql("DELETE FROM song", state->db_path);
        add_song_of_length("099001", 0, stored_title, stored_count, singer);
        dialogs.clear();
        bool similar_window_up = false;
        QTimer::singleShot(0, qApp, [&similar_window_up] {
            if (auto* same = qobject_cast<song_add_same*>(QApplication::activeModalWidget())) {
                similar_window_up = true;
                same->close();
            }
        });
        fill_in(0, "愛你", "鄧麗君");
        window->add_do.click();
        QApplication::processEvents();  // the check, when no window came up
        return similar_window_up;
    };
    EXPECT_TRUE(is_similar_to("愛你", 2));
    EXPECT_TRUE(is_similar_to("愛你啊", 2));
    EXPECT_FALSE(is_similar_to("愛你一萬年", 5));
    EXPECT_FALSE(is_similar_to("愛你", 3));
}

TEST_P(SongAddTest, TheSingerChoiceListsTheNamesBeginningWithTheTypedText) {
    add_test_singer(*state, "張學友");
    add_test_singer(*state, "張惠妹");
    add_test_singer(*state, "周杰倫");

    QLineEdit typed;
    song_add_check_singer_name everyone(*state, nullptr, typed);
    everyone.Form_Activate();
    EXPECT_EQ(everyone.windowTitle(), "選擇歌手名");
    EXPECT_EQ(everyone.List1.count(), 4);

    typed.setText(" 張");
    song_add_check_singer_name some(*state, nullptr, typed);
    some.Form_Activate();
    ASSERT_EQ(some.List1.count(), 2);
    EXPECT_EQ(some.List1.item(1)->text(), "張惠妹");
    some.List1.setCurrentRow(1);
    some.List1_KeyPress(13);
    EXPECT_EQ(typed.text(), "張惠妹");
    EXPECT_EQ(some.result(), QDialog::Accepted);
}

TEST_P(SongAddTest, TheSingerChoiceTakesADoubleClickedNameIntoTheSongWindow) {
    add_test_singer(*state, "張學友");
    window->singer_name.setText("張");
    when_up<song_add_check_singer_name>([](song_add_check_singer_name& choice) {
        choice.Form_Activate();
        choice.List1.setCurrentRow(0);
        emit choice.List1.itemDoubleClicked(choice.List1.item(0));
    });
    window->check_singr_name.click();
    EXPECT_EQ(window->singer_name.text(), "張學友");
}

TEST_P(SongAddTest, TheSingerChoiceSaysSoWhenNoNameBeginsWithTheText) {
    window->singer_name.setText("林 ");
    when_up<song_add_check_singer_name>([](song_add_check_singer_name& choice) { choice.Form_Activate(); });
    window->check_singr_name.click();  // returns: the window closed itself
    EXPECT_EQ(dialogs.texts(), QStringList{"找無 \"林 \" 字串的相關資料"});
    EXPECT_EQ(window->singer_name.text(), "林 ");
}

class SingerAddTest : public ManagerTest, public ::testing::WithParamInterface<CatalogueStore> {
protected:
    SingerAddTest() : ManagerTest(GetParam()) {}

    QString written_back;
    singer_add window{*state, nullptr, [this](const QString& name) { written_back = name; }};
};

TEST_P(SingerAddTest, ShowsItsFieldsByTheirCaptionsAtThreeTenthsOfTheScreen) {
    EXPECT_EQ(window.windowTitle(), "歌手新增");
    EXPECT_EQ(window.singer_name.accessibleName(), "歌手名稱");
    EXPECT_EQ(window.singer_sex.accessibleName(), "歌手性別");
    EXPECT_EQ(window.Label2.buddy(), &window.singer_name);
    EXPECT_EQ(window.Label3.buddy(), &window.singer_sex);
    ASSERT_EQ(window.singer_sex.count(), 3);
    EXPECT_EQ(window.singer_sex.itemText(2), "2.團體或其他");
    EXPECT_EQ(window.Command1.text(), "ok!");
    EXPECT_TRUE(window.Command1.isDefault());
    EXPECT_EQ(window.size(), QSize(qRound(0.3 * 1024), qRound(0.3 * 768)));
    for (QWidget* control :
         {static_cast<QWidget*>(&window.singer_name), static_cast<QWidget*>(&window.Command1)})
        EXPECT_TRUE(window.rect().contains(control->geometry()));
}

TEST_P(SingerAddTest, StoresNothingWithoutANameOrACategory) {
    window.Command1.click();
    window.singer_name.setText("伍佰");
    window.Command1.click();
    EXPECT_EQ(dialogs.texts(), QStringList({"請輸入歌手名稱", "請選好歌手性別"}));
    EXPECT_EQ(count_of("SELECT * FROM singer"), 0);
    EXPECT_EQ(window.result(), 0);

    window.singer_sex.setCurrentIndex(1);
    window.Command1.click();
    EXPECT_EQ(count_of("SELECT * FROM singer WHERE singer_name = '伍佰' AND singer_sex = 1"), 1);
    EXPECT_EQ(written_back, "伍佰");
    EXPECT_EQ(window.result(), QDialog::Accepted);
}

TEST_P(SingerAddTest, NoToTheSameNameQuestionLeavesTheWindowOpenForAnotherName) {
    add_test_singer(*state, "伍佰");
    window.singer_name.setText("伍佰");
    dialogs.answer_no();
    window.Command1.click();
    EXPECT_EQ(window.result(), 0);
    EXPECT_EQ(written_back, "伍佰");

    window.singer_name.setText("伍佰樂團");
    window.singer_sex.setCurrentIndex(2);
    window.Command1.click();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(written_back, "伍佰樂團");
    EXPECT_EQ(count_of("SELECT * FROM singer"), 2);
}

INSTANTIATE_TEST_SUITE_P(EveryStore, SongAddTest, every_store(), store_name);
INSTANTIATE_TEST_SUITE_P(EveryStore, SingerAddTest, every_store(), store_name);

}  // namespace
