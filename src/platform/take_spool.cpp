#include "platform/take_spool.h"

#include "platform/durable_file.h"
#include "platform/log.h"
#include "platform/wave_file.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr auto kMostUnsynced = std::chrono::seconds(1);
}  // namespace

TakeSpool::~TakeSpool() {
    if (fd_ >= 0) ::close(fd_);
}

void TakeSpool::open() {
    if (path_.isEmpty() || fd_ >= 0) return;
    fd_ = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        qCWarning(lcCapture).noquote() << "take not kept on disk while recording:" << path_;
        return;
    }
    const QByteArray header = wave_header(0);
    if (!write_all_at(fd_, 0, header.constData(), header.size())) return give_up();
    end_ = header.size();
    sync();
    // The file's name must outlive a power cut as well as its samples.
    sync_folder_of(path_);
}

void TakeSpool::append(const char* frames, qsizetype bytes) {
    if (fd_ < 0) return;
    if (!write_all_at(fd_, end_, frames, bytes)) return give_up();
    end_ += bytes;
    if (std::chrono::steady_clock::now() - last_sync_ >= kMostUnsynced) sync();
}

void TakeSpool::sync() {
    if (fd_ < 0) return;
    ::fdatasync(fd_);
    last_sync_ = std::chrono::steady_clock::now();
}

void TakeSpool::remove() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!path_.isEmpty() && QFile::exists(path_)) remove_file_durably(path_);
}

void TakeSpool::give_up() {
    qCWarning(lcCapture).noquote() << "take no longer kept on disk while recording:" << path_;
    ::close(fd_);
    fd_ = -1;
}
