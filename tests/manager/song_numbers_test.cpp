#include "foundation/catalogue.h"
#include "manager/song_numbers.h"
#include "support/manager_fixture.h"
#include "support/test_catalogue.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

class SongNumbers : public ::testing::TestWithParam<CatalogueStore> {
protected:
    void SetUp() override {
        if (GetParam() == CatalogueStore::Server && !use_catalogue_server(*state))
            GTEST_SKIP() << "no PostgreSQL server for the tests";
        prepare_catalogue(state->db_path);
        singer = add_test_singer(*state, "歌手");
    }
    void store(const QString& num) { add_test_song(*state, num, 0, "歌", singer); }

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
    int singer = 0;
};

TEST_P(SongNumbers, TheFirstSongOfAKindAndLengthGetsSerialOne) {
    EXPECT_EQ(Get_NewSongNum(0, 2, state->db_path), "002001");
    EXPECT_EQ(Get_NewSongNum(1, 5, state->db_path), "105001");
    EXPECT_EQ(Get_NewSongNum(7, 12, state->db_path), "712001");
}

TEST_P(SongNumbers, TheLowestFreeSerialIsProposed) {
    for (int serial = 1; serial <= 9; ++serial) store(QString("00200%1").arg(serial));
    EXPECT_EQ(Get_NewSongNum(0, 2, state->db_path), "002010");

    execute_sql("DELETE FROM song WHERE song_num = '002002'", state->db_path);
    EXPECT_EQ(Get_NewSongNum(0, 2, state->db_path), "002002");
}

TEST_P(SongNumbers, OtherKindsAndLengthsDoNotTakeSerials) {
    store("102001");
    store("012001");
    EXPECT_EQ(Get_NewSongNum(0, 2, state->db_path), "002001");
}

TEST_P(SongNumbers, SerialsGrowPastThreeDigitsAndStopAtTheHighestSerial) {
    execute_sql("BEGIN", state->db_path);
    for (int serial = 1; serial <= 999; ++serial) store("002" + QString("%1").arg(serial, 3, 10, QChar('0')));
    execute_sql("COMMIT", state->db_path);
    EXPECT_EQ(Get_NewSongNum(0, 2, state->db_path), "0021000");

    execute_sql("BEGIN", state->db_path);
    for (int serial = 1000; serial <= kHighestSongSerial; ++serial) store("002" + QString::number(serial));
    execute_sql("COMMIT", state->db_path);
    EXPECT_EQ(Get_NewSongNum(0, 2, state->db_path), "");
}

TEST_P(SongNumbers, LengthsOfThreeDigitsGiveThreeLengthDigits) {
    EXPECT_EQ(Get_NewSongNum(1, 100, state->db_path), "1100001");
}

TEST_P(SongNumbers, TheAllocatorHandsOutWhatGetNewSongNumWouldAfterEachStore) {
    store("002002");
    store("002004");
    SongNumberAllocator numbers(state->db_path);
    for (int i = 0; i < 4; ++i) {
        const QString expected = Get_NewSongNum(0, 2, state->db_path);
        EXPECT_EQ(numbers.next(0, 2), expected);
        store(expected);
    }
    EXPECT_EQ(numbers.next(0, 2), "002007");
    EXPECT_EQ(numbers.next(1, 2), "102001");
}

TEST_P(SongNumbers, TheAllocatorGivesNothingWhenTheSerialsRunOut) {
    execute_sql("BEGIN", state->db_path);
    for (int serial = 1; serial < kHighestSongSerial; ++serial)
        store("002" + QString("%1").arg(serial, 3, 10, QChar('0')));
    execute_sql("COMMIT", state->db_path);
    SongNumberAllocator numbers(state->db_path);
    EXPECT_EQ(numbers.next(0, 2), "00232767");
    EXPECT_EQ(numbers.next(0, 2), "");
}

INSTANTIATE_TEST_SUITE_P(EveryStore, SongNumbers, every_store(), store_name);

}  // namespace
