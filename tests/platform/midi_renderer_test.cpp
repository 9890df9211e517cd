#include "platform/midi_renderer.h"
#include "support/media_clips.h"
#include "support/test_support.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// 44.1 kHz, two channels of 16 bits.
constexpr double kBytesPerSecond = 44100 * 4;

TEST(MidiRenderer, RendersTheWholeTuneToAWavFile) {
    TempFolder folder;
    const QString wav = folder.file("tune.wav");
    ASSERT_TRUE(render_midi_to_wav(media_clips().tune_mid, wav, kDefaultSoundfont));
    // Three half-second notes, then their fading out.
    EXPECT_GT(QFileInfo(wav).size(), 1.5 * kBytesPerSecond);
    EXPECT_LT(QFileInfo(wav).size(), 10 * kBytesPerSecond);
}

TEST(MidiRenderer, RefusesWhatIsNoMidiFileOrLacksASoundfont) {
    TempFolder folder;
    const QString wav = folder.file("tune.wav");
    EXPECT_FALSE(render_midi_to_wav(media_clips().corrupt_mid, wav, kDefaultSoundfont));
    EXPECT_FALSE(render_midi_to_wav(media_clips().missing, wav, kDefaultSoundfont));
    EXPECT_FALSE(render_midi_to_wav(media_clips().tune_mid, wav, folder.file("none.sf2")));
}

TEST(MidiRenderer, KnowsMidiFilesByTheirExtension) {
    EXPECT_TRUE(is_midi_file_name("/songs/a.mid"));
    EXPECT_TRUE(is_midi_file_name("/songs/A.MIDI"));
    EXPECT_FALSE(is_midi_file_name("/songs/a.mp3"));
    EXPECT_FALSE(is_midi_file_name("/songs/mid"));
}

}  // namespace
