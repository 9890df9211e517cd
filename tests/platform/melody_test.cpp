#include "platform/melody.h"
#include "platform/microphone_pitch.h"
#include "support/alsa_test_device.h"
#include "support/singing_clips.h"
#include "support/test_support.h"

#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

struct FollowedTune {
    double sung_share = 0;     // of the frames where the tune holds a note
    double in_tune_share = 0;  // of those sung, within half a semitone of the note
};

// How the track compares with the tune played `semitones` off, `delay_ms` late.
FollowedTune compare_with_tune(const PitchTrack& track, int semitones = 0, int delay_ms = 0) {
    const int delay = delay_ms * kPitchFramesPerSecond / 1000;
    int notes = 0;
    int sung = 0;
    int in_tune = 0;
    for (std::size_t i = static_cast<std::size_t>(delay); i < track.size(); ++i) {
        const float note = tune_note_at(static_cast<double>(i - delay) / kPitchFramesPerSecond);
        if (note == 0) continue;
        ++notes;
        if (track[i] <= 0) continue;
        ++sung;
        in_tune += std::fabs(track[i] - (note + static_cast<float>(semitones))) < 0.5F;
    }
    return {static_cast<double>(sung) / notes, sung ? static_cast<double>(in_tune) / sung : 0};
}

class ReferenceOfLayout : public ::testing::TestWithParam<SongLayout> {};

TEST_P(ReferenceOfLayout, IsTheTuneWithoutTheChord) {
    TempFolder folder;
    const QString song = folder.file("song.mpg");
    make_scored_song(song, GetParam());
    const std::atomic<bool> cancelled = false;
    const std::optional<PitchTrack> melody = reference_melody(song, cancelled);
    ASSERT_TRUE(melody);
    EXPECT_NEAR(static_cast<double>(melody->size()), kSongSeconds * kPitchFramesPerSecond, 10);
    const FollowedTune followed = compare_with_tune(*melody);
    EXPECT_GE(followed.sung_share, 0.9);
    EXPECT_GE(followed.in_tune_share, 0.95);
}

INSTANTIATE_TEST_SUITE_P(VcdAndTwoStreams, ReferenceOfLayout,
                         ::testing::Values(SongLayout::VcdStereo, SongLayout::TwoStreams));

TEST(ReferenceMelody, NoneWithoutAnAccompanimentToTakeAway) {
    TempFolder folder;
    const QString song = folder.file("song.mp4");
    make_scored_song(song, SongLayout::SingleStream);
    const std::atomic<bool> cancelled = false;
    EXPECT_FALSE(reference_melody(song, cancelled));
    EXPECT_FALSE(reference_melody(folder.file("missing.mp4"), cancelled));
}

TEST(ReferenceMelody, StopsWhenCancelled) {
    TempFolder folder;
    const QString song = folder.file("song.mpg");
    make_scored_song(song, SongLayout::VcdStereo);
    const std::atomic<bool> cancelled = true;
    EXPECT_FALSE(reference_melody(song, cancelled));
}

TEST(MicrophonePitch, FollowsTheSingerFromTheDevice) {
    SingingMicrophone microphone(Singing{.delay_ms = 120, .semitones = -12});
    const PitchTrack heard = microphone.listen();
    EXPECT_EQ(heard.size(), kSongSeconds * kPitchFramesPerSecond);
    const FollowedTune followed = compare_with_tune(heard, -12, 120);
    EXPECT_GE(followed.sung_share, 0.9);
    EXPECT_GE(followed.in_tune_share, 0.95);
}

TEST(MicrophonePitch, HearsNothingInSilence) {
    SingingMicrophone microphone(Singing{.tune = false});
    const PitchTrack heard = microphone.listen();
    EXPECT_EQ(heard.size(), kSongSeconds * kPitchFramesPerSecond);
    EXPECT_EQ(std::count(heard.begin(), heard.end(), 0.0F), std::ssize(heard));
}

// A file delivers faster than real time: read at the clock's pace, bit by
// bit, none of it may be thrown away, or the tune comes out in pieces.
TEST(MicrophonePitch, AnInputFasterThanTheClockIsReadWholeAtItsPace) {
    TempFolder folder;
    QFile raw(folder.file("singing.raw"));
    ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
    raw.write(singing_frames(Singing{}));
    raw.close();
    const AlsaTestDevice device(folder.path(), raw.fileName());
    std::atomic<qint64> now_ns = 0;
    AlsaMicrophonePitch microphone(AlsaTestDevice::kSignalDevice,
                                   [&now_ns] { return std::chrono::nanoseconds(now_ns.load()); });
    ASSERT_TRUE(microphone.start());
    constexpr qint64 kStepFrames = 4410;  // 100 ms
    for (qint64 frames = kStepFrames; frames <= kSongSeconds * 44100; frames += kStepFrames) {
        now_ns = frames * 1'000'000'000 / 44100;
        QElapsedTimer real;
        real.start();
        while (microphone.followed_frames() < frames && real.elapsed() < 5000)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_EQ(microphone.followed_frames(), frames);
    }
    const FollowedTune followed = compare_with_tune(microphone.stop());
    EXPECT_GE(followed.sung_share, 0.9);
    EXPECT_GE(followed.in_tune_share, 0.95);
}

TEST(MicrophonePitch, NoSoundInputGivesNoTrack) {
    AlsaMicrophonePitch microphone("karaoke_test_no_such_input");
    EXPECT_FALSE(microphone.start());
    EXPECT_TRUE(microphone.stop().empty());
}

}  // namespace
