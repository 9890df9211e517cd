// Another program (the sqlite3 tool, a backup) may hold the catalogue while
// guests order: the menu must go on and say what is wrong.
#include "main_menu_fixture.h"

#include <sqlite3.h>

namespace {

class LockedCatalogueTest : public MainMenuTest {
protected:
    void SetUp() override {
        add_songs(2);
        open_menu();
        ASSERT_EQ(sqlite3_open(state->db_path.toUtf8().constData(), &other_program), SQLITE_OK);
    }
    void TearDown() override { sqlite3_close(other_program); }
    void other_program_runs(const char* sql) {
        ASSERT_EQ(sqlite3_exec(other_program, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    }

    sqlite3* other_program = nullptr;
};

TEST_F(LockedCatalogueTest, OrderingGoesOnWhileAnotherProgramIsAboutToWrite) {
    other_program_runs("BEGIN IMMEDIATE; UPDATE song SET song_kind = 2");
    press("3");
    press("1000001E");
    EXPECT_EQ(state->play_queue.size(), 1);
    EXPECT_EQ(label1(), "歌1");
    other_program_runs("ROLLBACK");
}

TEST_F(LockedCatalogueTest, ALockedCatalogueIsReportedAndTheQueueKept) {
    press("3");
    press("1000001E");
    other_program_runs("BEGIN EXCLUSIVE");
    press("1000002E");
    EXPECT_EQ(label1(), "database is locked");
    EXPECT_EQ(state->play_queue.size(), 1);
    EXPECT_EQ(menu->screen_name(), "3");

    other_program_runs("COMMIT");
    press("1000002E");
    EXPECT_EQ(state->play_queue.size(), 2);
    EXPECT_EQ(state->play_queue.display_at(1), "歌2--江蕙");
}

}  // namespace
