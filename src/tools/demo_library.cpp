#include "tools/demo_library.h"

#include "foundation/catalogue_operations.h"
#include "foundation/lookups.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// Invented names and titles; the clips carry tunes made up from a formula.
const std::vector<DemoSinger> kSingers = {
    {"林雨晴", 0}, {"陳映秋", 0}, {"蘇曉嵐", 0},   {"張明遠", 1},
    {"黃柏霖", 1}, {"吳家駿", 1}, {"星河樂團", 2}, {"晨光合唱團", 2},
};

// The first four hold a duet and two songs of one category and title length,
// so that a short demo already shows both.
const std::vector<DemoSong> kSongs = {
    {0, "阿母的灶跤", {"黃柏霖"}},     {1, "城市的另一邊", {"林雨晴", "張明遠"}},
    {0, "雨夜的車站", {"陳映秋"}},     {0, "港邊月光", {"林雨晴"}},
    {1, "夜燈", {"張明遠"}},           {1, "你說過的那片海", {"蘇曉嵐"}},
    {2, "山歌唱春天", {"晨光合唱團"}}, {2, "桐花雨", {"吳家駿"}},
    {2, "茶園的細妹", {"陳映秋"}},     {3, "Blue Rain", {"星河樂團"}},
    {3, "Paper Boats", {"蘇曉嵐"}},    {3, "Moonlit Road", {"張明遠"}},
    {4, "櫻花物語", {"陳映秋"}},       {4, "雪國的列車", {"黃柏霖"}},
    {4, "朝霧", {"星河樂團"}},         {5, "小白兔去郊遊", {"晨光合唱團"}},
    {5, "小刺蝟散步", {"晨光合唱團"}}, {5, "彩虹糖果屋", {"林雨晴"}},
    {6, "風中的口琴", {"吳家駿"}},     {6, "一個人的旅行日記", {"蘇曉嵐"}},
    {6, "鋼琴小夜曲", {"星河樂團"}},   {7, "維港煙花", {"黃柏霖"}},
    {7, "霓虹燈下的約定", {"陳映秋"}}, {7, "那年夏天我們一起看過的海", {"吳家駿"}},
};

const QStringList kChineseLyrics = {
    "風吹過港邊的夜", "燈火照著回家的路", "把思念寫進歌裡",   "一步一步向前走",
    "月光溫柔地落下", "明天還有新的夢",   "拍拍手大家一起唱", "星星陪我到天亮",
};
const QStringList kEnglishLyrics = {
    "Sing it one more time",
    "Under a paper moon",
    "Walking down the road",
    "Every light is on",
};
constexpr int kEnglishKind = 3;
constexpr int kLyricLines = 4;
constexpr int kSecondsPerLyricLine = 4;

// Two background colours per category.
const char* const kBackgrounds[8][2] = {
    {"0x203060", "0x802050"}, {"0x103850", "0x207060"}, {"0x305010", "0x806020"}, {"0x402060", "0x2050a0"},
    {"0x602030", "0xa06080"}, {"0x206040", "0xa0a020"}, {"0x303030", "0x605080"}, {"0x502010", "0xa04020"},
};

constexpr const char* kClipFolder = "demo-songs";
constexpr const char* kSongbookFile = "demo-songbook.txt";
// fontconfig's name picks the Traditional Chinese face of ukai.ttc; the file
// alone would give its first face, the mainland one.
constexpr const char* kKaiFont = "AR PL UKai TW";

int title_length(const QString& title) {
    return static_cast<int>(title.toUcs4().size());
}

// The registration file-name form, so manager mode's registration by file
// name takes the folder as it is: "歌手1+歌手2,歌名,種類,字數.mp4".
QString clip_file_name(const DemoSong& song) {
    return song.singers.join("+") + "," + song.title + "," + song_kind_names()[song.kind] + "," +
           QString::number(title_length(song.title)) + ".mp4";
}

// A pentatonic tune of two notes a second. Each note swells and fades, so the
// pitch changes where the sound is silent and never clicks.
QString tune(double root, int step, int offset) {
    const QString degree = QString("mod(floor(2*t)*%1+%2,5)").arg(step).arg(offset);
    const QString semitones = QString("(2*%1+gte(%1,3))").arg(degree);
    return QString("sin(PI*mod(2*t,1))*sin(2*PI*t*%1*pow(2,%2/12))").arg(root).arg(semitones);
}

// A low chord that pulses once a second.
QString accompaniment(double root) {
    return QString("0.12*(sin(2*PI*%1*t)+sin(2*PI*%2*t)+0.5*sin(2*PI*%3*t))*(0.6+0.4*cos(2*PI*t))")
        .arg(root / 2)
        .arg(root * 3 / 4)
        .arg(root / 4);
}

// The three audio streams the player's "聲道" switches between: the guide
// (tune over the accompaniment), the accompaniment alone, the tune alone an
// octave higher.
QStringList audio_streams(int index) {
    const double root = 196.0 * std::pow(2.0, (index * 7 % 12) / 12.0);
    const int step = 1 + index % 4;
    const int offset = index % 5;
    return {"0.3*" + tune(root, step, offset) + "+" + accompaniment(root), accompaniment(root),
            "0.45*" + tune(2 * root, step, offset)};
}

QString drawtext(const QString& text_file, int size, const QString& colour, const QString& y,
                 const QString& enable = {}) {
    QString filter =
        QString("drawtext=font='%1':textfile=%2:fontsize=%3:fontcolor=%4:borderw=3:x=(w-tw)/2:y=%5")
            .arg(kKaiFont, text_file)
            .arg(size)
            .arg(colour, y);
    if (!enable.isEmpty()) filter += ":enable='" + enable + "'";
    return filter;
}

void write_text(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
        throw std::runtime_error("cannot write " + path.toStdString());
}

// Title and singer at the top, and a lyric line that changes every few
// seconds, over a slowly moving colour gradient.
QString video_filter(const DemoSong& song, int index, const QString& text_folder) {
    write_text(text_folder + "/title.txt", song.title);
    write_text(text_folder + "/singer.txt", song.singers.join("、"));
    QStringList filters = {drawtext("title.txt", 48, "white", "h*0.15"),
                           drawtext("singer.txt", 28, "yellow", "h*0.35")};
    const QStringList& lyrics = song.kind == kEnglishKind ? kEnglishLyrics : kChineseLyrics;
    for (int line = 0; line < kLyricLines; ++line) {
        const QString file = QString("lyric%1.txt").arg(line);
        write_text(text_folder + "/" + file, lyrics[(index + line) % lyrics.size()]);
        const QString shown =
            QString("eq(mod(floor(t/%1),%2),%3)").arg(kSecondsPerLyricLine).arg(kLyricLines).arg(line);
        filters += drawtext(file, 36, line % 2 ? "0x66ccff" : "white", "h*0.72", shown);
    }
    return "[0:v]" + filters.join(",") + "[v]";
}

QStringList lavfi_input(const QString& source) {
    return {"-f", "lavfi", "-i", source};
}

QStringList ffmpeg_arguments(const DemoSong& song, int index, int seconds, const QString& text_folder,
                             const QString& output) {
    const auto& colours = kBackgrounds[song.kind];
    QStringList arguments = {"-loglevel", "error", "-y"};
    arguments += lavfi_input(QString("gradients=s=640x360:r=25:d=%1:c0=%2:c1=%3:speed=0.02")
                                 .arg(seconds)
                                 .arg(colours[0], colours[1]));
    for (const QString& expression : audio_streams(index))
        arguments += lavfi_input(QString("aevalsrc=exprs='%1':s=44100:d=%2").arg(expression).arg(seconds));
    arguments += {"-filter_complex", video_filter(song, index, text_folder), "-map", "[v]"};
    // MP4 keeps a stream's name as its handler name; players show it as the track title.
    const QStringList stream_titles = {"原唱", "伴唱", "旋律"};
    for (int stream = 0; stream < stream_titles.size(); ++stream)
        arguments += {"-map", QString("%1:a").arg(stream + 1), QString("-metadata:s:a:%1").arg(stream),
                      "handler_name=" + stream_titles[stream]};
    arguments += {"-c:v", "libx264", "-preset", "veryfast", "-crf", "30", "-pix_fmt", "yuv420p"};
    arguments += {"-c:a", "aac", "-b:a", "64k"};
    arguments += {"-t", QString::number(seconds), "-f", "mp4", output};
    return arguments;
}

// Made under another name and renamed when complete, so an interrupted run
// never leaves a broken clip that the next run would take as made.
void make_clip(const DemoSong& song, int index, int seconds, const QString& path) {
    QTemporaryDir text_folder(QDir::tempPath() + "/karaoke-demo-XXXXXX");
    if (!text_folder.isValid()) throw std::runtime_error("cannot make a temporary folder");
    const QString partial = path + ".part";
    QProcess ffmpeg;
    ffmpeg.setWorkingDirectory(text_folder.path());
    ffmpeg.start("ffmpeg", ffmpeg_arguments(song, index, seconds, text_folder.path(), partial));
    const bool finished = ffmpeg.waitForFinished(10 * 60 * 1000);
    if (!finished || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0) {
        const QString reason = ffmpeg.error() == QProcess::FailedToStart ? "ffmpeg could not be started"
                                                                         : ffmpeg.readAllStandardError();
        QFile::remove(partial);
        throw std::runtime_error("making " + path.toStdString() + " failed: " + reason.toStdString());
    }
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        throw std::runtime_error("cannot rename " + partial.toStdString());
    }
}

// The lowest free serial for the category and title length: category digit,
// the length in two digits at least, the serial in three digits at least.
QString new_song_number(int kind, int length, CatalogueSession& session) {
    const QString prefix = QString::number(kind) + QString("%1").arg(length, 2, 10, QChar('0'));
    Recordset taken = numbers_beginning_with(session, prefix);
    QStringList numbers;
    for (; !taken.Eof(); taken.MoveNext()) numbers += taken.Field("song_num");
    for (int serial = 1;; ++serial) {
        const QString candidate = prefix + QString("%1").arg(serial, 3, 10, QChar('0'));
        if (!numbers.contains(candidate)) return candidate;
    }
}

// The singer's code, registering the singer first when the catalogue lacks them.
int singer_code(const DemoSinger& singer, CatalogueSession& session) {
    Recordset found = singers_named(session, singer.name);
    if (found.RecordCount() > 0) return found.FieldInt("singer_code");
    add_singer(session, singer.name, singer.sex);
    return singers_named(session, singer.name).FieldInt("singer_code");
}

const DemoSinger& demo_singer(const QString& name) {
    const auto found =
        std::find_if(kSingers.begin(), kSingers.end(), [&](const auto& s) { return s.name == name; });
    if (found == kSingers.end()) throw std::logic_error("no demo singer " + name.toStdString());
    return *found;
}

struct RegisteredSong {
    QString number;
    const DemoSong* song;
};

// One row per singer under one number, as manager mode stores a duet.
RegisteredSong register_song(const DemoSong& song, const QString& location, CatalogueSession& session) {
    const int length = title_length(song.title);
    SongRow row{.num = new_song_number(song.kind, length, session),
                .kind = song.kind,
                .name = song.title,
                .text_count = length,
                .build_date = QDate::currentDate().toString("yyyy/MM/dd"),
                .location = location};
    for (const QString& name : song.singers) {
        row.singer_code = singer_code(demo_singer(name), session);
        add_song(session, row);
    }
    return {row.num, &song};
}

// Terminal columns of a text: Chinese characters take two.
int display_width(const QString& text) {
    int width = 0;
    for (const char32_t character : text.toUcs4()) width += character >= 0x2E80 ? 2 : 1;
    return width;
}

QString padded(const QString& text, int columns) {
    return text + QString(std::max(1, columns - display_width(text)), ' ');
}

QString songbook_text(std::vector<RegisteredSong> songs) {
    std::sort(songs.begin(), songs.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
    int title_columns = 0;
    for (const auto& entry : songs) title_columns = std::max(title_columns, display_width(entry.song->title));
    title_columns += 2;
    QString text =
        "Vocari's Karaoke 示範歌本\n\n"
        "點歌：在主選單按 3，輸入歌號，按 Enter；按 0、Enter 回主選單；按 6 開始唱歌。\n\n" +
        padded("歌號", 8) + padded("歌名", title_columns) + "歌手\n";
    int kind = -1;
    for (const auto& entry : songs) {
        if (entry.song->kind != kind) {
            kind = entry.song->kind;
            text += "【" + song_kind_names()[kind] + "】\n";
        }
        text += padded(entry.number, 8) + padded(entry.song->title, title_columns) +
                entry.song->singers.join("、") + "\n";
    }
    return text;
}

void write_songbook(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw std::runtime_error("cannot write " + path.toStdString());
}

}  // namespace

const std::vector<DemoSinger>& demo_singers() {
    return kSingers;
}

const std::vector<DemoSong>& demo_songs() {
    return kSongs;
}

DemoOutcome make_demo_library(const QString& program_folder, const DemoOptions& options) {
    const QDir folder(QFileInfo(program_folder).absoluteFilePath());
    const QString db_path = folder.filePath("karaoke.db");  // where the program keeps its catalogue
    prepare_catalogue(db_path);
    CatalogueSession& session = shared_session(db_path);
    if (song_count(session) > 0) return {};

    if (!folder.mkpath(kClipFolder))
        throw std::runtime_error("cannot make " + folder.filePath(kClipFolder).toStdString());
    const int clips = options.song_count < 0 ? static_cast<int>(kSongs.size())
                                             : std::min(options.song_count, static_cast<int>(kSongs.size()));
    QStringList locations;
    for (int index = 0; index < clips; ++index) {
        const QString name = clip_file_name(kSongs[index]);
        locations += folder.filePath(QString(kClipFolder) + "/" + name);
        if (options.progress) options.progress(index + 1, clips, name);
        if (!QFileInfo(locations.back()).isFile())
            make_clip(kSongs[index], index, options.seconds, locations.back());
    }

    // One transaction: a failure on the way leaves the catalogue without the
    // demo songs, and the next run tries again.
    WriteTransaction write(session);
    std::vector<RegisteredSong> registered;
    for (int index = 0; index < clips; ++index)
        registered.push_back(register_song(kSongs[index], locations[index], session));
    DemoOutcome outcome{true, songbook_text(registered)};
    write_songbook(folder.filePath(kSongbookFile), outcome.songbook);
    write.commit();
    return outcome;
}
