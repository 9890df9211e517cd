#pragma once

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include <vector>

struct AppState;

// The song a registration window was about to store when it found stored
// songs with a title like its own. The registration window fills it in; the
// caller trims what it wants trimmed.
struct NewSong {
    QString number;          // the number proposed for it
    int singer_code = 0;     // its singer, already in the catalogue
    QString title_shown;     // put into new_song_name, where it may be changed
    QString title_searched;  // the stored titles beginning with it are listed
    int text_count = 0;      // its title length; the listed titles have it too
    int kind = 0;            // its song kind, 0..7
    QString build_date;      // its registration date, "YYYY/MM/DD"
    QString location;        // full path of its media file
};

// The texts and the one spacing in a query that tell the similar-title
// windows of the registration windows apart; their layout and behaviour are
// one and the same.
struct SimilarTitleTexts {
    QString window_title;
    QString org_kill_caption;       // the replace button
    QString org_kill_hint;          // its tool tip
    QString stored_notice;          // after the new song was stored
    QString deleted_frame_caption;  // Frame1's caption once the stored song is gone
};

// The window that puts a new song beside the stored songs with a title like
// its own. The manager may preview both, rename a stored song, store the new
// song anyway ("新增"), delete a stored song with its file and give its number
// to the new song (org_kill), or give the new song up ("算了", optionally
// deleting its file). The caller shows it modally and goes on when it closes,
// whichever way: a rename or deletion stands; nothing else is stored unless
// "新增" ran. Each registration window derives its own with its texts.
class similar_title_window : public QDialog {
    Q_OBJECT
public:
    QGroupBox Frame1;   // "原本歌曲"
    QLabel org_Label1;  // "曲名"
    QComboBox org_song_name;
    QLabel org_song_singer_lab;  // "演唱者:" and the chosen stored song's singer
    QPushButton org_view;        // "觀看內容"
    QLabel org_Label2;           // "改曲名"
    QLineEdit org_renew;
    QPushButton org_modify;  // "修改曲名"
    QPushButton org_kill;
    QGroupBox Frame2;  // "新進歌曲"
    QLabel new_Label;  // "曲名"
    QLineEdit new_song_name;
    QPushButton new_view;    // "觀看內容"
    QPushButton new_add;     // "新增"
    QPushButton new_cancel;  // "算了"

    // The number the new song will be stored under: the proposed one, or
    // the number of the stored song it replaced; once stored, the number it
    // was stored under (the first free one when another room had taken it).
    const QString& new_song_number() const { return new_song_.number; }

    void org_song_name_Click(int position);
    void org_song_name_Change();
    void org_view_Click();
    void org_modify_Click();
    void org_kill_Click();
    void new_view_Click();
    void new_add_Click();
    void new_cancel_Click();

protected:
    similar_title_window(AppState& state, QWidget* parent, NewSong new_song, SimilarTitleTexts texts);

private:
    // A stored song listed in org_song_name, by combo position.
    struct StoredSong {
        QString number;
        int singer_code = 0;
    };

    void set_captions();
    void lay_out();
    void connect_controls();
    void Form_Load();
    void list_similar_songs();
    const StoredSong* chosen_song() const;
    void rename_chosen_song();
    void relist_titles();
    void replace_chosen_song();
    bool store_new_song();
    bool give_up_new_song();

    AppState& state_;
    NewSong new_song_;
    const SimilarTitleTexts texts_;
    std::vector<StoredSong> stored_songs_;
};
