#include "support/test_catalogue.h"

#include "foundation/app_state.h"
#include "foundation/catalogue_operations.h"

int add_test_singer(const AppState& state, const QString& name, int sex) {
    add_singer(shared_session(state.db_path), name, sex);
    return open_recordset("SELECT max(singer_code) AS code FROM singer", state.db_path).FieldInt("code");
}

void add_test_song(const AppState& state, const QString& num, int kind, const QString& name, int singer_code,
                   const QString& location) {
    add_song(shared_session(state.db_path),
             {num, kind, name, int(name.size()), singer_code, "2024/05/01", location});
}
