#pragma once

// The small windows of registration by file name: renaming a file, the
// similar-title decision and registering a singer the file name names. The
// first two exchange their data through the public fields of reg_by_filename.

#include "manager/singer_add.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

struct AppState;
class reg_by_filename;

// Takes a new name for a file: "OK" puts it into tmpSongLocation.
class reg_by_filename_ModifyFilename : public QDialog {
    Q_OBJECT
public:
    reg_by_filename_ModifyFilename(AppState& state, reg_by_filename& caller);

    QLabel labMsgOrgFilename;
    QLineEdit txtFileName;
    QPushButton cmdOK;

    void cmdOK_Click();

private:
    reg_by_filename& caller_;
};

// Puts a file's title beside the stored titles it resembles and takes the
// decision: add it anyway (1), replace a stored song (2), delete the file (3).
// It changes nothing in the catalogue.
class reg_by_filename_Same : public QDialog {
    Q_OBJECT
public:
    reg_by_filename_Same(AppState& state, reg_by_filename& caller);

    QLabel labMsg;
    QComboBox cmbOrgSong;
    QLabel labOrgSinger;
    QPushButton cmdViewOrg;
    QPushButton cmdReplaceOrg;
    QLineEdit txtNewSong;
    QLabel labNewSinger;
    QPushButton cmdViewNew;
    QPushButton cmdAddNew;
    QPushButton cmdDelete;

    void cmbOrgSong_Click();
    void cmdViewOrg_Click();
    void cmdViewNew_Click();
    void cmdAddNew_Click();
    void cmdReplaceOrg_Click();
    void cmdDelete_Click();

private:
    void Form_Load();
    void lay_out();
    void decide(int repeat);

    AppState& state_;
    reg_by_filename& caller_;
    bool loading_ = false;
    QStringList song_nums_;  // of the stored songs, by combo position
};

// Registers a singer that a file name names; the name cannot be changed here
// and goes back to no other window.
class reg_by_filename_addSinger : public singer_add {
    Q_OBJECT
public:
    reg_by_filename_addSinger(AppState& state, QWidget* parent);
};
