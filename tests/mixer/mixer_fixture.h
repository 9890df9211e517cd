#pragma once

#include "mixer/mixer_menu.h"
#include "platform/media_player.h"
#include "playback/hotkeys.h"
#include "playback/session_fixture.h"
#include "support/fake_wave_capture.h"

#include <gtest/gtest.h>

#include <memory>

// The sound panel on a playback session (fake engine, fake sound input) over
// a plain window, with song 1 (歌1, sung by 江蕙) at the head of the queue and
// the recordings folder of the default settings (the program folder's
// "Record"). No singing window is needed.
class MixerFixture : public SessionFixture {
public:
    MixerFixture() {
        state->platform.capture = &capture;
        add_song(1, "/songs/歌1.mpg");
        add_song(2, "/songs/歌2.mpg");
        queue_song(1);
    }
    // The panel and the session go before the sound input they may still talk to.
    ~MixerFixture() {
        panel_.reset();
        end_session();
    }

    // Song 1 plays, started at once as an ordering window starts it.
    void open_playing() {
        session().start_head_if_idle();
        ASSERT_EQ(media().play_state(), play_state::playing);
    }

    // The sound panel the control panel's "4音效" opens, made (not shown) on first use.
    mixer_menu& mixer() {
        if (!panel_) panel_ = std::make_unique<mixer_menu>(*state, session(), &window);
        return *panel_;
    }
    // A key the singing window offers to the playback hotkeys; true when they took it.
    bool key(int code) { return play_hotkey(session(), code); }

    FakeWaveCapture capture;

private:
    std::unique_ptr<mixer_menu> panel_;
};
