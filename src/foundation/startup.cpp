#include "foundation/startup.h"

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/lookups.h"
#include "foundation/settings_file.h"

void init_system(AppState& state) {
    state.twips_per_pixel = 15;
    state.lines_per_page = 8;
    state.app_folder = state.program_folder + "/";
    state.kind_names = song_kind_names();
    load_settings(state);
    // A venue's rooms share the catalogue on a server; one jukebox keeps its own file.
    const QString server = state.settings.CatalogueServer.trimmed();
    state.db_path = server.isEmpty() ? state.app_folder + "karaoke.db" : server;
    prepare_catalogue(state.db_path);
    state.sound_channel_names = {"", "中", "左", "右"};
}
