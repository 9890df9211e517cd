#pragma once

#include "foundation/clock.h"
#include "foundation/play_queue.h"
#include "foundation/settings.h"
#include "platform/key_tracker.h"
#include "platform/platform_services.h"

#include <QSize>
#include <QString>

#include <array>
#include <memory>

// Everything the jukebox shares between its windows for the whole run.
// One instance is made at start-up and handed to every window by reference;
// tests make a fresh one on a temporary program folder.
class BackgroundLoudness;

struct AppState {
    // The folder of the executable (or a test's temporary folder), set once.
    QString program_folder;
    // Where the program lives: its folder (with a trailing "/") and catalogue.
    QString app_folder;
    QString db_path;

    // The size of the screen the windows fill, in pixels.
    QSize screen_size{1024, 768};

    int twips_per_pixel = 15;
    int lines_per_page = 8;
    std::array<QString, 8> kind_names;
    std::array<QString, 4> sound_channel_names;  // 1..3 used

    Settings settings;
    bool caps_lock_on = false;
    // Keys newly pressed since the windows' last poll (read_pressed_key).
    std::unique_ptr<KeyNameTracker> pressed_keys = std::make_unique<KeyNameTracker>();

    PlayQueue play_queue;
    // Result lists of the catalogue lookups: code or number in slot i,
    // its name or display text in slot size + i.
    std::array<QString, 2 * 1001> singer_list;
    std::array<QString, 2 * 1501> song_list;

    int current_page = 1;
    bool insert_window_open = false;

    Clock clock;
    PlatformServices platform;

    // The songs' loudness measured in the background (Loudness = 1), made
    // on first use by background_loudness(); first to go, since its worker
    // may still be decoding.
    std::shared_ptr<BackgroundLoudness> loudness_worker;
};
