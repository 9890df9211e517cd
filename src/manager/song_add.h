#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include <array>
#include <optional>

struct AppState;
class Recordset;

// "新增歌曲": registers one song at a time. The manager picks the song kind
// and the title length, which propose the song number; types the title and
// the singer; picks the media file; and saves. A singer not in the catalogue
// is registered on the way (singer_add); a title like a stored one goes to the
// similar-title window (song_add_same) instead of being stored. After each
// song the window resets itself for the next.
class Song_Add : public QDialog {
    Q_OBJECT
public:
    Song_Add(AppState& state, QWidget* parent);
    ~Song_Add() override;

    QLabel Label1;  // "曲目種類"
    QComboBox song_kind;
    QLabel Label2;  // "字數"
    QComboBox song_text_count;
    QLabel lb_song_code;  // "曲目編號"
    QLineEdit song_code;  // the proposed number, not typed into
    QLabel Label3;        // "建檔日期"
    QLineEdit song_build_date;
    QLabel lb_date_struct;  // how to type the date
    QLabel Label4;          // "曲目名"
    QLineEdit song_name;
    QLabel Label5;  // "演唱者"
    QLineEdit singer_name;
    QPushButton check_singr_name;  // "選擇"
    QLabel Label6;                 // "檔案位置"
    QLineEdit song_location;
    QPushButton Command1;   // "瀏覽"
    QPushButton add_do;     // "存"
    QPushButton forget_it;  // "算了"

    // The number and singer of the song handed to the similar-title window.
    QString New_Song_Code;
    int New_Song_Singer_Code = 0;

    // Set when the manager picks an item of the list; cleared by the reset.
    bool song_kind_changed = false;
    bool song_text_count_changed = false;

    void song_kind_Click();
    void song_text_count_Click();
    void song_kind_LostFocus();
    void song_text_count_LostFocus();
    void song_location_KeyPress(int key);
    void Command1_Click();
    void check_singr_name_Click();
    void add_do_Click();
    void forget_it_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void set_captions();
    void lay_out();
    void connect_controls();
    void Form_Load();
    void fill_lists();
    void reset_for_next_song();
    std::array<QWidget*, 3> watched_fields();

    QString input_problem() const;
    std::optional<int> singer_code_for_song();
    std::optional<int> registered_singer_code();
    void save_song();
    Recordset similar_songs() const;
    QString stored_date() const;
    void store_song(int singer_code);
    void hand_to_similar_title_window(const Recordset& similar, int singer_code);

    AppState& state_;
};
