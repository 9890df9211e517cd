#include "foundation/startup.h"

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/lookups.h"
#include "foundation/settings_file.h"

void init_system(AppState& state) {
    state.twips_per_pixel = 15;
    state.lines_per_page = 8;
    state.app_folder = state.program_folder + "/";
    state.db_path = state.app_folder + "karaoke.db";
    state.kind_names = song_kind_names();
    load_settings(state);
    prepare_catalogue(state.db_path);
    state.sound_channel_names = {"", "中", "左", "右"};
}
