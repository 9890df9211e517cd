#include "foundation/song_orders.h"

#include "foundation/app_state.h"
#include "foundation/catalogue_operations.h"
#include "foundation/lookups.h"

int add_song_to_queue(AppState& state, const QString& song_num) {
    const Recordset song = songs_numbered(shared_session(state.db_path), song_num, 1);
    if (song.Eof()) return -1;
    // Only the first row counts when several songs share the number.
    const QString display_text =
        song.Field("song_name") + "--" + get_singer_name(state, song.FieldInt("song_singer_code"));
    return state.play_queue.append(song.Field("song_num"), display_text, song.Field("song_location"));
}
