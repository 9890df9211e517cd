#pragma once

// The catalogue's two tables, defined once for both stores.

#include <array>
#include <string>

enum class StoreKind { File, Server };

struct TableColumn {
    const char* name;
    const char* type;  // nullptr for the singer's key, which each store declares its own way
};

inline constexpr std::array<TableColumn, 7> kSongColumns{{{"song_num", "TEXT"},
                                                          {"song_kind", "INTEGER"},
                                                          {"song_name", "TEXT"},
                                                          {"song_text_count", "INTEGER"},
                                                          {"song_singer_code", "INTEGER"},
                                                          {"song_build_date", "TEXT"},
                                                          {"song_location", "TEXT"}}};

inline constexpr std::array<TableColumn, 3> kSingerColumns{
    {{"singer_code", nullptr}, {"singer_name", "TEXT"}, {"singer_sex", "INTEGER"}}};

// "CREATE TABLE song (...);CREATE TABLE singer (...);" as the store writes
// it, with IF NOT EXISTS when asked. The tables declare no collation: the
// statements that sort names ask for the stroke order themselves, so the
// file answers in any SQLite tool.
std::string create_tables_sql(StoreKind kind, bool if_not_exists);
