#include "manager/batch_registe.h"

#include "foundation/app_state.h"
#include "foundation/catalogue_operations.h"
#include "foundation/helpers.h"
#include "foundation/lookups.h"
#include "foundation/loudness_background.h"
#include "manager/batch_file.h"
#include "manager/batch_same.h"
#include "manager/singer_lookup.h"
#include "manager/song_numbers.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "widgets/manager_forms.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QScopeGuard>

batch_registe::batch_registe(AppState& state, QWidget* parent)
    : QDialog(parent),
      Label1("請選定披次登錄檔"),
      select_reg_file("瀏覽"),
      batch_reg_do("執行批次"),
      state_(state) {
    setWindowTitle("披次登錄功能");
    auto* layout = new QGridLayout(this);
    layout->addWidget(&Label1, 0, 0);
    layout->addWidget(&reg_file_name, 0, 1);
    layout->addWidget(&select_reg_file, 0, 2);
    layout->addWidget(&batch_reg_do, 1, 2);
    layout->addWidget(&Label2, 2, 0, 1, 3);
    layout->setColumnStretch(1, 1);
    Label1.setBuddy(&reg_file_name);
    connect(&select_reg_file, &QPushButton::clicked, this, &batch_registe::select_reg_file_Click);
    connect(&batch_reg_do, &QPushButton::clicked, this,
            [this] { with_catalogue_errors_shown(state_, this, [this] { batch_reg_do_Click(); }); });
    fit_laid_out_window(*this, state, 0.7);
}

QString batch_registe::Get_NewSongNum(int song_kind, int song_text_count) const {
    return ::Get_NewSongNum(song_kind, song_text_count, state_.db_path);
}

void batch_registe::select_reg_file_Click() {
    const QString chosen = state_.platform.dialogs->open_file(this, QString(), QString(), QStringList());
    if (!chosen.isEmpty()) reg_file_name.setText(chosen);
}

void batch_registe::batch_reg_do_Click() {
    const QString batch_path = reg_file_name.text().trimmed();
    if (!file_exists(batch_path)) {
        state_.platform.dialogs->notice(this, "您所指定的披次登錄檔案並不存在ㄛ!");
        return;
    }
    batch_reg_do.setEnabled(false);  // no second run from inside this one's pauses
    const auto enable = qScopeGuard([this] { batch_reg_do.setEnabled(true); });
    run_batch(batch_path);
}

void batch_registe::run_batch(const QString& batch_path) {
    QFile file(batch_path);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QString folder = QFileInfo(batch_path).absolutePath();
    const BatchCheck check =
        check_batch_file(decode_text_file(file.readAll()), list_folder(folder).files, song_kind_names());
    file.close();
    if (check.problem != BatchProblem::None) {
        state_.platform.dialogs->notice(this, check.message());
        return;
    }
    const QString last_index = QString::number(static_cast<int>(check.songs.size()) - 1);
    for (size_t i = 0; i < check.songs.size(); ++i) {
        take_line(check.songs[i], folder);
        QApplication::processEvents();
        Label2.setText("進度 " + QString::number(i) + "/" + last_index + ":" + Str_Songname);
        register_line(check.songs[i]);
    }
    state_.platform.dialogs->notice(this, QString::number(check.songs.size()) + "筆資料已批次登錄完成");
    reg_file_name.clear();
}

void batch_registe::take_line(const BatchSong& song, const QString& folder) {
    Str_SongBuildDate = today_text();
    Str_Songkind = song.song_kind;
    Str_SongTextCount = song.text_count;
    Str_SongNum = Get_NewSongNum(Str_Songkind, Str_SongTextCount);
    Str_Songname = song.song_name;
    Str_SongSinger = song.singer;
    Str_SongLocation = join_path(folder, song.file_name);
}

void batch_registe::register_line(const BatchSong& song) {
    if (Str_SongNum.isEmpty()) {
        state_.platform.dialogs->notice(this, "曲目編號已用完, 本筆不登錄:" + song.line);
        return;
    }
    const int singer_code = singer_code_for_line();
    if (singer_code < 0) return;  // the singer was not registered: the line is skipped
    if (registered_already()) return;
    const Recordset similar = similar_songs();
    if (similar.Eof()) {
        store_song(singer_code);
    } else {
        offer_similar_title(similar, singer_code);
    }
}

Recordset batch_registe::similar_songs() const {
    return songs_with_similar_title(shared_session(state_.db_path), Str_Songname.trimmed(),
                                    Str_SongTextCount);
}

int batch_registe::singer_code_for_line() {
    const auto lookup = [this] {
        return stored_singer_code(Str_SongSinger.trimmed(), state_.db_path).value_or(-1);
    };
    const int code = lookup();
    if (code >= 0) return code;
    batch_singer_add window(state_, *this);
    window.singer_name.setText(Str_SongSinger.trimmed());
    window.exec();
    return lookup();
}

bool batch_registe::registered_already() const {
    return !songs_at_location(shared_session(state_.db_path), Str_SongLocation.trimmed()).Eof();
}

// The number was taken before the singer and similar-title questions; another
// room may have used it since, so it is checked again under the lock.
void batch_registe::store_song(int singer_code) {
    Str_SongNum = store_under_free_number(
        Str_SongNum.trimmed(), Str_Songkind, Str_SongTextCount, state_.db_path, [&](const QString& number) {
            add_song(shared_session(state_.db_path),
                     {number, Str_Songkind, Str_Songname, Str_SongTextCount, singer_code, Str_SongBuildDate,
                      Str_SongLocation.trimmed()});
        });
    if (Str_SongNum.isEmpty()) throw DatabaseError("曲目編號已用完: " + Str_Songname.toStdString());
    measure_registered_files(state_, {Str_SongLocation.trimmed()});
}

void batch_registe::offer_similar_title(const Recordset& similar, int singer_code) {
    state_.platform.dialogs->notice(this, similar.Field("song_name") + "與編號" + similar.Field("song_num") +
                                              "," +
                                              get_singer_name(state_, similar.FieldInt("song_singer_code")) +
                                              ",有類似曲名. 請修改或取消登錄!!");
    New_Song_Code = Str_SongNum.trimmed();
    New_Song_Singer_Code = singer_code;
    New_Song_Name_Str = Str_Songname.trimmed();
    batch_same window(state_, this,
                      NewSong{.number = New_Song_Code,
                              .singer_code = New_Song_Singer_Code,
                              .title_shown = Str_Songname.trimmed(),
                              .title_searched = New_Song_Name_Str,
                              .text_count = Str_SongTextCount,
                              .kind = Str_Songkind,
                              .build_date = Str_SongBuildDate,
                              .location = Str_SongLocation});
    window.exec();
}

batch_singer_add::batch_singer_add(AppState& state, batch_registe& caller)
    : singer_add(state, &caller, "批次登錄--新增歌手資料",
                 [&caller](const QString& name) { caller.Str_SongSinger = name; }) {}
