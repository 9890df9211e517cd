#include "manager/reg_by_filename_dialogs.h"

#include "foundation/app_state.h"
#include "foundation/catalogue_operations.h"
#include "foundation/lookups.h"
#include "manager/preview_file.h"
#include "manager/reg_by_filename.h"
#include "manager/song_file_records.h"
#include "platform/dialogs.h"
#include "widgets/manager_forms.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

reg_by_filename_ModifyFilename::reg_by_filename_ModifyFilename(AppState& state, reg_by_filename& caller)
    : QDialog(&caller), cmdOK("OK"), caller_(caller) {
    setWindowTitle("Modify the Filename");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(&labMsgOrgFilename);
    layout->addWidget(&txtFileName);
    layout->addWidget(&cmdOK);
    labMsgOrgFilename.setBuddy(&txtFileName);
    cmdOK.setDefault(true);
    connect(&cmdOK, &QPushButton::clicked, this, &reg_by_filename_ModifyFilename::cmdOK_Click);
    labMsgOrgFilename.setText("Org. Filename : " + caller.tmpSongLocation);
    txtFileName.setText(caller.tmpSongLocation);
    fit_laid_out_window(*this, state, 0.8);
}

void reg_by_filename_ModifyFilename::cmdOK_Click() {
    caller_.tmpSongLocation = txtFileName.text();
    accept();
}

reg_by_filename_Same::reg_by_filename_Same(AppState& state, reg_by_filename& caller)
    : QDialog(&caller),
      cmdViewOrg("觀看"),
      cmdReplaceOrg("取代原始檔"),
      cmdViewNew("觀看"),
      cmdAddNew("新增此曲目"),
      cmdDelete("刪除新檔"),
      state_(state),
      caller_(caller) {
    setWindowTitle("曲目重覆");
    lay_out();
    connect(&cmbOrgSong, &QComboBox::activated, this, &reg_by_filename_Same::cmbOrgSong_Click);
    connect(&cmdViewOrg, &QPushButton::clicked, this, &reg_by_filename_Same::cmdViewOrg_Click);
    connect(&cmdViewNew, &QPushButton::clicked, this, &reg_by_filename_Same::cmdViewNew_Click);
    connect(&cmdAddNew, &QPushButton::clicked, this, &reg_by_filename_Same::cmdAddNew_Click);
    connect(&cmdReplaceOrg, &QPushButton::clicked, this, &reg_by_filename_Same::cmdReplaceOrg_Click);
    connect(&cmdDelete, &QPushButton::clicked, this, &reg_by_filename_Same::cmdDelete_Click);
    Form_Load();
}

void reg_by_filename_Same::lay_out() {
    auto* layout = new QGridLayout(this);
    layout->addWidget(&labMsg, 0, 0, 1, 4);
    auto* stored = new QLabel("原本歌曲");
    stored->setBuddy(&cmbOrgSong);
    layout->addWidget(stored, 1, 0);
    layout->addWidget(&cmbOrgSong, 1, 1);
    layout->addWidget(&cmdViewOrg, 1, 2);
    layout->addWidget(&cmdReplaceOrg, 1, 3);
    layout->addWidget(&labOrgSinger, 2, 1, 1, 3);
    auto* incoming = new QLabel("新進歌曲");
    incoming->setBuddy(&txtNewSong);
    layout->addWidget(incoming, 3, 0);
    layout->addWidget(&txtNewSong, 3, 1);
    layout->addWidget(&cmdViewNew, 3, 2);
    layout->addWidget(&cmdAddNew, 3, 3);
    layout->addWidget(&labNewSinger, 4, 1, 1, 2);
    layout->addWidget(&cmdDelete, 4, 3);
    layout->setColumnStretch(1, 1);
}

void reg_by_filename_Same::Form_Load() {
    loading_ = true;
    fit_laid_out_window(*this, state_, 0.8);
    Recordset similar = titles_beginning_with(shared_session(state_.db_path), caller_.tmpSongName);
    for (; !similar.Eof(); similar.MoveNext()) {
        cmbOrgSong.addItem(similar.Field("song_name"));
        song_nums_ << similar.Field("song_num");
    }
    cmbOrgSong.setCurrentIndex(-1);
    txtNewSong.setText(caller_.tmpSongName);
    txtNewSong.setReadOnly(true);  // the title comes from the file name; rename the file to change it
    labNewSinger.setText(caller_.tmpSongSinger);
    labMsg.setText(repeat_state_text(caller_.tmpSongRepeat));
    loading_ = false;
}

// Every singer of the chosen number: a song with several singers is one row each.
void reg_by_filename_Same::cmbOrgSong_Click() {
    if (loading_ || cmbOrgSong.currentIndex() < 0) return;
    QString singers;
    Recordset rows =
        singers_of_song_number(shared_session(state_.db_path), song_nums_[cmbOrgSong.currentIndex()]);
    for (; !rows.Eof(); rows.MoveNext()) {
        if (!singers.isEmpty()) singers += "+";
        singers += rows.Field("singer_name");
    }
    labOrgSinger.setText(singers);
}

void reg_by_filename_Same::cmdViewOrg_Click() {
    if (cmbOrgSong.currentIndex() < 0) return;
    preview_file(state_, this, get_song_location(state_, song_nums_[cmbOrgSong.currentIndex()].trimmed()),
                 "瀏覽原本的歌曲檔");
}

void reg_by_filename_Same::cmdViewNew_Click() {
    preview_file(state_, this, caller_.tmpSongLocation, "瀏覽新進的歌曲檔");
}

void reg_by_filename_Same::decide(int repeat) {
    caller_.tmpSongRepeat = repeat;
    accept();
}

void reg_by_filename_Same::cmdAddNew_Click() {
    decide(kRepeatAddAnyway);
}

void reg_by_filename_Same::cmdDelete_Click() {
    decide(kRepeatDeleteFile);
}

void reg_by_filename_Same::cmdReplaceOrg_Click() {
    if (cmbOrgSong.currentIndex() < 0) {
        state_.platform.dialogs->notice(this, "請選定將被取代的曲目 !");
        return;
    }
    caller_.tmpSongRepeatOrgSongCode = song_nums_[cmbOrgSong.currentIndex()];
    decide(kRepeatReplace);
}

reg_by_filename_addSinger::reg_by_filename_addSinger(AppState& state, QWidget* parent)
    : singer_add(state, parent, "新增歌手", [](const QString&) {}) {
    singer_name.setReadOnly(true);
}
