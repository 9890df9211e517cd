#include "platform/capture_command.h"
#include "platform/wave_capture.h"

#include <gtest/gtest.h>

namespace {

CaptureVerb verb_of(const QString& text) {
    return parse_capture_command(text).verb;
}

}  // namespace

TEST(CaptureCommand, TheRecordingStepsTextsAreKnown) {
    EXPECT_EQ(verb_of(kCaptureCloseAll), CaptureVerb::close_all);
    EXPECT_EQ(verb_of(kCaptureOpen), CaptureVerb::open_new);
    EXPECT_EQ(verb_of(kCaptureStop), CaptureVerb::stop);
    EXPECT_EQ(verb_of(kCaptureSeekToStart), CaptureVerb::seek_to_start);
    EXPECT_EQ(verb_of(kCaptureSetFormat), CaptureVerb::set_format);
    EXPECT_EQ(verb_of(kCaptureRecord), CaptureVerb::record);
    EXPECT_EQ(verb_of(kCaptureClose), CaptureVerb::close);

    // The format text as the recording steps join it from its pieces.
    const QString joined = QString("set capture ") + " samplespersec 44100 " + " bitspersample 16 " +
                           " channels 2 " + " alignment " + "4" + " " + " bytespersec " + "176400" + " " +
                           " format tag pcm " + " wait";
    EXPECT_EQ(joined, kCaptureSetFormat);
}

TEST(CaptureCommand, BlanksAndCaseDoNotMatterButTheFormatDoes) {
    EXPECT_EQ(verb_of("set capture samplespersec 44100 bitspersample 16 channels 2 alignment 4 "
                      "bytespersec 176400 format tag pcm wait"),
              CaptureVerb::set_format);
    EXPECT_EQ(verb_of("  SET Capture channels 2\tformat tag PCM "), CaptureVerb::set_format);
    EXPECT_EQ(verb_of("Close  All"), CaptureVerb::close_all);
    EXPECT_EQ(verb_of("record capture wait"), CaptureVerb::record);

    // A format the capture cannot record, or a garbled setting, is not taken.
    EXPECT_EQ(verb_of("set capture samplespersec 22050"), CaptureVerb::unknown);
    EXPECT_EQ(verb_of("set capture channels 1"), CaptureVerb::unknown);
    EXPECT_EQ(verb_of("set capture format tag mulaw"), CaptureVerb::unknown);
    EXPECT_EQ(verb_of("set capture samplespersec44100"), CaptureVerb::unknown);
    EXPECT_EQ(verb_of("set capture channels"), CaptureVerb::unknown);
    EXPECT_EQ(verb_of("set capture"), CaptureVerb::unknown);
}

TEST(CaptureCommand, OtherDevicesAndUnknownWordsAreNotTaken) {
    EXPECT_EQ(verb_of(""), CaptureVerb::unknown);
    EXPECT_EQ(verb_of("stop mic"), CaptureVerb::unknown);
    EXPECT_EQ(verb_of("open new type sequencer alias capture"), CaptureVerb::unknown);
    EXPECT_EQ(verb_of("record capture from 0"), CaptureVerb::unknown);
    EXPECT_EQ(verb_of("delete capture"), CaptureVerb::unknown);
    EXPECT_EQ(verb_of("save capture"), CaptureVerb::unknown);
    EXPECT_EQ(verb_of("save capture   "), CaptureVerb::unknown);
}

TEST(CaptureCommand, SaveKeepsThePathWithItsBlanks) {
    const QString path = "/home/ktv/My Records/TEMPWave.wav";
    const CaptureCommand save = parse_capture_command(kCaptureSavePrefix + path);
    EXPECT_EQ(save.verb, CaptureVerb::save);
    EXPECT_EQ(save.path, path);

    EXPECT_EQ(parse_capture_command("save capture \"/tmp/錄音 1.wav\"").path, "/tmp/錄音 1.wav");
}
