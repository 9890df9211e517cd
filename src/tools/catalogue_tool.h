#pragma once

// karaoke-catalogue: copies, counts and checks a catalogue, either a
// karaoke.db file or a catalogue server's URI, and measures the loudness of
// its songs.

#include <QStringList>

#include <functional>

struct CatalogueToolOutput {
    std::function<void(const QString&)> line;      // a line of the result (standard output)
    std::function<void(const QString&)> error;     // a line on standard error
    std::function<void(const QString&)> progress;  // the progress line, written over itself
};

// Exit statuses.
inline constexpr int kToolOk = 0;
inline constexpr int kToolFound = 1;   // check found problems, or copy refused a non-empty target
inline constexpr int kToolFailed = 2;  // bad arguments, or a catalogue that could not be used

// Runs the tool on its arguments (without the program name).
int run_catalogue_tool(const QStringList& arguments, const CatalogueToolOutput& output);
