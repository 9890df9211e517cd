#include "foundation/loudness_measurement.h"

#include "foundation/loudness_store.h"
#include "platform/midi_renderer.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

enum class Outcome { Measured, Undecodable, MeasuredBefore, Missing };

// What the workers share: the next file to take, and the counts.
class Run {
public:
    Run(const QStringList& files, const std::function<void(int, int)>& progress, StereoSide heard)
        : files_(files), progress_(progress), heard_(heard) {}

    // Takes files until none is left, or the catalogue fails (every worker
    // then stops: the others would fail as well).
    void work(const QString& place) {
        try {
            const std::unique_ptr<CatalogueSession> session = own_session(place);
            for (qsizetype index = next_++; index < files_.size(); index = next_++)
                count(measure_file(*session, files_[index]));
        } catch (const DatabaseError& error) {
            const std::lock_guard lock(catalogue_guard_);
            if (!failure_) failure_ = error;
            next_ = files_.size();
        }
    }

    // The counts, or the catalogue's failure.
    LoudnessRunCounts counts() const {
        if (failure_) throw *failure_;
        return counts_;
    }

private:
    // The file catalogue takes one writer at a time: the workers reach it in
    // turn (a moment each, against seconds of decoding) rather than wait for
    // each other in SQLite's busy handler.
    Outcome measure_file(CatalogueSession& session, const QString& path) {
        const std::optional<MediaFileStamp> file = media_file_stamp(path);
        if (!file) return Outcome::Missing;
        {
            const std::lock_guard lock(catalogue_guard_);
            if (stored_loudness(session, *file, heard_)) return Outcome::MeasuredBefore;
        }
        const std::optional<MeasuredLoudness> loudness = measure_loudness(path, kDefaultSoundfont, heard_);
        const std::lock_guard lock(catalogue_guard_);
        store_loudness(session, *file, loudness);
        return loudness ? Outcome::Measured : Outcome::Undecodable;
    }

    void count(Outcome outcome) {
        const std::lock_guard lock(count_guard_);
        switch (outcome) {
            case Outcome::Measured:
                ++counts_.measured;
                break;
            case Outcome::Undecodable:
                ++counts_.undecodable;
                break;
            case Outcome::MeasuredBefore:
                ++counts_.measured_before;
                break;
            case Outcome::Missing:
                ++counts_.missing;
                break;
        }
        const int done = counts_.measured + counts_.undecodable + counts_.measured_before + counts_.missing;
        if (progress_) progress_(done, static_cast<int>(files_.size()));
    }

    const QStringList& files_;
    const std::function<void(int, int)>& progress_;
    const StereoSide heard_;
    std::atomic<qsizetype> next_ = 0;
    std::mutex catalogue_guard_;
    std::mutex count_guard_;
    LoudnessRunCounts counts_;
    std::optional<DatabaseError> failure_;
};

}  // namespace

LoudnessRunCounts measure_unmeasured_files(const QString& place, const QStringList& files, int workers,
                                           const std::function<void(int done, int total)>& progress,
                                           StereoSide heard) {
    Run run(files, progress, heard);
    std::vector<std::jthread> threads;
    for (int i = 0; i < std::max(1, workers); ++i) threads.emplace_back([&run, &place] { run.work(place); });
    threads.clear();  // joins them
    return run.counts();
}
