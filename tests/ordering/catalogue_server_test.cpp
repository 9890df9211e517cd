// A room whose catalogue is on the venue's server: the server may go away in
// the middle of an evening.
#include "main_menu_fixture.h"
#include "playback/playback_session.h"
#include "support/postgres_server.h"

#include <QWidget>

namespace {

class ServerGoneTest : public MainMenuTest {
protected:
    void SetUp() override {
        server = PostgresServer::shared();
        if (!server || !use_catalogue_server(*state)) GTEST_SKIP() << "no PostgreSQL server for the tests";
        prepare_catalogue(state->db_path);
        add_songs(3);
        write_settings("CatalogueServer = " + state->db_path + "\r\n");  // the room's one line
        open_menu();
    }
    void TearDown() override {
        if (server) server->start();  // whatever happened, the next tests find it up
        close_kept_connection();
    }

    PostgresServer* server = nullptr;
};

TEST_F(ServerGoneTest, TheQueuedSongPlaysTheErrorShowsAndTheNextLookupAfterARestartWorks) {
    press("3");
    press("1000001E");
    ASSERT_EQ(state->play_queue.size(), 1);

    LogLines log;
    server->stop();
    press("1000002E");
    EXPECT_TRUE(label1().startsWith("連不上伺服器")) << label1().toStdString();
    EXPECT_TRUE(label1().contains("127.0.0.1"));  // and then the server's own words
    EXPECT_EQ(state->play_queue.size(), 1);
    EXPECT_FALSE(log.of("karaoke.catalogue").isEmpty());

    // The song ordered before still plays from the file it was ordered with.
    QWidget video;
    PlaybackSession session(*state, state->platform.make_media_player(&video));
    session.start_head_if_idle();
    EXPECT_EQ(players.last()->played_urls, QStringList{"file:///songs/a.mpg"});

    ASSERT_TRUE(server->start());
    press("1000002E");
    EXPECT_EQ(state->play_queue.size(), 2) << label1().toStdString();
    EXPECT_EQ(state->play_queue.display_at(1), "歌2--江蕙");
}

}  // namespace
