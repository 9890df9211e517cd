#pragma once

#include "foundation/app_state.h"
#include "foundation/startup.h"
#include "panels/small_control_main.h"
#include "playback/player.h"
#include "support/test_catalogue.h"
#include "support/test_support.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <utility>

// A player on a fresh catalogue whose songs 1000001, 1000002, ... are named
// 歌1, 歌2, ... and lie at the given media paths.
class PlayerFixture {
public:
    PlayerFixture() {
        init_system(*state);
        singer = add_test_singer(*state, "江蕙");
    }

    void add_song(int i, const QString& location) {
        add_test_song(*state, song_num(i), 1, "歌" + QString::number(i), singer, location);
    }
    void queue_song(int i) { state->play_queue.append(song_num(i), "歌" + QString::number(i) + "--江蕙"); }
    static QString song_num(int i) { return QString::number(1000000 + i); }

    // Shows the player as the main menu does, with the small control panel
    // unless the test hands it another opener, and runs its first activation.
    player& open_player(ControlPanelOpener open_control_panel = {}) {
        if (!open_control_panel)
            open_control_panel = [this](player& window) {
                open_small_control_main(*state, window.session(), &window);
            };
        screen = std::make_unique<player>(*state, nullptr, std::move(open_control_panel));
        screen->show();
        screen->Form_Activate();
        return *screen;
    }

    // Runs the action and tells whether the small control panel came up
    // meanwhile; a panel that came up is closed with its "0" key.
    bool panel_opened_during(const std::function<void()>& action) {
        const int before = panels_seen;
        QObject watch;
        QTimer poll;
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, &watch, [this] {
            if (auto* panel = qobject_cast<small_control_main*>(QApplication::activeModalWidget())) {
                ++panels_seen;
                panel->key_press('0');
            }
        });
        poll.start();
        action();
        return panels_seen > before;
    }

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
    int singer = 0;
    std::unique_ptr<player> screen;
    int panels_seen = 0;  // by panel_opened_during
};
