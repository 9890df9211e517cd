#pragma once

#include <QString>

#include <array>

// The values of Setting.ini, each under its key's name.
struct Settings {
    int SmallScreenTop = 200;   // twips
    int SmallScreenLeft = 700;  // twips
    QString RecordPath;
    QString pathCDROM;
    QString pathMusic;
    QString ExtMusic = "mp3,wav,mid,cda";
    QString pathPicture;
    QString ExtPicture = "jpg,bmp";
    QString ExtPictureMov = "avi,mpg,mpeg,dat";
    // Key codes stay decimal texts; users convert them to numbers.
    QString keyDevide = "47";
    QString keyMultiplication = "42";
    QString keyMinus = "45";
    QString keyPlus = "43";
    QString keyEnter = "13";
    QString keyDot = "46";
    std::array<QString, 10> keyNum{"48", "49", "50", "51", "52", "53", "54", "55", "56", "57"};

    // Optional keys that switch on features beyond the jukebox's own: read
    // like the others, but never added to the file by the start-up.
    int ExportXlsx = 0;            // 1: the song-book export also offers .xlsx files
    int PhoneOrdering = 0;         // 1: guests order from their phones on the room's network
    int PhoneOrderingPort = 8080;  // the port of the phones' page
    QString PhoneOrderingPin;      // four digits; empty: a fresh random PIN at every start
    int StereoChannel = 0;         // 1: "聲道" picks a side of media with one stereo stream
    int KeyChange = 0;             // 1: the sound panel's "音調" row shifts the key
    QString CatalogueServer;       // a PostgreSQL URI: the catalogue shared by a venue's rooms
    int Loudness = 0;              // 1: every measured song plays at the same loudness
    int Score = 0;                 // 1: each song sung ends with a singing score

    // The player's hotkeys. Setting.ini documents them, but edits there have
    // no effect: these codes (upper-case letters) are always in force.
    static constexpr int HotKeySoundChannel1 = 81;  // Q
    static constexpr int HotKeySoundChannel2 = 87;  // W
    static constexpr int HotKeySoundChannel3 = 69;  // E
    static constexpr int HotKeyRecord = 82;         // R
    static constexpr int HotKeyPause = 80;          // P
    static constexpr int HotKeyReplay = 65;         // A
    static constexpr int HotKeyVolIncrease = 88;    // X
    static constexpr int HotKeyVolDecrease = 90;    // Z

    bool operator==(const Settings&) const = default;
};
