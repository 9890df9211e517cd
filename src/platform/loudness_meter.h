#pragma once

// The loudness of a media file after EBU R128: what the player needs to play
// every song at the same level.

#include "platform/media_player.h"

#include <QString>

#include <atomic>
#include <optional>

struct MeasuredLoudness {
    double integrated_lufs = 0;  // integrated loudness, LUFS
    double true_peak_dbtp = 0;   // the highest true peak of any channel, dBTP
    // The side heard, for media of one stereo stream (the only ones whose
    // sides can be played apart); nothing for other media.
    std::optional<StereoSide> side = std::nullopt;
};

// Measures the audio stream a song starts with (the first, or the second
// of media with more than two), decoding the sound alone, as it is heard:
// a mono sound on both speakers, media of one stereo stream with `heard`
// (both channels as recorded, or one side on both speakers), other media
// with all their channels.
// MIDI files are measured as the player renders them, with `soundfont`.
// Nothing when the file holds no sound that can be decoded, or only
// silence (no loudness to speak of). A `stop` that is set ends the decoding
// early (the jukebox's background measurement gives way to a song); the
// result then means nothing.
std::optional<MeasuredLoudness> measure_loudness(const QString& path, const QString& soundfont,
                                                 StereoSide heard = StereoSide::both,
                                                 const std::atomic<bool>* stop = nullptr);

// Keeps the decoders' warnings about damaged media off standard error, for
// a program that reports such files itself (the catalogue tool).
void silence_decoder_messages();

// The level every song is brought to, and the ceiling of its true peak.
constexpr double kTargetLoudnessLufs = -16.0;
constexpr double kTruePeakCeilingDbtp = -1.0;

// The gain (dB) that brings a song measured so to the target level, no more
// than keeps its true peak under the ceiling.
double loudness_gain_db(const MeasuredLoudness& loudness);
