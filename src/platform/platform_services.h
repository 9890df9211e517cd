#pragma once

#include <functional>
#include <memory>

class MediaPlayer;
class QWidget;

// The real or fake devices and desktop services handed to the windows.
// main.cpp fills it with the real implementations; tests with fakes.
struct PlatformServices {
    // Makes a media player whose video area is a child of the given window.
    std::function<std::unique_ptr<MediaPlayer>(QWidget* parent)> make_media_player;
};
