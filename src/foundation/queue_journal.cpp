#include "foundation/queue_journal.h"

#include "foundation/app_state.h"
#include "platform/durable_file.h"
#include "platform/log.h"

#include <QCryptographicHash>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <memory>

namespace {

const QByteArray kMagic = "KARAOKE QUEUE JOURNAL\n";
constexpr quint32 kVersion = 1;
// The header (magic, version, slot size) has a page of its own and a slot is
// a whole number of pages, so that writing one slot never touches the disk
// sectors of the header or of the other slot.
constexpr qsizetype kPageBytes = 4096;
// Magic, version and slot size.
const qsizetype kHeaderFieldBytes = kMagic.size() + 8;
// A slot starts with its sequence number and the length of its entries and
// ends with the SHA-1 of both and the entries.
constexpr qsizetype kSlotFrontBytes = 8 + 4;
constexpr auto kChecksum = QCryptographicHash::Sha1;
constexpr qsizetype kChecksumBytes = 20;
// Room for about 500 songs before the file has to be made anew.
constexpr qsizetype kFirstSlotBytes = 64 * 1024;
// More than the longest queue needs: a larger size is not this program's.
constexpr qsizetype kMostSlotBytes = 64 * 1024 * 1024;

void append_u32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void append_text(QByteArray& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    append_u32(out, quint32(utf8.size()));
    out.append(utf8);
}

QByteArray entries_of(const PlayQueue& queue) {
    QByteArray entries;
    append_u32(entries, quint32(queue.size()));
    for (int slot = 0; slot < queue.size(); ++slot) {
        append_text(entries, queue.number_at(slot));
        append_text(entries, queue.display_at(slot));
        append_text(entries, queue.media_path_at(slot));
    }
    return entries;
}

// Reads the entries' part front to back; any read past its end fails it.
class EntryReader {
public:
    explicit EntryReader(QByteArrayView bytes) : bytes_(bytes) {}

    std::optional<quint32> u32() {
        if (bytes_.size() - next_ < 4) return std::nullopt;
        const quint32 value = qFromLittleEndian<quint32>(bytes_.data() + next_);
        next_ += 4;
        return value;
    }
    std::optional<QString> text() {
        const auto length = u32();
        if (!length || bytes_.size() - next_ < qsizetype(*length)) return std::nullopt;
        const QString value = QString::fromUtf8(bytes_.sliced(next_, *length));
        next_ += *length;
        return value;
    }
    bool at_end() const { return next_ == bytes_.size(); }

private:
    QByteArrayView bytes_;
    qsizetype next_ = 0;
};

std::optional<PlayQueue> read_entries(QByteArrayView entries) {
    EntryReader reader(entries);
    const auto count = reader.u32();
    if (!count || *count > quint32(PlayQueue::kCapacity)) return std::nullopt;
    PlayQueue queue;
    for (quint32 i = 0; i < *count; ++i) {
        const auto number = reader.text();
        const auto display_text = reader.text();
        const auto media_path = reader.text();
        if (!number || !display_text || !media_path || queue.append(*number, *display_text, *media_path) < 0)
            return std::nullopt;
    }
    if (!reader.at_end()) return std::nullopt;
    return queue;
}

qint64 slot_offset(quint64 sequence, qsizetype slot_bytes) {
    return kPageBytes + qint64(sequence % 2) * slot_bytes;
}

// What one slot holds after the change numbered `sequence`.
QByteArray slot_content(quint64 sequence, const QByteArray& entries) {
    QByteArray content(8, Qt::Uninitialized);
    qToLittleEndian(sequence, content.data());
    append_u32(content, quint32(entries.size()));
    content.append(entries);
    content.append(QCryptographicHash::hash(content, kChecksum));
    return content;
}

// The whole file, made anew: `content` in its slot, the other slot empty.
// Every byte is written, so the file's blocks are all there and later
// writes in place change nothing but data.
QByteArray new_journal_file(qsizetype slot_bytes, quint64 sequence, const QByteArray& content) {
    QByteArray file = kMagic;
    append_u32(file, kVersion);
    append_u32(file, quint32(slot_bytes));
    file.resize(kPageBytes + 2 * slot_bytes, '\0');
    file.replace(slot_offset(sequence, slot_bytes), content.size(), content);
    return file;
}

struct KeptQueue {
    quint64 sequence;
    PlayQueue queue;
};

// The queue in the slot starting at `offset`, when the slot is whole.
std::optional<KeptQueue> read_slot(QByteArrayView file, qint64 offset, qsizetype slot_bytes) {
    if (file.size() < offset + kSlotFrontBytes) return std::nullopt;
    const QByteArrayView slot = file.sliced(offset, std::min<qint64>(slot_bytes, file.size() - offset));
    const qint64 checked_bytes = kSlotFrontBytes + qFromLittleEndian<quint32>(slot.data() + 8);
    if (slot.size() < checked_bytes + kChecksumBytes) return std::nullopt;
    const QByteArrayView checked = slot.first(checked_bytes);
    if (QCryptographicHash::hash(checked, kChecksum) != slot.sliced(checked_bytes, kChecksumBytes))
        return std::nullopt;
    std::optional<PlayQueue> queue = read_entries(checked.sliced(kSlotFrontBytes));
    if (!queue) return std::nullopt;
    return KeptQueue{qFromLittleEndian<quint64>(slot.data()), std::move(*queue)};
}

std::optional<PlayQueue> fail(QString* problem, const QString& text) {
    if (problem) *problem = text;
    return std::nullopt;
}

// A restored song plays from the file it was ordered with; one that is gone
// is dropped the way the player drops a file it cannot open. An entry without
// a file asks the catalogue when it plays, as it always did.
bool still_playable(const PlayQueue& queue, int slot) {
    const QString path = queue.media_path_at(slot);
    if (path.isEmpty() || QFile::exists(path)) return true;
    log_skipped_song(queue.number_at(slot), path, "no such file");
    return false;
}

int restore_queue(AppState& state, const QByteArray& journal) {
    QString problem;
    const std::optional<PlayQueue> kept = read_queue_journal(journal, &problem);
    if (!kept) {
        qCWarning(lcPlayback).noquote() << "queue journal not restored:" << problem;
        return 0;
    }
    for (int slot = 0; slot < kept->size(); ++slot)
        if (still_playable(*kept, slot))
            state.play_queue.append(kept->number_at(slot), kept->display_at(slot), kept->media_path_at(slot));
    return state.play_queue.size();
}

// Writes the queue at every change, into the slot that does not hold the
// newest queue, on a file kept open from the first change to the program's
// exit: one flush of the disk per change.
class JournalWriter {
public:
    explicit JournalWriter(QString path) : path_(std::move(path)) {}

    void write(const PlayQueue& queue) {
        const QByteArray content = slot_content(sequence_ + 1, entries_of(queue));
        const bool fits = file_.is_open() && content.size() <= slot_bytes_;
        if (fits ? file_.write_at(slot_offset(sequence_ + 1, slot_bytes_), content) : make_file(content)) {
            ++sequence_;
            return;
        }
        // A failed write may have torn its slot: the next change makes the
        // file anew rather than trust it.
        file_.close();
        qCWarning(lcPlayback).noquote() << "queue journal not written:" << path_;
    }

private:
    // The first change of a run, or a queue grown too long for its slot: the
    // file is made anew, whole, with slots of twice the room it needs.
    bool make_file(const QByteArray& content) {
        slot_bytes_ =
            std::max(kFirstSlotBytes, (2 * content.size() + kPageBytes - 1) / kPageBytes * kPageBytes);
        return replace_file_durably(path_, new_journal_file(slot_bytes_, sequence_ + 1, content)) &&
               file_.open(path_);
    }

    QString path_;
    InPlaceFile file_;
    qsizetype slot_bytes_ = 0;
    quint64 sequence_ = 0;
};

}  // namespace

QString queue_journal_path(const AppState& state) {
    return state.program_folder + "/PlayQueue.journal";
}

std::optional<PlayQueue> read_queue_journal(QByteArrayView bytes, QString* problem) {
    if (!bytes.startsWith(kMagic))
        return fail(problem, QByteArrayView(kMagic).startsWith(bytes) ? "cut short" : "not a queue journal");
    if (bytes.size() < kHeaderFieldBytes) return fail(problem, "cut short");
    const quint32 version = qFromLittleEndian<quint32>(bytes.data() + kMagic.size());
    if (version > kVersion) return fail(problem, QString("written by a newer version (%1)").arg(version));
    if (version != kVersion) return fail(problem, "not a queue journal");
    const qsizetype slot_bytes = qFromLittleEndian<quint32>(bytes.data() + kMagic.size() + 4);
    if (slot_bytes % kPageBytes != 0 || slot_bytes == 0 || slot_bytes > kMostSlotBytes)
        return fail(problem, "damaged");
    std::optional<KeptQueue> first = read_slot(bytes, slot_offset(0, slot_bytes), slot_bytes);
    std::optional<KeptQueue> second = read_slot(bytes, slot_offset(1, slot_bytes), slot_bytes);
    if (first && (!second || first->sequence > second->sequence)) return std::move(first->queue);
    if (second) return std::move(second->queue);
    return fail(problem, bytes.size() < kPageBytes + 2 * slot_bytes ? "cut short" : "damaged");
}

int resume_queue_journal(AppState& state) {
    auto writer = std::make_shared<JournalWriter>(queue_journal_path(state));
    QFile journal(queue_journal_path(state));
    int restored = 0;
    if (journal.open(QIODevice::ReadOnly)) {
        restored = restore_queue(state, journal.readAll());
        journal.close();
        // What came back, without what was dropped, is the queue from now on.
        writer->write(state.play_queue);
    }
    state.play_queue.on_change([&state, writer] { writer->write(state.play_queue); });
    return restored;
}

void close_queue_journal(AppState& state) {
    // Dropping the writer closes the file before it goes.
    state.play_queue.on_change({});
    if (!remove_file_durably(queue_journal_path(state)))
        qCWarning(lcPlayback).noquote() << "queue journal not removed:" << queue_journal_path(state);
}
