#pragma once

#include "manager/song_file_records.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <functional>
#include <vector>

struct AppState;

// Registers a whole folder of media files named
// "歌手1+歌手2,歌名,種類,字數.副檔名": lists every supported file with its
// state, lets the manager repair what blocks a file (its name, a missing
// singer, a similar title) and registers all files once every one is ready.
class reg_by_filename : public QDialog {
    Q_OBJECT
public:
    reg_by_filename(AppState& state, QWidget* parent);

    QLabel Label1;  // "路徑"
    QLineEdit txtPath;
    QPushButton cmdBrowse;
    QGroupBox frmSongFile;
    QListWidget lstFileInfo;  // item data: the file index
    QLabel labSongInfo;
    QGroupBox frmAddSinger;
    QPushButton cmdAddSinger;
    QGroupBox frmRepeat;
    QPushButton cmdRepeadCom;
    QPushButton cmdReg;

    // Exchanged with the small windows.
    int tmpSongRepeat = kRepeatNone;
    QString tmpSongRepeatOrgSongCode;
    QString tmpSongName;
    QString tmpSongSinger;
    QString tmpSongLocation;

    // One record per listed file, by file index.
    const std::vector<SongFileRecord>& song_files() const { return files_; }
    // How many files go into one transaction when registering (0: none).
    int files_per_transaction = 300;

    bool chkSupport(const QString& strFileName) const;
    bool setArySong(int iFileIndex);
    QString lstFileContent(int iFileIndex) const;

    void cmdBrowse_Click();
    void lstFileInfo_Click();
    void lstFileInfo_DblClick();
    void cmdAddSinger_Click();
    void cmdRepeadCom_Click();
    void cmdReg_Click();

private:
    void Form_Load();
    void lay_out();
    bool choose_folder();
    void scan_folder();
    QStringList register_files(int count);
    void refresh_entry();
    static void apply_decision(SongFileRecord& record, int repeat, const QString& replace_code);
    int selected_file() const;
    void select_file(int file_index);
    // Shows the progress and lets the window repaint, every few milliseconds
    // of a long run.
    void show_progress(const std::function<QString()>& progress);
    void set_busy(bool busy);

    AppState& state_;
    std::vector<SongFileRecord> files_;
    SingerCodes singers_;
    bool rescan_ = false;
    QElapsedTimer since_yield_;
};
