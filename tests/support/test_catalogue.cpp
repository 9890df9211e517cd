#include "support/test_catalogue.h"

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/lookups.h"

int add_test_singer(const AppState& state, const QString& name, int sex) {
    execute_sql("insert into singer(singer_name,singer_sex) values('" + sql_quoted(name) + "'," +
                    QString::number(sex) + ")",
                state.db_path);
    return open_recordset("SELECT max(singer_code) AS code FROM singer", state.db_path).FieldInt("code");
}

void add_test_song(const AppState& state, const QString& num, int kind, const QString& name, int singer_code,
                   const QString& location) {
    execute_sql(
        "insert into song(song_num,song_kind,song_name,song_text_count,song_singer_code,"
        "song_build_date,song_location) values('" +
            sql_quoted(num) + "'," + QString::number(kind) + ",'" + sql_quoted(name) + "'," +
            QString::number(name.size()) + "," + QString::number(singer_code) + ",'2024/05/01','" +
            sql_quoted(location) + "')",
        state.db_path);
}
