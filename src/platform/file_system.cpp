#include "platform/file_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

namespace {

// Plain code-unit order, the order the screens promise.
QStringList sorted_by_codes(QStringList names) {
    std::sort(names.begin(), names.end());
    return names;
}

QString without_trailing_slashes(QString path) {
    while (path.size() > 1 && path.endsWith('/')) path.chop(1);
    return path;
}

}  // namespace

FolderListing list_folder(const QString& folder) {
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists()) return {};
    return {sorted_by_codes(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)),
            sorted_by_codes(dir.entryList(QDir::Files))};
}

bool folder_exists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString parent_folder(const QString& folder) {
    return QFileInfo(QDir::cleanPath(folder)).path();
}

QString join_path(const QString& folder, const QString& name) {
    return folder.endsWith('/') ? folder + name : folder + "/" + name;
}

bool same_folder(const QString& a, const QString& b) {
    return without_trailing_slashes(a).compare(without_trailing_slashes(b), Qt::CaseInsensitive) == 0;
}

bool is_inside_folder(const QString& path, const QString& folder) {
    const QString root = without_trailing_slashes(folder);
    if (root.isEmpty()) return false;
    // "/media/cdrom0" is not inside "/media/cdrom": the match must end at a "/".
    return same_folder(path, root) || path.startsWith(root == "/" ? root : root + "/", Qt::CaseInsensitive);
}

QString base_name(const QString& path) {
    return QFileInfo(path).completeBaseName();
}

QDateTime file_creation_time(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return {};
    const QDateTime born = info.birthTime();
    return born.isValid() ? born : info.lastModified();
}

bool delete_file(const QString& path) {
    QFile file(path);
    // Unix lets the folder's owner unlink a read-only file anyway; giving the
    // file write permission first also covers file systems that refuse it.
    file.setPermissions(file.permissions() | QFile::WriteOwner);
    return file.remove() || !QFileInfo::exists(path);
}

QImage load_picture(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    return reader.read();
}
