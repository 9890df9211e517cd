#include "manager/shared_media_files.h"

#include "foundation/catalogue_operations.h"
#include "foundation/lookups.h"
#include "platform/file_system.h"

#include <QFileInfo>

bool same_file(const QString& one, const QString& other) {
    if (one == other) return true;
    const QString canonical = QFileInfo(one).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(other).canonicalFilePath();
}

bool delete_unplayed_media_file(const QString& path, const QString& except_number, const QString& db_path) {
    const Recordset players = songs_at_location_except(shared_session(db_path), path, except_number);
    return !players.Eof() || delete_file(path);
}
