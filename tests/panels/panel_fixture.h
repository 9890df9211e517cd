#pragma once

#include "panels/small_control_main.h"
#include "playback/player_fixture.h"
#include "support/fake_media_player.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

// A player on fake media with songs 1000001.. (歌1, 歌2, ...) in the
// catalogue; the small control panel and its windows are driven from
// callbacks that run once they are up, as a guest at the keypad would.
class PanelTest : public ::testing::Test, public PlayerFixture {
protected:
    PanelTest() {
        state->platform.make_media_player = players.factory();
        for (int i = 1; i <= 6; ++i) add_song(i, "/songs/" + QString::number(i) + ".mpg");
    }

    FakeMediaPlayer& media() { return *players.last(); }
    static QString url_of(int i) { return "file:///songs/" + QString::number(i) + ".mpg"; }
    void queue_songs(int count) {
        for (int i = 1; i <= count; ++i) queue_song(i);
    }

    // Runs `inside` once the modal window of type Window is up.
    template <class Window>
    void when_up(const std::function<void(Window&)>& inside) {
        QTimer::singleShot(0, screen.get(), [inside] {
            auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
            ASSERT_NE(window, nullptr);
            inside(*window);
        });
    }

    // Opens the panel with a key on the video and runs `inside` on it; a
    // panel still up afterwards, or back after a small window, is closed
    // with "0". Returns once it is closed.
    void with_panel(const std::function<void(small_control_main&)>& inside) {
        when_up<small_control_main>([inside](small_control_main& panel) {
            inside(panel);
            // Runs once the panel is back (after a small window) or at once.
            QTimer::singleShot(0, &panel, [&panel] {
                if (panel.isVisible()) panel.key_press('0');
            });
        });
        screen->wmp1_KeyPressEvent('q');
    }

    // The panel's keys, "E" standing for Enter.
    static void press(small_control_main& panel, const QString& keys) {
        for (QChar key : keys) panel.key_press(key == 'E' ? 13 : key.unicode());
    }

    FakeMediaPlayers players;
};
