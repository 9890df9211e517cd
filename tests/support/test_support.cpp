#include "support/test_support.h"

TempFolder::TempFolder() : dir_(QDir::tempPath() + "/karaoke-test-XXXXXX") {}

QString TempFolder::path() const {
    return dir_.path() + "/";
}

std::unique_ptr<AppState> make_test_state(const TempFolder& folder) {
    auto state = std::make_unique<AppState>();
    state->clock = Clock(kTestSpeedup);
    state->program_folder = folder.path().chopped(1);
    state->app_folder = folder.path();
    state->db_path = folder.file("karaoke.db");
    return state;
}
