#pragma once

// The singing score: how closely the singer followed the melody of the
// song's guide vocal. Pure: both pitch tracks come from elsewhere.

#include "platform/melody.h"

#include <optional>

// The share of the reference's sung frames in which the singer's pitch is
// within a semitone of it (any octave, so a man may sing a woman's song an
// octave down), allowing 150 ms either way, once the singer's track has been
// moved back by the delay between the speakers and the microphone (found
// between 0 and 500 ms by matching the two tracks). A note of the reference
// met in less than half of its frames counts for nothing. `key_shift` moves
// the reference by that many semitones (the key the song was played in).
double melody_share(const PitchTrack& reference, const PitchTrack& singer, int key_shift);

// The share turned into 0–100: a good amateur scores 70–90.
int score_of_share(double share);

// The score of a song, or nothing when the reference holds no melody or the
// singer's track (as long as the song was heard) is shorter than half of it:
// a song cut early has no score.
std::optional<int> singing_score(const PitchTrack& reference, const PitchTrack& singer, int key_shift);
