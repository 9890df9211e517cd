#include "foundation/catalogue.h"
#include "foundation/song_orders.h"
#include "foundation/startup.h"
#include "support/postgres_server.h"
#include "support/test_catalogue.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class StartupTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
};

TEST_F(StartupTest, FirstStartCreatesSettingsRecordingFolderAndCatalogue) {
    state->app_folder.clear();
    state->db_path.clear();
    init_system(*state);

    EXPECT_EQ(state->app_folder, folder.path());
    EXPECT_EQ(state->db_path, folder.file("karaoke.db"));
    EXPECT_EQ(state->twips_per_pixel, 15);
    EXPECT_EQ(state->lines_per_page, 8);
    EXPECT_EQ(state->kind_names[0], "台語");
    EXPECT_EQ(state->kind_names[7], "粵語");
    EXPECT_EQ(state->sound_channel_names[1], "中");
    EXPECT_EQ(state->sound_channel_names[2], "左");
    EXPECT_EQ(state->sound_channel_names[3], "右");

    QFile settings(folder.file("Setting.ini"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_EQ(settings.readAll().count("\r\n"), 66);
    EXPECT_TRUE(QDir(folder.file("Record")).exists());
    EXPECT_EQ(state->settings.RecordPath, folder.file("Record"));
    EXPECT_EQ(open_recordset("SELECT * FROM song", state->db_path).RecordCount(), 0);
}

TEST_F(StartupTest, SecondStartChangesNothing) {
    init_system(*state);
    const int singer = add_test_singer(*state, "江蕙");
    add_test_song(*state, "105001", 1, "家後", singer);
    const qint64 settings_size = QFileInfo(folder.file("Setting.ini")).size();

    init_system(*state);

    EXPECT_EQ(QFileInfo(folder.file("Setting.ini")).size(), settings_size);
    EXPECT_EQ(open_recordset("SELECT * FROM song", state->db_path).RecordCount(), 1);
}

TEST_F(StartupTest, ACatalogueServerLineMakesTheServerTheCatalogueAndNoFileIsMade) {
    PostgresServer* server = PostgresServer::shared();
    if (!server) GTEST_SKIP() << "no PostgreSQL server for the tests";
    const QString uri = server->new_database();
    QFile settings(folder.file("Setting.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write(("CatalogueServer = " + uri + "\r\n").toUtf8());
    settings.close();

    init_system(*state);

    EXPECT_EQ(state->db_path, uri);
    EXPECT_FALSE(QFile::exists(folder.file("karaoke.db")));
    EXPECT_EQ(open_recordset("SELECT * FROM song", state->db_path).RecordCount(), 0);  // tables made
    close_kept_connection();
}

class SongOrderTest : public StartupTest {
protected:
    void SetUp() override {
        init_system(*state);
        singer_ = add_test_singer(*state, "江蕙");
        add_test_song(*state, "105001", 0, "家後", singer_);
        add_test_song(*state, "1'2", 0, "酒後的心聲", singer_);
        add_test_song(*state, "105002", 0, "無人的所在", 999);  // singer gone
    }
    int singer_ = 0;
};

TEST_F(SongOrderTest, AppendsNumberAndTitleWithSinger) {
    EXPECT_EQ(add_song_to_queue(*state, "105001"), 0);
    EXPECT_EQ(add_song_to_queue(*state, "1'2"), 1);
    EXPECT_EQ(add_song_to_queue(*state, "105001"), 2);  // the same song may wait twice
    EXPECT_EQ(state->play_queue.size(), 3);
    EXPECT_EQ(state->play_queue.number_at(0), "105001");
    EXPECT_EQ(state->play_queue.display_at(0), "家後--江蕙");
    EXPECT_EQ(state->play_queue.display_at(1), "酒後的心聲--江蕙");
}

TEST_F(SongOrderTest, UnknownNumberOrMissingSinger) {
    EXPECT_EQ(add_song_to_queue(*state, "999999"), -1);
    EXPECT_EQ(add_song_to_queue(*state, " 105001"), -1);  // taken as typed
    EXPECT_TRUE(state->play_queue.empty());
    EXPECT_EQ(add_song_to_queue(*state, "105002"), 0);
    EXPECT_EQ(state->play_queue.display_at(0), "無人的所在--找不到");
}

TEST_F(SongOrderTest, FullQueueStaysUnchanged) {
    while (!state->play_queue.full()) state->play_queue.append("105001", "家後--江蕙");
    EXPECT_EQ(add_song_to_queue(*state, "105001"), -1);
    EXPECT_EQ(state->play_queue.size(), 5001);
}

TEST_F(SongOrderTest, MissingCatalogueIsAnErrorNotAnEmptyResult) {
    state->db_path = folder.file("gone.db");
    EXPECT_THROW(add_song_to_queue(*state, "105001"), DatabaseError);
    EXPECT_FALSE(QFile::exists(folder.file("gone.db")));
    EXPECT_TRUE(state->play_queue.empty());
}

}  // namespace
