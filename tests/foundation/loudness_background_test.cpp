#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/loudness_background.h"
#include "support/background_loudness.h"
#include "support/test_catalogue.h"
#include "support/test_support.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class BackgroundLoudnessTest : public ::testing::Test {
protected:
    BackgroundLoudnessTest() {
        prepare_catalogue(state->db_path);
        held->holding = false;
        const int singer = add_test_singer(*state, "江蕙");
        add_test_song(*state, "1000001", 1, "家後", singer, catalogue_song);
        write(catalogue_song, "first");
        write(registered_song, "sound");
    }
    ~BackgroundLoudnessTest() override {
        worker.reset();
        close_kept_connection();
    }

    static void write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // Every file handed to it is done and it waits for more.
    bool done_with(int files) const {
        return QTest::qWaitFor([&] { return worker->files_stored() == files && worker->resting(); }, 10000);
    }
    bool measured(const QString& path) const {
        const std::optional<MediaFileStamp> file = media_file_stamp(path);
        return file && stored_loudness(shared_session(state->db_path), *file);
    }

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
    QString catalogue_song = folder.file("家後.mpg");
    QString registered_song = folder.file("new.mpg");
    std::shared_ptr<HeldMeasurement> held = std::make_shared<HeldMeasurement>();
    std::unique_ptr<BackgroundLoudness> worker =
        std::make_unique<BackgroundLoudness>(HeldMeasurement::meter(held));
};

TEST_F(BackgroundLoudnessTest, AwayFromTheMenuOnlyTheRegisteredFilesAreMeasured) {
    worker->measure_registered(state->db_path, {registered_song});
    ASSERT_TRUE(done_with(1));
    EXPECT_TRUE(measured(registered_song));
    EXPECT_FALSE(measured(catalogue_song));
}

TEST_F(BackgroundLoudnessTest, AFileChangedSinceIsMeasuredAgainTheNextTimeTheMenuIsIdle) {
    worker->set_activity(state->db_path, JukeboxActivity::IdleOnMenu);
    ASSERT_TRUE(done_with(1));
    EXPECT_TRUE(measured(catalogue_song));

    write(catalogue_song, "changed, and longer");
    EXPECT_FALSE(measured(catalogue_song));
    worker->set_activity(state->db_path, JukeboxActivity::SongPlaying);
    worker->set_activity(state->db_path, JukeboxActivity::IdleOnMenu);
    ASSERT_TRUE(done_with(2));
    EXPECT_TRUE(measured(catalogue_song));
    EXPECT_EQ(held->started, 2);
}

TEST_F(BackgroundLoudnessTest, RegisteredFilesWaitForTheSongToEnd) {
    held->holding = true;
    worker->measure_registered(state->db_path, {registered_song});
    ASSERT_TRUE(QTest::qWaitFor([&] { return held->started == 1; }, 10000));
    worker->set_activity(state->db_path, JukeboxActivity::SongPlaying);
    ASSERT_TRUE(QTest::qWaitFor([&] { return worker->resting(); }, 10000));
    EXPECT_EQ(held->stopped, 1);
    EXPECT_FALSE(measured(registered_song));

    held->holding = false;
    worker->set_activity(state->db_path, JukeboxActivity::AwayFromMenu);
    ASSERT_TRUE(done_with(1));
    EXPECT_TRUE(measured(registered_song));
    EXPECT_EQ(held->started, 2);
}

}  // namespace
