#include "foundation/song_orders.h"

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/lookups.h"

int add_song_to_queue(AppState& state, const QString& song_num) {
    Recordset song =
        open_recordset("SELECT * FROM song WHERE song_num = '" + sql_quoted(song_num) + "'", state.db_path);
    if (song.Eof()) return -1;
    // Only the first row counts when several songs share the number.
    const QString display_text =
        song.Field("song_name") + "--" + get_singer_name(state, song.FieldInt("song_singer_code"));
    return state.play_queue.append(song.Field("song_num"), display_text, song.Field("song_location"));
}
