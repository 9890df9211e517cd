#pragma once

#include <QString>

struct AppState;

// Fills a test's catalogue the way manager mode writes it.
// Returns the code the database gave the new singer.
int add_test_singer(const AppState& state, const QString& name, int sex = 0);
void add_test_song(const AppState& state, const QString& num, int kind, const QString& name, int singer_code,
                   const QString& location = "/songs/a.mpg");
