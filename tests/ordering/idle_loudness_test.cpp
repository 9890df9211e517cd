// With Loudness = 1 the main menu measures the catalogue's songs while it
// sits idle, and gives way at once to a song or to music.
#include "main_menu_fixture.h"
#include "playback/player.h"
#include "support/background_loudness.h"

#include <QApplication>
#include <QTimer>

namespace {

class IdleLoudness : public MainMenuTest {
protected:
    IdleLoudness() {
        write_settings("Loudness = 1\r\n");
        const int singer = add_test_singer(*state, "江蕙");
        for (int i = 1; i <= 3; ++i) {
            const QString file = folder.file(QString("song%1.mpg").arg(i));
            write_file(file);
            add_test_song(*state, QString::number(1000000 + i), 1, "歌" + QString::number(i), singer, file);
        }
        state->loudness_worker = worker;
    }

    int measured() const { return worker->files_stored(); }
    // The worker has stopped with files left: it takes none now.
    bool gave_way() const {
        return QTest::qWaitFor([this] { return worker->resting(); }, 10000);
    }

    std::shared_ptr<HeldMeasurement> held = std::make_shared<HeldMeasurement>();
    std::shared_ptr<BackgroundLoudness> worker =
        std::make_shared<BackgroundLoudness>(HeldMeasurement::meter(held));
};

TEST_F(IdleLoudness, TheCatalogueIsMeasuredWhileTheMenuSitsIdle) {
    held->holding = false;
    open_menu();
    EXPECT_TRUE(QTest::qWaitFor([this] { return measured() == 3; }, 10000));
    EXPECT_TRUE(measured_in_background(*state, folder.file("song2.mpg")));
}

TEST_F(IdleLoudness, ASongStartingStopsTheFileInHandAndNothingIsMeasuredUntilTheMenuIsBack) {
    open_menu();
    ASSERT_TRUE(QTest::qWaitFor([this] { return held->started == 1; }, 10000));

    bool looked = false;
    QTimer::singleShot(0, menu.get(), [&] {
        auto* singing = qobject_cast<player*>(QApplication::activeModalWidget());
        ASSERT_NE(singing, nullptr);
        EXPECT_TRUE(gave_way());
        EXPECT_EQ(held->stopped, 1);
        EXPECT_EQ(held->started, 1);
        EXPECT_EQ(measured(), 0);
        looked = true;
        singing->reject();
    });
    press("6");
    EXPECT_TRUE(looked);

    held->holding = false;
    EXPECT_TRUE(QTest::qWaitFor([this] { return measured() == 3; }, 10000));
}

TEST_F(IdleLoudness, MusicPlayingOnTheMenuStopsTheMeasurement) {
    open_menu();
    ASSERT_TRUE(QTest::qWaitFor([this] { return held->started == 1; }, 10000));
    wmp().set_state(play_state::playing);
    EXPECT_TRUE(QTest::qWaitFor([this] { return held->stopped == 1; }, 10000));
    EXPECT_TRUE(gave_way());
    EXPECT_EQ(held->started, 1);

    held->holding = false;
    wmp().set_state(play_state::stopped);
    EXPECT_TRUE(QTest::qWaitFor([this] { return measured() == 3; }, 10000));
}

TEST_F(IdleLoudness, WithoutTheSettingNothingIsMeasured) {
    write_settings("");
    held->holding = false;
    open_menu();
    press("3");
    EXPECT_FALSE(background_loudness(*state));
    EXPECT_EQ(held->started, 0);
}

}  // namespace
