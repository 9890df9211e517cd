#include "songbook/manager_song_statu.h"
#include "support/manager_fixture.h"

namespace {

class StatisticsTest : public ManagerTest, public ::testing::WithParamInterface<CatalogueStore> {
protected:
    StatisticsTest() : ManagerTest(GetParam()) {}

    QStringList block(const QString& total, const std::array<QString, 8>& kinds) {
        return {"目前您的系統中共有 " + total + " 首歌",
                "其中....",
                "台語類有 " + kinds[0] + " 首歌 ; 國語類有 " + kinds[1] + " 首歌",
                "客語類有 " + kinds[2] + " 首歌 ;英語類有 " + kinds[3] + " 首歌",
                "日語類有 " + kinds[4] + " 首歌 ; 兒類有 " + kinds[5] + " 首歌",
                "其它類有 " + kinds[6] + " 首歌",
                "粵語類有 " + kinds[7] + " 首歌"};
    }
};

TEST_P(StatisticsTest, AnEmptyCatalogueHasNoSongOfAnyKind) {
    manager_song_statu window(*state, nullptr);
    EXPECT_EQ(window.windowTitle(), "曲目狀況");
    EXPECT_EQ(window.Command1.text(), "離開");
    window.show();
    EXPECT_EQ(window.Picture1.lines(), block("0", {"0", "0", "0", "0", "0", "0", "0", "0"}));
}

TEST_P(StatisticsTest, SongsOfKindsOutsideTheEightCountInTheTotalOnly) {
    const int singer = add_test_singer(*state, "歌手");
    int serial = 0;
    for (int kind : {0, 1, 1, 3, 5, 5, 5, 7, 8, -1})
        add_test_song(*state, QString::number(100 + ++serial), kind, "歌", singer);
    manager_song_statu window(*state, nullptr);
    window.Form_Activate();
    EXPECT_EQ(window.Picture1.lines(), block("10", {"1", "2", "0", "1", "0", "3", "0", "1"}));
}

TEST_P(StatisticsTest, EveryActivationPrintsTheCountsAgainBelow) {
    const int singer = add_test_singer(*state, "歌手");
    add_test_song(*state, "101", 1, "歌", singer);
    manager_song_statu window(*state, nullptr);
    window.show();
    add_test_song(*state, "102", 1, "歌", singer);
    window.Form_Activate();
    EXPECT_EQ(window.Picture1.lines(), block("1", {"0", "1", "0", "0", "0", "0", "0", "0"}) +
                                           block("2", {"0", "2", "0", "0", "0", "0", "0", "0"}));
}

TEST_P(StatisticsTest, ScalesToSevenTenthsOfTheScreenWidthInKai) {
    state->screen_size = {1920, 1080};
    manager_song_statu window(*state, nullptr);
    EXPECT_NEAR(window.width(), 0.7 * 1920, 1);
    EXPECT_EQ(window.Picture1.font_spec().name, "標楷體");
    EXPECT_NEAR(window.Picture1.font_spec().size, 18 * 0.7 * 1920 * 15 / 7104, 0.01);
    EXPECT_EQ(window.Command1.font().family(), "標楷體");
}

TEST_P(StatisticsTest, TheTextAreaHoldsEveryLineOfTheCountsAboveTheButton) {
    for (const QSize screen : {QSize(1024, 768), QSize(1920, 1080)}) {
        state->screen_size = screen;
        manager_song_statu window(*state, nullptr);
        window.Form_Activate();
        EXPECT_LE(window.Picture1.current_y(), window.Picture1.scale_height());
        EXPECT_GE(window.Command1.y(), window.Picture1.geometry().bottom());
        EXPECT_TRUE(window.rect().contains(window.Command1.geometry()));
        EXPECT_LT(window.height(), screen.height());
    }
}

TEST_P(StatisticsTest, TheOnlyButtonClosesTheWindow) {
    manager_song_statu window(*state, nullptr);
    window.show();
    window.Command1.click();
    EXPECT_FALSE(window.isVisible());
}

INSTANTIATE_TEST_SUITE_P(EveryStore, StatisticsTest, every_store(), store_name);

}  // namespace
