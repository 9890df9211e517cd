#pragma once

#include <QLoggingCategory>
#include <QString>

// What went wrong, written to standard error (the system journal keeps it
// when the jukebox runs as a service). Each category logs failures only:
// nothing per frame or per key.
Q_DECLARE_LOGGING_CATEGORY(lcPlayback)   // "karaoke.playback": skipped songs, failed engines and panels
Q_DECLARE_LOGGING_CATEGORY(lcCatalogue)  // "karaoke.catalogue": catalogue errors with their statement
Q_DECLARE_LOGGING_CATEGORY(lcCapture)    // "karaoke.capture": failed sound input commands, lost takes
Q_DECLARE_LOGGING_CATEGORY(lcSettings)   // "karaoke.settings": a settings file that could not be written
Q_DECLARE_LOGGING_CATEGORY(lcRemote)     // "karaoke.remote": phone ordering that could not start
Q_DECLARE_LOGGING_CATEGORY(lcSongbook)   // "karaoke.songbook": song books not printed or written
Q_DECLARE_LOGGING_CATEGORY(lcScore)      // "karaoke.score": each song's singing score (`Score = 1`)

// The line of a song that was passed over instead of played: its number,
// its file and why (the media engine's reason, or a file that is gone).
void log_skipped_song(const QString& number, const QString& path, const QString& reason);
