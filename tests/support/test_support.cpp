#include "support/test_support.h"

TempFolder::TempFolder() : dir_(QDir::tempPath() + "/karaoke-test-XXXXXX") {}

QString TempFolder::path() const {
    return dir_.path() + "/";
}

std::unique_ptr<AppState> make_test_state(const TempFolder& folder) {
    return make_test_state(folder.path().chopped(1));
}

std::unique_ptr<AppState> make_test_state(const QString& program_folder) {
    auto state = std::make_unique<AppState>();
    state->clock = Clock(kTestSpeedup);
    state->program_folder = program_folder;
    state->app_folder = program_folder + "/";
    state->db_path = state->app_folder + "karaoke.db";
    return state;
}

namespace {
LogLines* current_log = nullptr;
}  // namespace

LogLines::LogLines() : previous_(qInstallMessageHandler(&LogLines::keep)) {
    current_log = this;
}

LogLines::~LogLines() {
    current_log = nullptr;
    qInstallMessageHandler(previous_);
}

void LogLines::keep(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const QString category = QString::fromUtf8(context.category ? context.category : "");
    if (current_log && category.startsWith("karaoke."))
        current_log->lines_.append(category + ": " + message);
    else if (current_log && current_log->previous_)
        current_log->previous_(type, context, message);
}

QStringList LogLines::of(const QString& category) const {
    QStringList lines;
    for (const QString& line : lines_)
        if (line.startsWith(category + ": ")) lines.append(line.mid(category.size() + 2));
    return lines;
}
