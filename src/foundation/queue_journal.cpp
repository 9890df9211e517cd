#include "foundation/queue_journal.h"

#include "foundation/app_state.h"
#include "platform/durable_file.h"
#include "platform/log.h"

#include <QCryptographicHash>
#include <QFile>
#include <QtEndian>

namespace {

const QByteArray kMagic = "KARAOKE QUEUE JOURNAL\n";
constexpr quint32 kVersion = 1;
constexpr auto kChecksum = QCryptographicHash::Sha1;
constexpr qsizetype kChecksumBytes = 20;
// Magic, version and the length of the entries that follow.
const qsizetype kHeaderBytes = kMagic.size() + 8;

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

void write_queue_journal(const AppState& state) {
    if (!replace_file_durably(queue_journal_path(state), queue_journal_bytes(state.play_queue)))
        qCWarning(lcPlayback).noquote() << "queue journal not written:" << queue_journal_path(state);
}

}  // namespace

QString queue_journal_path(const AppState& state) {
    return state.program_folder + "/PlayQueue.journal";
}

QByteArray queue_journal_bytes(const PlayQueue& queue) {
    QByteArray entries;
    append_u32(entries, quint32(queue.size()));
    for (int slot = 0; slot < queue.size(); ++slot) {
        append_text(entries, queue.number_at(slot));
        append_text(entries, queue.display_at(slot));
        append_text(entries, queue.media_path_at(slot));
    }
    QByteArray journal = kMagic;
    append_u32(journal, kVersion);
    append_u32(journal, quint32(entries.size()));
    journal.append(entries);
    journal.append(QCryptographicHash::hash(journal, kChecksum));
    return journal;
}

std::optional<PlayQueue> read_queue_journal(const QByteArray& bytes, QString* problem) {
    if (!bytes.startsWith(kMagic))
        return fail(problem, kMagic.startsWith(bytes) ? "cut short" : "not a queue journal");
    if (bytes.size() < kHeaderBytes) return fail(problem, "cut short");
    const quint32 version = qFromLittleEndian<quint32>(bytes.constData() + kMagic.size());
    if (version > kVersion) return fail(problem, QString("written by a newer version (%1)").arg(version));
    if (version != kVersion) return fail(problem, "not a queue journal");
    const qint64 entry_bytes = qFromLittleEndian<quint32>(bytes.constData() + kMagic.size() + 4);
    const qint64 checked_bytes = kHeaderBytes + entry_bytes;
    if (bytes.size() < checked_bytes + kChecksumBytes) return fail(problem, "cut short");
    const QByteArrayView checked(bytes.constData(), checked_bytes);
    if (bytes.size() > checked_bytes + kChecksumBytes ||
        QCryptographicHash::hash(checked, kChecksum) != bytes.sliced(checked_bytes))
        return fail(problem, "damaged");
    std::optional<PlayQueue> queue = read_entries(checked.sliced(kHeaderBytes));
    return queue ? queue : fail(problem, "damaged");
}

int resume_queue_journal(AppState& state) {
    QFile journal(queue_journal_path(state));
    int restored = 0;
    if (journal.open(QIODevice::ReadOnly)) {
        restored = restore_queue(state, journal.readAll());
        journal.close();
        // What came back, without what was dropped, is the queue from now on.
        write_queue_journal(state);
    }
    state.play_queue.on_change([&state] { write_queue_journal(state); });
    return restored;
}

void close_queue_journal(AppState& state) {
    state.play_queue.on_change({});
    if (!remove_file_durably(queue_journal_path(state)))
        qCWarning(lcPlayback).noquote() << "queue journal not removed:" << queue_journal_path(state);
}
