#pragma once

// Deleting songs' media files that several song numbers may share (a song
// registered twice, a replaced song whose file another number kept).

#include <QString>

// Whether two paths name one file, also when spelled differently (through a
// link, with "..").
bool same_file(const QString& one, const QString& other);

// Deletes a media file unless a stored song other than those numbered
// `except_number` still plays it. A file already gone counts as deleted.
// False only when an unplayed file could not be deleted. Throws
// DatabaseError.
bool delete_unplayed_media_file(const QString& path, const QString& except_number, const QString& db_path);
