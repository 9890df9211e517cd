#include "foundation/app_state.h"
#include "ordering/main_menu.h"
#include "platform/alsa_wave_capture.h"
#include "platform/cached_text_style.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/microphone_pitch.h"
#include "platform/mpv_media_player.h"
#include "platform/power_off.h"
#include "platform/printing.h"
#include "playback/voice_recording.h"
#include "widgets/start_form.h"

#include <QApplication>
#include <QScreen>

#include <cstdlib>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    prepare_media_engine();
    install_font_substitutions();
    install_chinese_translations(app);
    // Labels, keys and the messages over the video draw large text from kept
    // glyph pictures.
    QApplication::setStyle(cached_text_style());

    // Declared first: they outlive the state that points at them.
    AlsaWaveCapture capture;
    QtDialogs dialogs;
    SystemPrinting printing;
    AppState state;
    state.program_folder = QCoreApplication::applicationDirPath();
    state.screen_size = QApplication::primaryScreen()->size();
    state.platform.make_media_player = mpv_media_player_factory();
    // A take is on disk as it runs, so that a crash does not lose it.
    capture.spool_takes_to(take_spool_path(state));
    state.platform.capture = &capture;
    state.platform.make_microphone_pitch = [] { return std::make_unique<AlsaMicrophonePitch>(); };
    state.platform.dialogs = &dialogs;
    state.platform.printing = &printing;
    // Leaving the jukebox ends the process at once, as the windows expect;
    // the operating system takes back the devices.
    state.platform.end_program = [] { std::_Exit(0); };
    state.platform.request_power_off = [] { request_power_off(); };

    std::unique_ptr<main_menu> menu;
    auto* splash = new start_form(state.clock, [&] {
        menu = std::make_unique<main_menu>(state);
        show_full_screen(*menu);
        menu->Form_Activate();
    });
    QMetaObject::invokeMethod(splash, &start_form::run, Qt::QueuedConnection);
    return app.exec();
}
