#pragma once

#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>

// Reads a recording and checks that it is a RIFF/WAVE file of the jukebox's
// format (PCM, 2 channels, 44100 Hz, 16 bit, block alignment 4, 176400 bytes
// a second) whose sizes agree with its length. On success `frames` holds the
// sample bytes; on failure the result says what is wrong.
::testing::AssertionResult read_recorded_wave(const QString& path, QByteArray& frames);
