#pragma once

#include <QString>

// The General MIDI soundfont Debian's timgm6mb-soundfont package installs.
inline const QString kDefaultSoundfont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

bool is_midi_file_name(const QString& path);

// Renders a Standard MIDI File to a 44.1 kHz 16-bit stereo WAV file with
// the given soundfont. False when the file is no MIDI file (by its header),
// the soundfont cannot be loaded or the WAV file cannot be written.
bool render_midi_to_wav(const QString& midi_path, const QString& wav_path, const QString& soundfont_path);
