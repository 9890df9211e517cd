#include "platform/log.h"

// Warnings and above are on by default; QT_LOGGING_RULES can silence them.
Q_LOGGING_CATEGORY(lcPlayback, "karaoke.playback", QtWarningMsg)
Q_LOGGING_CATEGORY(lcCatalogue, "karaoke.catalogue", QtWarningMsg)
Q_LOGGING_CATEGORY(lcCapture, "karaoke.capture", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSettings, "karaoke.settings", QtWarningMsg)
Q_LOGGING_CATEGORY(lcRemote, "karaoke.remote", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSongbook, "karaoke.songbook", QtWarningMsg)
// Not a failure: the line the venue keeps of every score, so information is on.
Q_LOGGING_CATEGORY(lcScore, "karaoke.score", QtInfoMsg)

void log_skipped_song(const QString& number, const QString& path, const QString& reason) {
    qCWarning(lcPlayback).noquote() << "skipped song" << number << path << ":" << reason;
}
