#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>

// The folder and file operations of the browsing screens. Paths use "/".

// What a folder holds, each list sorted by character codes. Hidden entries
// (names starting with ".") are left out, as a file manager would.
struct FolderListing {
    QStringList subfolders;
    QStringList files;
};

// A folder that is missing or cannot be read (a drive without a disc) lists
// as empty: the screens show an empty listing, never an error.
FolderListing list_folder(const QString& folder);

bool folder_exists(const QString& path);

// The folder that holds `folder` ("/" stays "/").
QString parent_folder(const QString& folder);

// `folder` + "/" + `name`, without doubling a "/" the folder already ends in.
QString join_path(const QString& folder, const QString& name);

// Whether two paths name the same folder, ignoring case and trailing "/".
bool same_folder(const QString& a, const QString& b);

// Whether `path` is `folder` itself or lies inside it (ignoring case).
bool is_inside_folder(const QString& path, const QString& folder);

// The file name without its folder and without its last extension.
QString base_name(const QString& path);

// When the file was made: its birth time where the file system keeps one
// (statx on Linux), otherwise its last modification. Invalid when missing.
QDateTime file_creation_time(const QString& path);

// Deletes a file, also a read-only one. Returns whether it is gone.
bool delete_file(const QString& path);

// Reads a picture by its content, whatever case its extension has. A null
// image when the file is no picture Qt can read.
QImage load_picture(const QString& path);
