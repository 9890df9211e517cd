#pragma once

// The demo library: a couple of dozen short karaoke clips that ffmpeg makes in
// the program folder, registered in its catalogue, so that a newcomer can sing
// on the first evening without media of their own.

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

struct DemoSinger {
    QString name;
    int sex;  // 0 female, 1 male, 2 group or other
};

struct DemoSong {
    int kind;  // song category 0..7
    QString title;
    QStringList singers;  // names of demo_singers(); two for a duet
};

const std::vector<DemoSinger>& demo_singers();
const std::vector<DemoSong>& demo_songs();

struct DemoOptions {
    int song_count = -1;  // the first song_count of demo_songs(); -1 for all
    int seconds = 15;     // length of every clip
    // Told before each clip is made (1-based), so a long first run shows progress.
    std::function<void(int clip, int clips, const QString& file_name)> progress;
};

struct DemoOutcome {
    bool made = false;  // false: the catalogue had songs already and was left alone
    QString songbook;   // what demo-songbook.txt now holds; empty when nothing was made
};

// When the catalogue of program_folder has no songs (or does not exist yet: it
// is created as the program creates it), makes the clips that are not there
// yet in "demo-songs", registers every song under a fresh number and writes
// "demo-songbook.txt". The songs go in as one transaction, so a failure leaves
// the catalogue without them and the next run tries again. Throws
// std::runtime_error (DatabaseError for the catalogue) when anything fails.
DemoOutcome make_demo_library(const QString& program_folder, const DemoOptions& options = {});
