#include "platform/durable_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool write_synced_file(const QByteArray& path, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = write_all_at(fd, 0, bytes.constData(), bytes.size()) && ::fsync(fd) == 0;
    return ::close(fd) == 0 && written;
}

}  // namespace

bool sync_folder_of(const QString& path) {
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool replace_file_durably(const QString& path, const QByteArray& bytes) {
    const QByteArray target = QFile::encodeName(path);
    const QByteArray beside = target + ".new";
    if (!write_synced_file(beside, bytes) || ::rename(beside.constData(), target.constData()) != 0) {
        ::unlink(beside.constData());
        return false;
    }
    return sync_folder_of(path);
}

bool write_all_at(int fd, qint64 offset, const char* bytes, qsizetype size) {
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, bytes, size_t(size), off_t(offset));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= written;
        offset += written;
    }
    return true;
}

bool remove_file_durably(const QString& path) {
    const QByteArray target = QFile::encodeName(path);
    if (::unlink(target.constData()) != 0 && errno != ENOENT) return false;
    return sync_folder_of(path);
}

bool InPlaceFile::open(const QString& path) {
    close();
    fd_ = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    return fd_ >= 0;
}

bool InPlaceFile::write_at(qint64 offset, const QByteArray& bytes) {
    return is_open() && write_all_at(fd_, offset, bytes.constData(), bytes.size()) && ::fdatasync(fd_) == 0;
}

void InPlaceFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}
