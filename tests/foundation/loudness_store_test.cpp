#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/loudness_store.h"
#include "support/every_store.h"
#include "support/postgres_server.h"
#include "support/test_catalogue.h"
#include "support/test_support.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class LoudnessStore : public ::testing::TestWithParam<CatalogueStore> {
protected:
    LoudnessStore() : server_missing_(GetParam() == CatalogueStore::Server && !use_catalogue_server(*state)) {
        prepare_catalogue(state->db_path);
    }
    ~LoudnessStore() override { close_kept_connection(); }
    void SetUp() override {
        if (server_missing_) GTEST_SKIP() << "no PostgreSQL server for the tests";
    }

    CatalogueSession& session() { return shared_session(state->db_path); }

    // A media file of the given bytes, stamped as it is now.
    MediaFileStamp write_media(const QString& name, const QByteArray& bytes) {
        const QString path = folder.file(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        return *media_file_stamp(path);
    }

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);

private:
    bool server_missing_;
};

TEST_P(LoudnessStore, KeepsAFilesMeasurement) {
    const MediaFileStamp song = write_media("歌 '--'.mpg", "sound");
    EXPECT_FALSE(stored_loudness(session(), song));
    store_loudness(session(), song, MeasuredLoudness{-23.456, -3.21});

    const std::optional<StoredLoudness> stored = stored_loudness(session(), song);
    ASSERT_TRUE(stored && stored->loudness);
    EXPECT_NEAR(stored->loudness->integrated_lufs, -23.46, 1e-9);
    EXPECT_NEAR(stored->loudness->true_peak_dbtp, -3.21, 1e-9);
}

TEST_P(LoudnessStore, RemembersAFileThatCouldNotBeDecoded) {
    const MediaFileStamp broken = write_media("broken.mp4", "noise");
    store_loudness(session(), broken, std::nullopt);
    const std::optional<StoredLoudness> stored = stored_loudness(session(), broken);
    ASSERT_TRUE(stored);
    EXPECT_FALSE(stored->loudness);
    EXPECT_FALSE(stored_playback_gain_db(session(), broken.path));
}

TEST_P(LoudnessStore, AChangedOrReplacedFileIsNoLongerMeasured) {
    const MediaFileStamp song = write_media("song.mpg", "sound");
    store_loudness(session(), song, MeasuredLoudness{-20, -6});

    const MediaFileStamp longer = write_media("song.mpg", "another sound");
    EXPECT_FALSE(stored_loudness(session(), longer));
    MediaFileStamp touched = song;
    touched.modified_ms += 2000;
    EXPECT_FALSE(stored_loudness(session(), touched));

    // Measured again, the new measurement takes the old one's place.
    store_loudness(session(), longer, MeasuredLoudness{-12, -2});
    EXPECT_NEAR(stored_loudness(session(), longer)->loudness->integrated_lufs, -12, 1e-9);
    EXPECT_FALSE(stored_loudness(session(), song));
}

TEST_P(LoudnessStore, PlaysAMeasuredFileAtTheCommonLevel) {
    const MediaFileStamp quiet = write_media("quiet.mpg", "sound");
    const MediaFileStamp peaky = write_media("peaky.mpg", "drums");
    store_loudness(session(), quiet, MeasuredLoudness{-30, -20});
    store_loudness(session(), peaky, MeasuredLoudness{-30, -4});

    EXPECT_NEAR(*stored_playback_gain_db(session(), quiet.path), 14, 1e-9);
    EXPECT_NEAR(*stored_playback_gain_db(session(), peaky.path), 3, 1e-9);
    QFile::remove(quiet.path);
    EXPECT_FALSE(stored_playback_gain_db(session(), quiet.path));
    EXPECT_FALSE(stored_playback_gain_db(session(), folder.file("never measured.mpg")));
}

TEST_P(LoudnessStore, ListsEverySongsFileOnce) {
    const int singer = add_test_singer(*state, "歌手");
    add_test_song(*state, "00001", 1, "歌一", singer, "/songs/b.mpg");
    add_test_song(*state, "00002", 1, "歌二", singer, "/songs/a.mpg");
    add_test_song(*state, "00003", 1, "歌三", singer, "/songs/b.mpg");
    EXPECT_EQ(song_media_files(session()), QStringList({"/songs/b.mpg", "/songs/a.mpg"}));
}

// Media of one stereo stream sound different with one side on both
// speakers: their measurement counts only for the side it was made for.
// Other media count for every side.
TEST_P(LoudnessStore, AStereoMeasurementCountsForTheSideItWasMadeFor) {
    const MediaFileStamp vcd = write_media("vcd.dat", "stereo");
    const MediaFileStamp video = write_media("video.mp4", "streams");
    store_loudness(session(), vcd, MeasuredLoudness{-20, -3, StereoSide::left});
    store_loudness(session(), video, MeasuredLoudness{-18, -3});

    EXPECT_FALSE(stored_loudness(session(), vcd, StereoSide::both));
    const std::optional<StoredLoudness> heard = stored_loudness(session(), vcd, StereoSide::left);
    ASSERT_TRUE(heard && heard->loudness);
    EXPECT_EQ(heard->loudness->side, StereoSide::left);
    EXPECT_TRUE(stored_loudness(session(), video, StereoSide::left));
    EXPECT_TRUE(stored_loudness(session(), video, StereoSide::both));

    store_loudness(session(), vcd, MeasuredLoudness{-22, -10, StereoSide::both});
    EXPECT_FALSE(stored_loudness(session(), vcd, StereoSide::left));
    EXPECT_NEAR(*stored_playback_gain_db(session(), vcd.path, StereoSide::both), 6, 1e-9);
}

// A room that plays the sides apart starts such media on the left side.
TEST_P(LoudnessStore, ARoomPlaysTheGainOfTheSideItHears) {
    const MediaFileStamp vcd = write_media("vcd.dat", "stereo");
    store_loudness(session(), vcd, MeasuredLoudness{-26, -20, StereoSide::left});
    state->settings.Loudness = 1;
    EXPECT_EQ(song_playback_gain_db(*state, vcd.path), 0);
    state->settings.StereoChannel = 1;
    EXPECT_NEAR(song_playback_gain_db(*state, vcd.path), 10, 1e-9);
}

// The table as the first version of the measurement made it, whose meter
// took a mono sound as one channel: its rows are measured again.
TEST_P(LoudnessStore, ATableFromBeforeTheSideColumnGetsItAndItsRowsGo) {
    const MediaFileStamp song = write_media("song.mp4", "mono");
    execute_sql("DROP TABLE media_loudness", state->db_path);
    execute_sql(
        "CREATE TABLE media_loudness (path TEXT PRIMARY KEY, size BIGINT NOT NULL, modified_ms BIGINT NOT "
        "NULL,"
        " state INTEGER NOT NULL, lufs_hundredths INTEGER, true_peak_hundredths INTEGER)",
        state->db_path);
    execute_sql(QString("INSERT INTO media_loudness VALUES ('%1', %2, %3, 1, -2000, -300)")
                    .arg(song.path)
                    .arg(song.size)
                    .arg(song.modified_ms),
                state->db_path);
    close_kept_connection();

    prepare_catalogue(state->db_path);
    EXPECT_FALSE(stored_loudness(session(), song));
    store_loudness(session(), song, MeasuredLoudness{-20, -3});
    EXPECT_TRUE(stored_loudness(session(), song, StereoSide::left));
}

INSTANTIATE_TEST_SUITE_P(EveryStore, LoudnessStore, every_store(), store_name);

}  // namespace
