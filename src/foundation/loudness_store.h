#pragma once

// The loudness of every media file the catalogue's songs play, measured
// once per file and kept in a table of its own (media_loudness) beside the
// songs, on either store. A file is known by its path, size and time of
// change: a file changed or replaced since is measured again.

#include "foundation/catalogue_session.h"
#include "platform/loudness_meter.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

struct AppState;

// The table as both stores make it (at start-up's preparation), then give
// it the column of the side heard when it lacks it (tables of the first
// version, and new ones), in the same transaction.
extern const char* const kMediaLoudnessTable;
extern const char* const kMediaLoudnessSideColumn;

struct MediaFileStamp {
    QString path;
    std::int64_t size = 0;
    std::int64_t modified_ms = 0;  // since the epoch
};

// The file at `path` as it is now; nothing when there is none.
std::optional<MediaFileStamp> media_file_stamp(const QString& path);

// What the stored measurement of a file says.
struct StoredLoudness {
    // Nothing for a file whose sound could not be decoded: it is not tried
    // again until it changes.
    std::optional<MeasuredLoudness> loudness;
};

// The measurement of the file as stamped and as heard (the side of media of
// one stereo stream), or nothing when it was never measured so or has
// changed since.
std::optional<StoredLoudness> stored_loudness(CatalogueSession& session, const MediaFileStamp& file,
                                              StereoSide heard = StereoSide::both);
// Keeps a file's measurement (nothing: it could not be decoded), in place of
// any earlier one of that path.
void store_loudness(CatalogueSession& session, const MediaFileStamp& file,
                    const std::optional<MeasuredLoudness>& loudness);

// The gain (dB) that plays the file at the common level, or nothing when
// it is not measured as it is now (the song then plays as it is).
std::optional<double> stored_playback_gain_db(CatalogueSession& session, const QString& path,
                                              StereoSide heard = StereoSide::both);

// The side of media of one stereo stream a song starts with in this room:
// one side on both speakers with StereoChannel = 1, else both as recorded.
StereoSide heard_stereo_side(const AppState& state);

// The gain a song's file plays with: with Loudness = 1 in Setting.ini its
// measured gain; 0 (as recorded) otherwise, for a file not measured as it
// is now, and when the catalogue cannot tell.
double song_playback_gain_db(const AppState& state, const QString& path);

// Every file the catalogue's songs play, each once, in song number order.
QStringList song_media_files(CatalogueSession& session);
