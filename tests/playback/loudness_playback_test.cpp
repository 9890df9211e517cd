// The gain each song gets from its measured loudness, handed to the engine
// before the song loads.
#include "playback/session_fixture.h"

#include "foundation/catalogue_session.h"
#include "foundation/loudness_store.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

constexpr int kTimeoutMs = 5000;

// Song 1's file measured loud, song 2's never measured.
class LoudnessPlaybackTest : public ::testing::Test, public SessionFixture {
protected:
    LoudnessPlaybackTest() {
        const QString loud = write_media("loud.mpg");
        store_loudness(shared_session(state->db_path), *media_file_stamp(loud), MeasuredLoudness{-10, -3});
        add_song(1, loud);
        add_song(2, write_media("unmeasured.mpg"));
        queue_song(1);
        queue_song(2);
    }
    ~LoudnessPlaybackTest() override { end_session(); }

    QString write_media(const QString& name) {
        QFile file(folder.file(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("media");
        return file.fileName();
    }
    // The gain the engine got for the song that plays after the head is cut.
    double gain_of_next_song() {
        session().cut();
        EXPECT_TRUE(QTest::qWaitFor([&] { return media().url().endsWith("unmeasured.mpg"); }, kTimeoutMs));
        return media().source_gain_db();
    }
};

TEST_F(LoudnessPlaybackTest, WithLoudnessAMeasuredSongPlaysAtTheCommonLevelAndAnUnmeasuredOneAsItIs) {
    state->settings.Loudness = 1;
    session().start_head_if_idle();
    EXPECT_TRUE(media().url().endsWith("loud.mpg"));
    EXPECT_DOUBLE_EQ(media().source_gain_db(), -6);
    EXPECT_DOUBLE_EQ(gain_of_next_song(), 0);
}

TEST_F(LoudnessPlaybackTest, WithoutLoudnessEverySongPlaysAsItIs) {
    session().start_head_if_idle();
    EXPECT_DOUBLE_EQ(media().source_gain_db(), 0);
}

}  // namespace
