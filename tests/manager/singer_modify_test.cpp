#include "foundation/lookups.h"
#include "manager/singer_modify.h"
#include "catalogue_window_fixture.h"

#include <QKeyEvent>
#include <QTest>

namespace {

class SingerModify : public CatalogueWindowTest, public ::testing::WithParamInterface<CatalogueStore> {
protected:
    SingerModify() : CatalogueWindowTest(GetParam()) {}
    QStringList singers() const {
        return rows("SELECT * FROM singer ORDER BY singer_code", {"singer_name", "singer_sex"});
    }
    // Types a name, picks a category (or none with -1) and presses "新增".
    void add(const QString& name, int sex) {
        window.singer_name.setText(name);
        window.singer_sex.setCurrentIndex(sex);
        window.singer_insert_Click();
    }
    // Picks a singer through "找" as the manager would: the typed text, then
    // a double-click on the name in the list.
    void pick_through_search(const QString& typed, const QString& name) {
        window.singer_name.setText(typed);
        when_up<singer_modify_check_singer>([name](singer_modify_check_singer& list) { pick(list, name); });
        window.singer_search_Click();
    }

    singer_modify window{*state, nullptr};
};

TEST_P(SingerModify, ShowsItsCaptionsAndNamesItsFieldsByThem) {
    EXPECT_EQ(window.windowTitle(), "歌手資料管理");
    EXPECT_EQ(window.Label2.text(), "歌手名稱");
    EXPECT_EQ(window.Label2.buddy(), &window.singer_name);
    EXPECT_EQ(window.Label3.text(), "歌手性別");
    EXPECT_EQ(window.Label3.buddy(), &window.singer_sex);
    EXPECT_EQ(window.singer_sex.currentIndex(), -1);
    QStringList items;
    for (int i = 0; i < window.singer_sex.count(); ++i) items << window.singer_sex.itemText(i);
    EXPECT_EQ(items, QStringList({"0.女", "1.男", "2.團體或其他"}));
    EXPECT_EQ(window.width(), qRound(0.4 * state->screen_size.width()));
}

TEST_P(SingerModify, AddingWantsACategoryAndANameAndStoresTheNameTrimmed) {
    add("江蕙", -1);
    add("   ", 0);
    EXPECT_EQ(dialogs.texts(), QStringList({"請選好歌手性別", "請輸入合法的歌手名"}));
    EXPECT_TRUE(singers().isEmpty());

    add(" 江蕙 ", 0);
    add("五月天", 2);
    EXPECT_EQ(dialogs.last_text(), "新增歌手資料,五月天,完成");
    EXPECT_EQ(dialogs.texts().at(2), "新增歌手資料, 江蕙 ,完成");
    EXPECT_EQ(singers(), QStringList({"江蕙/0", "五月天/2"}));
}

TEST_P(SingerModify, AddingANameThatIsStoredAlreadyIsRefusedAlsoWithBlanksAround) {
    add_test_singer(*state, "江蕙", 0);
    add_test_singer(*state, "O'Neal", 1);
    add("江蕙", 1);
    add("  江蕙", 1);
    add("O'Neal", 1);
    EXPECT_EQ(dialogs.texts(), QStringList(3, "歌手名有重覆, 請修正後再執行\"新增\"功能"));
    EXPECT_EQ(singers(), QStringList({"江蕙/0", "O'Neal/1"}));
}

TEST_P(SingerModify, ChangingOrDeletingBeforeAnyPickAsksForThePickFirst) {
    add_test_singer(*state, "江蕙", 0);
    window.singer_name.setText("江蕙");
    window.singer_sex.setCurrentIndex(1);
    window.singer_modify_do_Click();
    window.delete_do_Click();
    EXPECT_EQ(dialogs.texts(), QStringList(2, "請先按\"找\"鍵來確定輸入的歌手名稱"));
    EXPECT_EQ(singers(), QStringList({"江蕙/0"}));
}

TEST_P(SingerModify, APickFillsNameCategoryAndCodeAndRenamesThatSinger) {
    add_test_singer(*state, "江蕙", 0);
    const int picked = add_test_singer(*state, "伍佰", 1);
    pick_through_search("伍", "伍佰");
    EXPECT_EQ(window.singer_name.text(), "伍佰");
    EXPECT_EQ(window.singer_sex.currentText(), "1.男");
    EXPECT_EQ(window.singer_code, picked);

    // Another singer's name is no obstacle; the name is stored trimmed.
    window.singer_name.setText(" 江蕙 ");
    window.singer_sex.setCurrentIndex(2);
    window.singer_modify_do_Click();
    EXPECT_EQ(dialogs.last_text(), "修歌手資料, 江蕙 ,完成");
    EXPECT_EQ(singers(), QStringList({"江蕙/0", "江蕙/2"}));

    // The pick stays in force for further changes.
    window.singer_name.setText("伍佰 & China Blue");
    window.singer_modify_do_Click();
    EXPECT_EQ(singers(), QStringList({"江蕙/0", "伍佰 & China Blue/2"}));
}

TEST_P(SingerModify, ChangingRefusesAnEmptyNameAndAMissingCategory) {
    // A category outside the list's three leaves the list without a choice.
    const int odd = add_test_singer(*state, "怪團", 7);
    pick_through_search("", "怪團");
    EXPECT_EQ(window.singer_code, odd);
    EXPECT_EQ(window.singer_sex.currentIndex(), -1);
    window.singer_modify_do_Click();
    window.singer_sex.setCurrentIndex(2);
    window.singer_name.setText("  ");
    window.singer_modify_do_Click();
    EXPECT_EQ(dialogs.texts(), QStringList({"請選好歌手性別", "請輸入合法的歌手名"}));
    EXPECT_EQ(singers(), QStringList({"怪團/7"}));
}

TEST_P(SingerModify, DeletingAsksThenRemovesTheSingerAndLeavesItsSongs) {
    const int singer = add_test_singer(*state, "江蕙", 0);
    add_test_song(*state, "002001", 0, "家後", singer);
    pick_through_search("江", "江蕙");

    dialogs.answer_no();
    window.delete_do_Click();
    EXPECT_EQ(dialogs.last_text(), "請問是否真的要幹掉江蕙這筆資料?");
    EXPECT_EQ(singers(), QStringList({"江蕙/0"}));

    dialogs.answer_yes();
    window.delete_do_Click();
    EXPECT_EQ(dialogs.last_text(), "刪除歌手資料,江蕙,完成");
    EXPECT_TRUE(singers().isEmpty());
    EXPECT_EQ(window.singer_name.text(), "");
    EXPECT_EQ(window.singer_code, singer);
    EXPECT_EQ(rows("SELECT * FROM song", {"song_num", "song_singer_code"}),
              QStringList({"002001/" + QString::number(singer)}));
    EXPECT_EQ(get_singer_name(*state, singer), "找不到");

    // The code still names the deleted singer.
    window.delete_do_Click();
    window.singer_modify_do_Click();
    EXPECT_EQ(dialogs.texts().mid(3), QStringList(2, "請先按\"找\"鍵來確定輸入的歌手名稱"));
    EXPECT_TRUE(dialogs.script_used_up());
}

TEST_P(SingerModify, TheChoiceListShowsTheSingersWhoseNamesBeginWithTheTypedText) {
    add_test_singer(*state, "江蕙", 0);
    add_test_singer(*state, "蔡江", 1);
    add_test_singer(*state, "江淑娜", 0);
    const auto listed_for = [this](const QString& typed) {
        window.singer_name.setText(typed);
        singer_modify_check_singer list(*state, window);
        list.Form_Activate();
        EXPECT_EQ(list.windowTitle(), "選擇歌手名");
        return lines_of(list);
    };
    EXPECT_EQ(listed_for(""), QStringList({"江蕙", "蔡江", "江淑娜"}));
    EXPECT_EQ(listed_for(" 江 "), QStringList({"江蕙", "江淑娜"}));
    EXPECT_TRUE(listed_for(" 林").isEmpty());
    EXPECT_EQ(dialogs.texts(), QStringList({"找無 \" 林\" 字串的相關資料"}));
}

TEST_P(SingerModify, TheChoiceListTakesEnterOnASelectionAndIgnoresClicksWithoutOne) {
    add_test_singer(*state, "江蕙", 0);
    const int chosen = add_test_singer(*state, "江淑娜", 0);
    singer_modify_check_singer list(*state, window);
    list.Form_Activate();
    list.List1.setCurrentRow(-1);
    list.List1_DblClick();
    EXPECT_EQ(window.singer_code, 0);

    list.List1.setCurrentRow(1);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(&list.List1, &enter);
    EXPECT_EQ(window.singer_code, chosen);
    EXPECT_EQ(window.singer_name.text(), "江淑娜");
    EXPECT_EQ(window.singer_sex.currentText(), "0.女");
}

TEST_P(SingerModify, EnterInTheNameFieldOpensTheChoiceList) {
    const int picked = add_test_singer(*state, "伍佰", 1);
    window.show();
    window.singer_name.setText("伍");
    when_up<singer_modify_check_singer>([](singer_modify_check_singer& list) { pick(list, "伍佰"); });
    QTest::keyClick(&window.singer_name, Qt::Key_Return);
    EXPECT_EQ(window.singer_code, picked);
}

TEST_P(SingerModify, ASearchWithNoMatchShowsNoList) {
    window.singer_name.setText("無人");
    window.singer_search_Click();  // returns: the list closed itself
    EXPECT_EQ(dialogs.texts(), QStringList({"找無 \"無人\" 字串的相關資料"}));
}

TEST_P(SingerModify, TheChoiceListKeepsTwoThousandAndOneSingersAndSaysSo) {
    add_many_singers("歌手", singer_modify_check_singer::kCapacity + 1);
    singer_modify_check_singer list(*state, window);
    list.Form_Activate();
    const QStringList lines = lines_of(list);
    ASSERT_EQ(lines.size(), singer_modify_check_singer::kCapacity + 1);
    EXPECT_EQ(lines.at(2000), "歌手2001");
    EXPECT_EQ(lines.back(), "只列出前2001筆");

    list.List1.setCurrentRow(lines.size() - 1);
    list.List1_DblClick();
    EXPECT_EQ(window.singer_code, 0);
    EXPECT_TRUE(list.List1.count() > 0);
}

INSTANTIATE_TEST_SUITE_P(EveryStore, SingerModify, every_store(), store_name);

}  // namespace
