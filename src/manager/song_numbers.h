#pragma once

#include <QString>

// The highest serial a song number can carry: the serial is a 16-bit counter.
inline constexpr int kHighestSongSerial = 32767;

// The first free song number for a category and title length: the category
// digit, the length with at least two digits and the lowest serial (at least
// three digits) not yet taken. An empty text when every serial up to
// kHighestSongSerial is taken. Database errors come out as DatabaseError.
QString Get_NewSongNum(int song_kind, int song_text_count, const QString& db_path);
