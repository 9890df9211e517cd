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

INSTANTIATE_TEST_SUITE_P(EveryStore, LoudnessStore, every_store(), store_name);

}  // namespace
