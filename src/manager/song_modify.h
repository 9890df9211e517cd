#pragma once

#include "manager/singer_choice_list.h"

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <array>
#include <optional>

struct AppState;
class Recordset;

// "歌曲資料新增修改": finds songs by title and singer, and edits, deletes or
// previews the one loaded from the hits.
class song_modify : public QDialog {
    Q_OBJECT
public:
    // How many hits the list holds.
    static constexpr int kHitCapacity = 2001;

    song_modify(AppState& state, QWidget* parent);

    QLabel Label1;
    QLabel Label2;
    QLineEdit keyword_singer;
    QLabel Label3;
    QLineEdit keyword_song;
    QPushButton key_search;
    QListWidget List1;
    QPushButton key_exit;
    QGroupBox data_area;
    QLabel Label4;
    QLineEdit song_name;
    QLabel Label10;
    QLineEdit singer_name;
    QPushButton key_singer;
    QLabel Label5;
    QComboBox song_kind;
    QLabel Label7;
    QLineEdit song_num;
    QLabel Label6;
    QComboBox song_text_count;
    QLabel Label8;
    QLineEdit song_build_date;
    QLabel Label9;
    QLineEdit song_location;
    QPushButton key_location;
    QPushButton key_modify;
    QPushButton key_delete;
    QPushButton view_file;
    QTimer Timer1;

    void key_search_Click();
    void List1_DblClick();
    void Timer1_Timer();
    void key_modify_Click();
    void key_delete_Click();
    void key_location_Click();
    void key_singer_Click();
    void view_file_Click();
    void key_exit_Click();

    // Whether a song is loaded into the edit area.
    bool song_loaded() const { return loaded_flag != 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void lay_out();
    void notice(const QString& text);

    void load_song(const Recordset& song);
    // Both lists with their standard items, plus the loaded song's own value
    // when it is none of them.
    void fill_kind_list(int song_kind_code);
    void fill_count_list(int count);
    void empty_edit_area();

    // The singer code the save writes; nothing, after the message, when the
    // song must not be saved.
    std::optional<int> saved_singer_code();
    void register_typed_singer();
    void update_song(int singer_code);
    void delete_media_file();

    AppState& state_;
    // The number of the song at each hit position.
    std::array<QString, kHitCapacity> hit_numbers;
    // The singer code of each hit: a song with two singers is one hit per singer.
    std::array<int, kHitCapacity> hit_singers{};
    int hit_count = 0;
    QString loaded_number;
    int loaded_flag = 0;
    // The singer row of the loaded song and the name the edit area showed for it.
    int loaded_singer_code = 0;
    QString loaded_singer_name;
};

// The choice list of song_modify: the chosen name goes into its singer field.
class song_modify_check_singer : public singer_choice_list {
    Q_OBJECT
public:
    // Holds at most this many singers.
    static constexpr int kCapacity = 1001;

    song_modify_check_singer(AppState& state, song_modify& opener);
};
