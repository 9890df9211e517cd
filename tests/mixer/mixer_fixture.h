#pragma once

#include "mixer/mixer_menu.h"
#include "platform/media_player.h"
#include "playback/player_fixture.h"
#include "support/fake_media_player.h"
#include "support/fake_wave_capture.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

// A player on the fake engine and the fake sound input, with song 1 (歌1,
// sung by 江蕙) at the head of the queue and the recordings folder of the
// default settings (the program folder's "Record").
class MixerFixture : public PlayerFixture {
public:
    MixerFixture() {
        state->platform.make_media_player = players.factory();
        state->platform.capture = &capture;
        add_song(1, "/songs/歌1.mpg");
        add_song(2, "/songs/歌2.mpg");
        queue_song(1);
    }
    // The player goes before the sound input it may still talk to.
    ~MixerFixture() { screen.reset(); }

    // Opens the player; song 1 plays once its first activation is over.
    void open_playing() {
        open_player();
        ASSERT_EQ(media().play_state(), play_state::playing);
    }

    FakeMediaPlayer& media() { return *players.last(); }
    mixer_menu& mixer() { return screen->mixer_panel(); }
    void key(int code) { screen->wmp1_KeyPressEvent(code); }
    QString message() const { return screen->labMsg.isVisible() ? screen->labMsg.text() : QString(); }
    bool background_shown() const {
        return screen->Image1.isVisible() && screen->wmp1->geometry().size() == QSize(1, 1);
    }

    // Runs `check` after the given design milliseconds, while `action` runs.
    void during(const std::function<void()>& action, int design_ms, const std::function<void()>& check) {
        QTimer::singleShot(state->clock.real_ms(design_ms), screen.get(), check);
        action();
    }

    FakeMediaPlayers players;
    FakeWaveCapture capture;
};
