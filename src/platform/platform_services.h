#pragma once

#include <functional>
#include <memory>

class Dialogs;
class MediaPlayer;
class MicrophonePitch;
class Printing;
class QWidget;
class WaveCapture;

// The real or fake devices and desktop services handed to the windows.
// main.cpp fills it with the real implementations; tests with fakes.
// The services are owned by whoever filled it in and outlive every window.
struct PlatformServices {
    // Makes a media player whose video area is a child of the given window.
    std::function<std::unique_ptr<MediaPlayer>(QWidget* parent)> make_media_player;
    WaveCapture* capture = nullptr;
    // Follows the singer's pitch in the microphone for the singing score
    // (`Score = 1`); none: no song is scored.
    std::function<std::unique_ptr<MicrophonePitch>()> make_microphone_pitch;
    // Message boxes and file dialogs.
    Dialogs* dialogs = nullptr;
    // The default printer and PDF files, for the song books.
    Printing* printing = nullptr;
    // Ends the program at once (the real one quits the process).
    std::function<void()> end_program;
    // Asks the system to switch the machine off a second from now, without
    // waiting for it (the real one starts the system's power-off command).
    std::function<void()> request_power_off;
};
