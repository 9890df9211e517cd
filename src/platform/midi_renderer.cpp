#include "platform/midi_renderer.h"

#include <QFile>
#include <QFileInfo>

#include <fluidsynth.h>

#include <memory>

namespace {

template <typename T, void (*Delete)(T*)>
struct Deleter {
    void operator()(T* object) const { Delete(object); }
};
using SettingsPtr = std::unique_ptr<fluid_settings_t, Deleter<fluid_settings_t, delete_fluid_settings>>;
using SynthPtr = std::unique_ptr<fluid_synth_t, Deleter<fluid_synth_t, delete_fluid_synth>>;
using PlayerPtr = std::unique_ptr<fluid_player_t, Deleter<fluid_player_t, delete_fluid_player>>;
using RendererPtr =
    std::unique_ptr<fluid_file_renderer_t, Deleter<fluid_file_renderer_t, delete_fluid_file_renderer>>;

constexpr double kSampleRate = 44100;
// fluidsynth's default of 0.2 leaves a lone instrument some 30 dB below full
// scale; 0.5 is louder and still leaves room for a full arrangement.
constexpr double kGain = 0.5;

// fluidsynth reports every missing instrument and file on stderr; failures
// reach the caller as the result, and the program keeps no log.
void silence_fluidsynth_warnings() {
    fluid_set_log_function(FLUID_ERR, nullptr, nullptr);
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
}

SettingsPtr render_settings(const QByteArray& wav_path) {
    SettingsPtr settings(new_fluid_settings());
    fluid_settings_setstr(settings.get(), "audio.file.name", wav_path.constData());
    fluid_settings_setstr(settings.get(), "audio.file.type", "wav");
    fluid_settings_setstr(settings.get(), "audio.file.format", "s16");
    fluid_settings_setnum(settings.get(), "synth.sample-rate", kSampleRate);
    // Let the MIDI player advance with the rendered samples, not the wall clock.
    fluid_settings_setstr(settings.get(), "player.timing-source", "sample");
    fluid_settings_setint(settings.get(), "synth.lock-memory", 0);
    fluid_settings_setnum(settings.get(), "synth.gain", kGain);
    return settings;
}

// The player reports the end only once the last notes have faded out.
bool render_song(fluid_player_t* player, fluid_file_renderer_t* renderer) {
    if (fluid_player_play(player) != FLUID_OK) return false;
    while (fluid_player_get_status(player) == FLUID_PLAYER_PLAYING) {
        if (fluid_file_renderer_process_block(renderer) != FLUID_OK) return false;
    }
    return true;
}

}  // namespace

bool is_midi_file_name(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    return suffix.compare("mid", Qt::CaseInsensitive) == 0 ||
           suffix.compare("midi", Qt::CaseInsensitive) == 0;
}

bool render_midi_to_wav(const QString& midi_path, const QString& wav_path, const QString& soundfont_path) {
    const QByteArray midi = QFile::encodeName(midi_path);
    if (!fluid_is_midifile(midi.constData())) return false;
    silence_fluidsynth_warnings();

    SettingsPtr settings = render_settings(QFile::encodeName(wav_path));
    SynthPtr synth(new_fluid_synth(settings.get()));
    if (!synth ||
        fluid_synth_sfload(synth.get(), QFile::encodeName(soundfont_path).constData(), 1) == FLUID_FAILED)
        return false;
    PlayerPtr player(new_fluid_player(synth.get()));
    if (!player || fluid_player_add(player.get(), midi.constData()) != FLUID_OK) return false;
    bool rendered = false;
    {
        RendererPtr renderer(new_fluid_file_renderer(synth.get()));
        rendered = renderer && render_song(player.get(), renderer.get());
    }  // the renderer completes the WAV header when it is deleted
    return rendered;
}
