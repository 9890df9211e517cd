#pragma once

#include "manager/singer_add.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

struct AppState;
struct BatchSong;
class Recordset;

// Registers the songs a batch file lists, one line each. The whole file is
// checked first; then the songs are stored one after the other, a missing
// singer registered and a similar title resolved on the way.
class batch_registe : public QDialog {
    Q_OBJECT
public:
    batch_registe(AppState& state, QWidget* parent);

    QLabel Label1;  // "請選定披次登錄檔"
    QLineEdit reg_file_name;
    QPushButton select_reg_file;  // "瀏覽"
    QPushButton batch_reg_do;     // "執行批次"
    QLabel Label2;                // progress

    // The line being registered, read by batch_same and batch_singer_add.
    QString Str_SongBuildDate;
    int Str_Songkind = 0;
    int Str_SongTextCount = 0;
    QString Str_SongNum;
    QString Str_Songname;
    QString Str_SongSinger;
    QString Str_SongLocation;
    QString New_Song_Code;
    int New_Song_Singer_Code = 0;
    QString New_Song_Name_Str;

    QString Get_NewSongNum(int song_kind, int song_text_count) const;

    void select_reg_file_Click();
    void batch_reg_do_Click();

private:
    void run_batch(const QString& batch_path);
    void take_line(const BatchSong& song, const QString& folder);
    void register_line(const BatchSong& song);
    Recordset similar_songs() const;
    int singer_code_for_line();
    bool registered_already() const;
    void offer_similar_title(const Recordset& similar, int singer_code);
    void store_song(int singer_code);

    AppState& state_;
};

// The singer window of batch registration: a name corrected here is the one
// the song is registered under.
class batch_singer_add : public singer_add {
    Q_OBJECT
public:
    batch_singer_add(AppState& state, batch_registe& caller);
};
