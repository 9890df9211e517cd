#pragma once

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

#include <vector>

struct AppState;

// The new song a similar-title window decides about.
struct SimilarTitleSong {
    QString number;
    int singer_code = 0;
    QString shown_title;     // into new_song_name
    QString searched_title;  // the stored titles that begin with it are listed
    int text_count = 0;
    int song_kind = 0;
    QString build_date;  // "YYYY/MM/DD"
    QString location;
};

// The similar-title window of batch registration: the stored songs whose
// titles begin with the new title (same length) beside the new song. The
// manager may rename or delete a stored song, store the new song, or give it
// up; each acts on the catalogue at once.
class batch_same : public QDialog {
    Q_OBJECT
public:
    batch_same(AppState& state, QWidget* parent, SimilarTitleSong song);

    QGroupBox Frame1;  // "原本歌曲"
    QLabel org_Label1;
    QComboBox org_song_name;
    QLabel org_song_singer_lab;
    QPushButton org_view;
    QLabel org_Label2;
    QLineEdit org_renew;
    QPushButton org_modify;
    QPushButton org_kill;
    QGroupBox Frame2;  // "新進歌曲"
    QLabel new_Label;
    QLineEdit new_song_name;
    QPushButton new_view;
    QPushButton new_add;
    QPushButton new_cancel;

    // The number the new song is stored under (a deleted song's after "刪除").
    const QString& new_song_number() const { return song_.number; }

    void org_song_name_Click();
    void org_song_name_Change();
    void org_view_Click();
    void new_view_Click();
    void org_modify_Click();
    void new_add_Click();
    void org_kill_Click();
    void new_cancel_Click();

private:
    void lay_out();
    void connect_handlers();
    void Form_Load();
    int chosen() const { return org_song_name.currentIndex(); }
    void show_chosen_song();

    AppState& state_;
    SimilarTitleSong song_;
    QStringList song_nums_;  // of the stored songs, by combo position
    std::vector<int> singer_codes_;
};
