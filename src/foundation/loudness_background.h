#pragma once

// Measures songs' loudness in the background while the jukebox has the
// machine to spare, decoding at the lowest priority: first the files the
// registering windows have just stored, then, while the main menu sits idle
// with no song playing, every file of the catalogue not measured as it is
// now. Nothing is measured while a song plays: the decoding in hand is given
// up at once and its file taken up again later.

#include "platform/loudness_meter.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

struct AppState;
class CatalogueSession;

// Where the jukebox is, as far as the measurement cares.
enum class JukeboxActivity {
    AwayFromMenu,  // manager mode: only just registered files are measured
    IdleOnMenu,    // the main menu with nothing playing: the whole catalogue
    SongPlaying,   // nothing
};

class BackgroundLoudness {
public:
    // Measures one file; gives up (with any result) once `stop` is set.
    using Meter =
        std::function<std::optional<MeasuredLoudness>(const QString& path, const std::atomic<bool>& stop)>;

    // `meter` is the real measurement unless a test brings its own; files
    // are measured as heard with `heard` (see measure_loudness).
    explicit BackgroundLoudness(Meter meter = {}, StereoSide heard = StereoSide::both);
    ~BackgroundLoudness();  // gives up the file in hand and waits for the worker
    BackgroundLoudness(const BackgroundLoudness&) = delete;
    BackgroundLoudness& operator=(const BackgroundLoudness&) = delete;

    // Files whose songs were just stored in the catalogue at `place`.
    void measure_registered(const QString& place, const QStringList& files);
    // Tells where the jukebox is; a change to IdleOnMenu looks through the
    // catalogue at `place` afresh.
    void set_activity(const QString& place, JukeboxActivity activity);

    // Files whose measurement was stored so far.
    int files_stored() const { return files_stored_; }
    // The worker waits with nothing it may do now.
    bool resting() const;

private:
    struct Task {
        QString place;
        QString path;
        bool registered;  // else found by the catalogue's look-through
    };

    void work(const std::stop_token& stop);
    std::optional<Task> next_task(const std::stop_token& stop);
    bool has_allowed_task() const;
    std::optional<Task> allowed_task();
    bool still_allowed(const Task& task) const;
    void measure(const Task& task);
    std::optional<MeasuredLoudness> decode_at_idle_priority(const QString& path);
    void give_back(const Task& task);
    QStringList catalogue_files(const QString& place);
    CatalogueSession& session_for(const QString& place);

    Meter meter_;
    const StereoSide heard_;
    mutable std::mutex guard_;
    std::condition_variable_any wake_;
    JukeboxActivity activity_ = JukeboxActivity::AwayFromMenu;
    QString catalogue_place_;
    bool look_through_wanted_ = false;
    std::deque<Task> registered_;
    std::deque<Task> catalogue_files_;
    std::optional<Task> in_hand_;
    bool resting_ = false;
    // Set when the file in hand may no longer be measured: its decoding
    // ends early and its result is thrown away.
    std::atomic<bool> stop_file_ = false;
    std::atomic<int> files_stored_ = 0;

    // The worker's own connection, used by the worker alone.
    std::unique_ptr<CatalogueSession> session_;
    QString session_place_;

    std::jthread worker_;  // last: it starts once everything above exists
};

// The jukebox's background measurement, made on first use; null unless
// Setting.ini has Loudness = 1.
BackgroundLoudness* background_loudness(AppState& state);

// Hands the files a registering window has just stored to the background
// measurement (with Loudness = 1 only).
void measure_registered_files(AppState& state, const QStringList& files);
// Tells the background measurement where the jukebox is (Loudness = 1 only).
void note_jukebox_activity(AppState& state, JukeboxActivity activity);
