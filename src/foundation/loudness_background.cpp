#include "foundation/loudness_background.h"

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/loudness_store.h"
#include "platform/midi_renderer.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The decoding takes the processor only when nothing else wants it: a key
// on the main menu and the windows' work come first.
void lower_this_thread_priority() {
    sched_param none{};
    if (pthread_setschedparam(pthread_self(), SCHED_IDLE, &none) == 0) return;
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);  // where SCHED_IDLE is refused
}

}  // namespace

BackgroundLoudness::BackgroundLoudness(Meter meter, StereoSide heard)
    : meter_(meter ? std::move(meter) : Meter([heard](const QString& path, const std::atomic<bool>& stop) {
          return measure_loudness(path, kDefaultSoundfont, heard, &stop);
      })),
      heard_(heard),
      worker_([this](const std::stop_token& stop) { work(stop); }) {}

BackgroundLoudness::~BackgroundLoudness() {
    {
        // Under the lock, so that the worker cannot take a new file after it.
        const std::lock_guard lock(guard_);
        worker_.request_stop();
        stop_file_ = true;
    }
    worker_.join();
}

void BackgroundLoudness::measure_registered(const QString& place, const QStringList& files) {
    const std::lock_guard lock(guard_);
    for (const QString& path : files) registered_.push_back({place, path, true});
    wake_.notify_all();
}

void BackgroundLoudness::set_activity(const QString& place, JukeboxActivity activity) {
    const std::lock_guard lock(guard_);
    if (activity == activity_) return;
    if (activity == JukeboxActivity::IdleOnMenu) {
        catalogue_place_ = place;
        look_through_wanted_ = true;
    } else {
        // Taken up again from the start when the menu is idle next time:
        // the catalogue may have changed meanwhile.
        look_through_wanted_ = false;
        catalogue_files_.clear();
    }
    activity_ = activity;
    if (in_hand_ && !still_allowed(*in_hand_)) stop_file_ = true;
    wake_.notify_all();
}

bool BackgroundLoudness::resting() const {
    const std::lock_guard lock(guard_);
    return resting_;
}

void BackgroundLoudness::work(const std::stop_token& stop) {
    while (const std::optional<Task> task = next_task(stop)) measure(*task);
    session_.reset();
}

std::optional<BackgroundLoudness::Task> BackgroundLoudness::next_task(const std::stop_token& stop) {
    std::unique_lock lock(guard_);
    in_hand_.reset();
    while (!stop.stop_requested()) {
        if (look_through_wanted_ && activity_ == JukeboxActivity::IdleOnMenu) {
            look_through_wanted_ = false;
            const QString place = catalogue_place_;
            lock.unlock();
            const QStringList files = catalogue_files(place);
            lock.lock();
            if (activity_ == JukeboxActivity::IdleOnMenu)
                for (const QString& path : files) catalogue_files_.push_back({place, path, false});
            continue;
        }
        if ((in_hand_ = allowed_task())) {
            resting_ = false;
            stop_file_ = false;
            return in_hand_;
        }
        resting_ = true;
        wake_.wait(lock, stop, [this] { return has_allowed_task() || look_through_wanted_; });
    }
    return std::nullopt;
}

bool BackgroundLoudness::has_allowed_task() const {
    return (activity_ != JukeboxActivity::SongPlaying && !registered_.empty()) ||
           (activity_ == JukeboxActivity::IdleOnMenu && !catalogue_files_.empty());
}

std::optional<BackgroundLoudness::Task> BackgroundLoudness::allowed_task() {
    for (std::deque<Task>* tasks : {&registered_, &catalogue_files_}) {
        if (!tasks->empty() && still_allowed(tasks->front())) {
            Task task = std::move(tasks->front());
            tasks->pop_front();
            return task;
        }
    }
    return std::nullopt;
}

bool BackgroundLoudness::still_allowed(const Task& task) const {
    if (activity_ == JukeboxActivity::SongPlaying) return false;
    return task.registered || activity_ == JukeboxActivity::IdleOnMenu;
}

// A file measured as it is now is passed over in a moment; a catalogue
// that fails leaves the file to the next look-through (the session has
// logged the failure).
void BackgroundLoudness::measure(const Task& task) {
    const std::optional<MediaFileStamp> file = media_file_stamp(task.path);
    if (!file) return;
    try {
        CatalogueSession& session = session_for(task.place);
        if (stored_loudness(session, *file, heard_)) return;
        const std::optional<MeasuredLoudness> loudness = decode_at_idle_priority(task.path);
        if (stop_file_) {
            give_back(task);
            return;
        }
        store_loudness(session, *file, loudness);
        ++files_stored_;
    } catch (const DatabaseError&) {
        session_.reset();
    }
}

// On a thread of its own: a thread starved of the processor must never hold
// the catalogue, or the windows' writes would wait for it. The worker, which
// reaches the catalogue, keeps the ordinary priority and sleeps meanwhile.
std::optional<MeasuredLoudness> BackgroundLoudness::decode_at_idle_priority(const QString& path) {
    std::optional<MeasuredLoudness> loudness;
    std::thread([&] {
        lower_this_thread_priority();
        loudness = meter_(path, stop_file_);
    }).join();
    return loudness;
}

void BackgroundLoudness::give_back(const Task& task) {
    const std::lock_guard lock(guard_);
    if (task.registered) {
        registered_.push_front(task);
    } else if (activity_ == JukeboxActivity::IdleOnMenu) {
        catalogue_files_.push_front(task);
    }
}

QStringList BackgroundLoudness::catalogue_files(const QString& place) {
    try {
        return song_media_files(session_for(place));
    } catch (const DatabaseError&) {
        session_.reset();
        return {};
    }
}

CatalogueSession& BackgroundLoudness::session_for(const QString& place) {
    if (!session_ || session_place_ != place) {
        session_ = own_session(place);
        session_place_ = place;
    }
    return *session_;
}

BackgroundLoudness* background_loudness(AppState& state) {
    if (state.settings.Loudness != 1) return nullptr;
    if (!state.loudness_worker)
        state.loudness_worker =
            std::make_shared<BackgroundLoudness>(BackgroundLoudness::Meter{}, heard_stereo_side(state));
    return state.loudness_worker.get();
}

void measure_registered_files(AppState& state, const QStringList& files) {
    if (BackgroundLoudness* worker = background_loudness(state))
        worker->measure_registered(state.db_path, files);
}

void note_jukebox_activity(AppState& state, JukeboxActivity activity) {
    if (BackgroundLoudness* worker = background_loudness(state))
        worker->set_activity(state.db_path, activity);
}
