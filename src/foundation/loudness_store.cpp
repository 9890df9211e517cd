#include "foundation/loudness_store.h"

#include "foundation/app_state.h"
#include "foundation/catalogue_operations.h"

#include <QDateTime>
#include <QFileInfo>

#include <cmath>

// Loudness and peak are kept in hundredths of a dB, as whole numbers: both
// stores bind and read those exactly, and no measurement is finer.
const char* const kMediaLoudnessTable = R"sql(
CREATE TABLE IF NOT EXISTS media_loudness (
    path TEXT PRIMARY KEY,
    size BIGINT NOT NULL,
    modified_ms BIGINT NOT NULL,
    state INTEGER NOT NULL,
    lufs_hundredths INTEGER,
    true_peak_hundredths INTEGER
);
)sql";

// heard_side: 0 when the side made no difference (not one stereo stream, or
// undecodable), else 1 + StereoSide; its default only lets ADD COLUMN add a
// NOT NULL column. The rows of the earlier meter (a mono sound as one
// channel, the first of three streams) are measured again.
const char* const kMediaLoudnessSideColumn = R"sql(
DELETE FROM media_loudness;
ALTER TABLE media_loudness ADD COLUMN heard_side INTEGER NOT NULL DEFAULT 1;
)sql";

namespace {

// media_loudness.state
constexpr std::int64_t kMeasured = 1;
constexpr std::int64_t kUndecodable = 2;

constexpr std::int64_t kAnySide = 0;

std::int64_t side_number(StereoSide side) {
    return 1 + static_cast<std::int64_t>(side);
}

std::int64_t hundredths(double decibels) {
    return std::llround(decibels * 100);
}

double from_hundredths(const Recordset& row, std::string_view column) {
    return row.FieldInt(column) / 100.0;
}

}  // namespace

std::optional<MediaFileStamp> media_file_stamp(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile()) return std::nullopt;
    return MediaFileStamp{path, info.size(), info.lastModified().toMSecsSinceEpoch()};
}

std::optional<StoredLoudness> stored_loudness(CatalogueSession& session, const MediaFileStamp& file,
                                              StereoSide heard) {
    const Recordset row = session.rows(
        StoreStatement("SELECT state, lufs_hundredths, true_peak_hundredths, heard_side FROM media_loudness"
                       " WHERE path = $1 AND size = $2 AND modified_ms = $3 AND heard_side IN ($4, $5)"),
        {file.path, file.size, file.modified_ms, kAnySide, side_number(heard)});
    if (row.Eof()) return std::nullopt;
    if (row.FieldInt("state") != kMeasured) return StoredLoudness{};
    MeasuredLoudness loudness{from_hundredths(row, "lufs_hundredths"),
                              from_hundredths(row, "true_peak_hundredths"), std::nullopt};
    if (row.FieldInt("heard_side") != kAnySide) loudness.side = heard;
    return StoredLoudness{loudness};
}

void store_loudness(CatalogueSession& session, const MediaFileStamp& file,
                    const std::optional<MeasuredLoudness>& loudness) {
    CatalogueValues values{
        file.path,        file.size,        file.modified_ms, loudness ? kMeasured : kUndecodable,
        std::monostate{}, std::monostate{}, kAnySide};
    if (loudness) {
        values[4] = hundredths(loudness->integrated_lufs);
        values[5] = hundredths(loudness->true_peak_dbtp);
        if (loudness->side) values[6] = side_number(*loudness->side);
    }
    session.run(
        StoreStatement(
            "INSERT INTO media_loudness (path, size, modified_ms, state, lufs_hundredths, "
            "true_peak_hundredths, heard_side)"
            " VALUES ($1, $2, $3, $4, $5, $6, $7)"
            " ON CONFLICT (path) DO UPDATE SET size = excluded.size, modified_ms = excluded.modified_ms,"
            " state = excluded.state, lufs_hundredths = excluded.lufs_hundredths,"
            " true_peak_hundredths = excluded.true_peak_hundredths, heard_side = excluded.heard_side"),
        values);
}

std::optional<double> stored_playback_gain_db(CatalogueSession& session, const QString& path,
                                              StereoSide heard) {
    const std::optional<MediaFileStamp> file = media_file_stamp(path);
    if (!file) return std::nullopt;
    const std::optional<StoredLoudness> stored = stored_loudness(session, *file, heard);
    if (!stored || !stored->loudness) return std::nullopt;
    return loudness_gain_db(*stored->loudness);
}

double song_playback_gain_db(const AppState& state, const QString& path) {
    if (state.settings.Loudness != 1) return 0;
    try {
        return stored_playback_gain_db(shared_session(state.db_path), path, heard_stereo_side(state))
            .value_or(0);
    } catch (const DatabaseError&) {
        // A catalogue out of reach (or one a read-only start could not give
        // the table) leaves the song as recorded; playing it is what matters.
        return 0;
    }
}

StereoSide heard_stereo_side(const AppState& state) {
    if (state.settings.StereoChannel != 1) return StereoSide::both;
    return stereo_side_of_channel(kStartingSoundChannel);
}

QStringList song_media_files(CatalogueSession& session) {
    QStringList files;
    for (Recordset songs = songs_with_files(session); !songs.Eof(); songs.MoveNext()) {
        const QString location = songs.Field("song_location");
        if (!location.isEmpty()) files << location;
    }
    files.removeDuplicates();
    return files;
}
