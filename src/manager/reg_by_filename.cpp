#include "manager/reg_by_filename.h"

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/lookups.h"
#include "foundation/loudness_background.h"
#include "manager/reg_by_filename_dialogs.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "widgets/manager_forms.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QScopeGuard>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// How often a long run lets the window repaint and take clicks.
constexpr int kYieldMilliseconds = 50;

}  // namespace

reg_by_filename::reg_by_filename(AppState& state, QWidget* parent)
    : QDialog(parent),
      Label1("路徑"),
      cmdBrowse("瀏覽"),
      frmSongFile("歌曲檔案"),
      frmAddSinger("新歌手"),
      cmdAddSinger("新增歌手"),
      frmRepeat("曲目重覆"),
      cmdRepeadCom("修改指令"),
      cmdReg("登錄"),
      state_(state),
      singers_(state.db_path) {
    setWindowTitle("依檔名登錄歌曲");
    lay_out();
    const auto guarded = [this](void (reg_by_filename::*handler)()) {
        return [this, handler] { with_catalogue_errors_shown(state_, this, [&] { (this->*handler)(); }); };
    };
    connect(&cmdBrowse, &QPushButton::clicked, this, guarded(&reg_by_filename::cmdBrowse_Click));
    connect(&lstFileInfo, &QListWidget::currentRowChanged, this,
            guarded(&reg_by_filename::lstFileInfo_Click));
    connect(&lstFileInfo, &QListWidget::itemDoubleClicked, this,
            guarded(&reg_by_filename::lstFileInfo_DblClick));
    connect(&cmdAddSinger, &QPushButton::clicked, this, guarded(&reg_by_filename::cmdAddSinger_Click));
    connect(&cmdRepeadCom, &QPushButton::clicked, this, guarded(&reg_by_filename::cmdRepeadCom_Click));
    connect(&cmdReg, &QPushButton::clicked, this, guarded(&reg_by_filename::cmdReg_Click));
    Form_Load();
}

void reg_by_filename::lay_out() {
    auto* path_row = new QHBoxLayout;
    path_row->addWidget(&Label1);
    path_row->addWidget(&txtPath, 1);
    path_row->addWidget(&cmdBrowse);
    Label1.setBuddy(&txtPath);
    txtPath.setReadOnly(true);
    (new QVBoxLayout(&frmSongFile))->addWidget(&lstFileInfo);
    lstFileInfo.setAccessibleName(frmSongFile.title());
    lstFileInfo.setUniformItemSizes(true);  // lays out a hundred thousand lines at once
    (new QVBoxLayout(&frmAddSinger))->addWidget(&cmdAddSinger);
    (new QVBoxLayout(&frmRepeat))->addWidget(&cmdRepeadCom);
    auto* repair_row = new QHBoxLayout;
    repair_row->addWidget(&frmAddSinger);
    repair_row->addWidget(&frmRepeat);
    repair_row->addStretch(1);
    repair_row->addWidget(&cmdReg);
    labSongInfo.setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(path_row);
    layout->addWidget(&frmSongFile, 1);
    layout->addWidget(&labSongInfo);
    layout->addLayout(repair_row);
}

void reg_by_filename::Form_Load() {
    fit_laid_out_window(*this, state_, 0.8, 0.8);
    frmAddSinger.hide();
    frmRepeat.hide();
}

bool reg_by_filename::chkSupport(const QString& strFileName) const {
    return is_supported_song_file(strFileName);
}

bool reg_by_filename::setArySong(int iFileIndex) {
    SongFileRecord& record = files_.at(static_cast<size_t>(iFileIndex));
    check_song_file(record, state_.db_path, singers_);
    return record.ready;
}

QString reg_by_filename::lstFileContent(int iFileIndex) const {
    return song_file_line(files_.at(static_cast<size_t>(iFileIndex)));
}

// The progress line changes only when the window repaints: setting it for
// every one of a hundred thousand files would cost more than the files.
void reg_by_filename::show_progress(const std::function<QString()>& progress) {
    if (since_yield_.isValid() && since_yield_.elapsed() < kYieldMilliseconds) return;
    labSongInfo.setText(progress());
    QApplication::processEvents();
    since_yield_.restart();
}

// The buttons stay off while a scan or registration runs, so that no second
// one starts from inside the first's repaints.
void reg_by_filename::set_busy(bool busy) {
    for (QWidget* widget : {static_cast<QWidget*>(&cmdBrowse), static_cast<QWidget*>(&cmdReg),
                            static_cast<QWidget*>(&lstFileInfo), static_cast<QWidget*>(&frmAddSinger),
                            static_cast<QWidget*>(&frmRepeat)})
        widget->setEnabled(!busy);
    since_yield_.invalidate();
}

bool reg_by_filename::choose_folder() {
    txtPath.clear();
    const QString chosen =
        state_.platform.dialogs->open_file(this, "指定路徑 ; 請隨便點選一個檔", QString(), QStringList());
    if (chosen.isEmpty()) return false;  // cancelled
    txtPath.setText(QFileInfo(chosen).absolutePath());
    if (!folder_exists(txtPath.text())) {
        state_.platform.dialogs->notice(this, "請確實指定路徑");
        return false;
    }
    return true;
}

void reg_by_filename::cmdBrowse_Click() {
    if (!rescan_ && !choose_folder()) return;
    set_busy(true);
    singers_.keep_answers(true);
    const auto idle = qScopeGuard([this] {
        singers_.keep_answers(false);
        set_busy(false);
    });
    const ReadSnapshot snapshot(state_.db_path);
    scan_folder();
}

// The lines go into the list in one batch at the end: one repaint, not one
// per file.
void reg_by_filename::scan_folder() {
    const QString folder = txtPath.text();
    const QStringList names = list_folder(folder).files;
    files_.clear();
    lstFileInfo.clear();
    QStringList lines;
    const QString of_all = "/" + QString::number(names.size());
    for (const QString& name : names) {
        if (chkSupport(name)) {
            SongFileRecord record;
            record.file_path = join_path(folder, name);
            files_.push_back(std::move(record));
            setArySong(static_cast<int>(files_.size() - 1));
            lines << lstFileContent(static_cast<int>(files_.size() - 1));
        }
        show_progress([&] { return "adding ... " + QString::number(files_.size()) + of_all; });
    }
    lstFileInfo.addItems(lines);
    for (int i = 0; i < lstFileInfo.count(); ++i) lstFileInfo.item(i)->setData(Qt::UserRole, i);
    labSongInfo.clear();
}

int reg_by_filename::selected_file() const {
    const QListWidgetItem* item = lstFileInfo.currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

void reg_by_filename::select_file(int file_index) {
    if (lstFileInfo.currentRow() == file_index) {
        lstFileInfo_Click();
    } else {
        lstFileInfo.setCurrentRow(file_index);  // which runs lstFileInfo_Click
    }
}

void reg_by_filename::lstFileInfo_Click() {
    frmAddSinger.hide();
    frmRepeat.hide();
    labSongInfo.clear();
    const int k = selected_file();
    if (k < 0) return;
    const SongFileRecord& record = files_[static_cast<size_t>(k)];
    labSongInfo.setText(song_file_state(record));
    if (record.repeat == kRepeatRegistered) return;
    frmAddSinger.setVisible(record.singer_ok == kSingerMissing);
    frmRepeat.setVisible(record.repeat <= kRepeatDeleteFile);
}

void reg_by_filename::refresh_entry() {
    const int k = selected_file();
    lstFileInfo.currentItem()->setText(lstFileContent(k));
    lstFileInfo_Click();
}

// A name that leaves the folder, names another file or no supported one
// changes nothing. A registered file keeps its name: the catalogue holds its path.
void reg_by_filename::lstFileInfo_DblClick() {
    const int k = selected_file();
    if (k < 0 || files_[static_cast<size_t>(k)].repeat == kRepeatRegistered) return;
    SongFileRecord& record = files_[static_cast<size_t>(k)];
    tmpSongLocation = record.file_name();
    reg_by_filename_ModifyFilename window(state_, *this);
    window.exec();
    const QString new_path = join_path(QFileInfo(record.file_path).absolutePath(), tmpSongLocation);
    if (tmpSongLocation.contains('/') || QFileInfo::exists(new_path) || !chkSupport(tmpSongLocation)) return;
    if (!QFile::rename(record.file_path, new_path)) return;
    record.file_path = new_path;
    setArySong(k);
    refresh_entry();
}

void reg_by_filename::cmdAddSinger_Click() {
    const int k = selected_file();
    if (k < 0) return;
    for (const QString& name : files_[static_cast<size_t>(k)].singer_names()) {
        if (singers_.code_of(name) >= 0) continue;
        reg_by_filename_addSinger window(state_, this);
        window.singer_name.setText(name);
        window.exec();
    }
    // The check starts the file afresh; a similar-title decision taken before
    // the singers were added still holds.
    SongFileRecord& record = files_[static_cast<size_t>(k)];
    const SongFileRecord before = record;
    setArySong(k);
    if (record.repeat == kRepeatUndecided && before.repeat != kRepeatUndecided)
        apply_decision(record, before.repeat, before.replace_code);
    refresh_entry();
}

void reg_by_filename::cmdRepeadCom_Click() {
    const int k = selected_file();
    if (k < 0) return;
    SongFileRecord& record = files_[static_cast<size_t>(k)];
    // The stored song to replace stays chosen when the window is closed
    // without a new decision.
    tmpSongRepeatOrgSongCode = record.replace_code;
    tmpSongRepeat = record.repeat;
    tmpSongName = record.song_name;
    tmpSongSinger = record.singer;
    tmpSongLocation = record.file_path;
    {
        reg_by_filename_Same window(state_, *this);
        window.exec();
    }
    apply_decision(record, tmpSongRepeat, tmpSongRepeatOrgSongCode);
    refresh_entry();
}

void reg_by_filename::apply_decision(SongFileRecord& record, int repeat, const QString& replace_code) {
    record.repeat = repeat;
    record.replace_code = replace_code;
    if (record.singer_ok != kSingerMissing && record.repeat != kRepeatUndecided &&
        record.format_error == FileNameError::None)
        record.ready = true;
}

void reg_by_filename::cmdReg_Click() {
    frmAddSinger.hide();
    frmRepeat.hide();
    labSongInfo.clear();
    const auto unready =
        std::find_if(files_.begin(), files_.end(), [](const auto& file) { return !file.ready; });
    if (unready != files_.end()) {
        state_.platform.dialogs->notice(this, "尚有檔案未確認或格式錯誤 !");
        select_file(static_cast<int>(unready - files_.begin()));
        return;
    }
    const int registered = static_cast<int>(files_.size());
    QStringList stored_files;
    const bool stored =
        with_catalogue_errors_shown(state_, this, [&] { stored_files = register_files(registered); });
    rescan_ = true;
    if (folder_exists(txtPath.text())) cmdBrowse_Click();
    rescan_ = false;
    // Only now: the measurement's writes would slow the rescan's reading of
    // the catalogue (a fifth longer for 100,000 files).
    measure_registered_files(state_, stored_files);
    if (stored) labSongInfo.setText("已完成" + QString::number(registered) + "筆資料的登錄! ");
}

// The files whose songs were stored.
QStringList reg_by_filename::register_files(int count) {
    set_busy(true);
    const auto idle = qScopeGuard([this] { set_busy(false); });
    SongFileRegistrar registrar(state_.db_path, files_per_transaction);
    const QString of_all = "/" + QString::number(count);
    for (int i = 0; i < count; ++i) {
        show_progress([&] { return "進度 : " + QString::number(i + 1) + of_all; });
        registrar.register_file(files_[static_cast<size_t>(i)], today_text());
    }
    registrar.finish();
    return registrar.stored_files();
}
