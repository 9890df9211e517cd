#include "manager/batch_same.h"

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/lookups.h"
#include "manager/manager_errors.h"
#include "manager/preview_file.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>

namespace {

const QString kDeletesTheFile = "刪除之後,原始檔案也會一並刪除";

}  // namespace

batch_same::batch_same(AppState& state, QWidget* parent, SimilarTitleSong song)
    : QDialog(parent),
      Frame1("原本歌曲"),
      org_Label1("曲名"),
      org_view("觀看內容"),
      org_Label2("改曲名"),
      org_modify("修改曲名"),
      org_kill("刪除"),
      Frame2("新進歌曲"),
      new_Label("曲名"),
      new_view("觀看內容"),
      new_add("新增"),
      new_cancel("算了"),
      state_(state),
      song_(std::move(song)) {
    setWindowTitle("批次新增");
    lay_out();
    connect_handlers();
    Form_Load();
}

void batch_same::lay_out() {
    auto* stored = new QGridLayout(&Frame1);
    stored->addWidget(&org_Label1, 0, 0);
    stored->addWidget(&org_song_name, 0, 1);
    stored->addWidget(&org_view, 0, 2);
    stored->addWidget(&org_song_singer_lab, 1, 1);
    stored->addWidget(&org_Label2, 2, 0);
    stored->addWidget(&org_renew, 2, 1);
    stored->addWidget(&org_modify, 2, 2);
    stored->addWidget(&org_kill, 3, 2);
    auto* incoming = new QGridLayout(&Frame2);
    incoming->addWidget(&new_Label, 0, 0);
    incoming->addWidget(&new_song_name, 0, 1);
    incoming->addWidget(&new_view, 0, 2);
    incoming->addWidget(&new_add, 1, 1);
    incoming->addWidget(&new_cancel, 1, 2);
    org_Label1.setBuddy(&org_song_name);
    org_Label2.setBuddy(&org_renew);
    new_Label.setBuddy(&new_song_name);
    org_song_name.setEditable(true);
    org_song_name.setInsertPolicy(QComboBox::NoInsert);
    org_kill.setToolTip(kDeletesTheFile);
    new_cancel.setToolTip(kDeletesTheFile);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(&Frame1);
    layout->addWidget(&Frame2);
    resize(state_.screen_size.width() / 2, sizeHint().height());
}

void batch_same::connect_handlers() {
    const auto guarded = [this](void (batch_same::*handler)()) {
        return [this, handler] { report_catalogue_errors(state_, this, [&] { (this->*handler)(); }); };
    };
    connect(&org_song_name, &QComboBox::activated, this, guarded(&batch_same::org_song_name_Click));
    connect(org_song_name.lineEdit(), &QLineEdit::textEdited, this, &batch_same::org_song_name_Change);
    connect(&org_view, &QPushButton::clicked, this, guarded(&batch_same::org_view_Click));
    connect(&new_view, &QPushButton::clicked, this, &batch_same::new_view_Click);
    connect(&org_modify, &QPushButton::clicked, this, guarded(&batch_same::org_modify_Click));
    connect(&new_add, &QPushButton::clicked, this, guarded(&batch_same::new_add_Click));
    connect(&org_kill, &QPushButton::clicked, this, guarded(&batch_same::org_kill_Click));
    connect(&new_cancel, &QPushButton::clicked, this, &batch_same::new_cancel_Click);
}

void batch_same::Form_Load() {
    new_song_name.setText(song_.shown_title);
    Recordset similar =
        open_recordset("SELECT * FROM song WHERE song_name LIKE '" + sql_quoted(song_.searched_title) +
                           "%' and song_text_count=" + QString::number(song_.text_count),
                       state_.db_path);
    for (; !similar.Eof(); similar.MoveNext()) {
        song_nums_ << similar.Field("song_num");
        singer_codes_.push_back(similar.FieldInt("song_singer_code"));
        org_song_name.addItem(similar.Field("song_name"));
    }
    org_song_name.setCurrentIndex(song_nums_.isEmpty() ? -1 : 0);
    show_chosen_song();
}

void batch_same::show_chosen_song() {
    if (chosen() < 0) return;
    org_renew.setText(org_song_name.itemText(chosen()));
    org_song_singer_lab.setText("演唱者:" +
                                get_singer_name(state_, singer_codes_[static_cast<size_t>(chosen())]));
}

void batch_same::org_song_name_Click() {
    show_chosen_song();
}

void batch_same::org_song_name_Change() {
    state_.platform.dialogs->notice(this, "您不可以修改本欄位資料, 若想要修改曲名請在下列新曲名修改");
}

void batch_same::org_view_Click() {
    if (chosen() < 0) return;
    preview_file(state_, this, get_song_location(state_, song_nums_[chosen()]), "瀏覽原本的歌曲檔");
}

void batch_same::new_view_Click() {
    preview_file(state_, this, song_.location, "瀏覽新進的歌曲檔");
}

void batch_same::org_modify_Click() {
    const int position = chosen();
    if (position < 0) return;
    const QString new_title = org_renew.text().trimmed();
    execute_sql("UPDATE song SET song_name = '" + sql_quoted(new_title) + "' WHERE song_num = '" +
                    sql_quoted(song_nums_[position].trimmed()) + "'",
                state_.db_path);
    org_song_name.clear();
    for (const QString& number : std::as_const(song_nums_))
        org_song_name.addItem(get_song_name(state_, number));
    org_song_name.setCurrentIndex(position);
    state_.platform.dialogs->notice(this, "舊曲名已修改為" + new_title);
}

void batch_same::new_add_Click() {
    execute_sql(
        "INSERT INTO song(song_num,song_kind,song_name,song_text_count,song_singer_code,song_build_date,"
        "song_location) values('" +
            sql_quoted(song_.number.trimmed()) + "'," + QString::number(song_.song_kind) + ",'" +
            sql_quoted(new_song_name.text()) + "'," + QString::number(song_.text_count) + "," +
            QString::number(song_.singer_code) + ",'" + sql_quoted(song_.build_date) + "','" +
            sql_quoted(song_.location) + "')",
        state_.db_path);
    state_.platform.dialogs->notice(this, "存入ok! 請進行下一首曲的批次作業");
    accept();
}

// Each step goes on when an earlier one failed: the manager asked for the
// stored song to go, and its number goes to the new song in any case.
void batch_same::org_kill_Click() {
    const int position = chosen();
    if (position < 0 || !Frame1.isEnabled()) return;
    if (!state_.platform.dialogs->ask_yes_no(this,
                                             "若是刪除舊曲, 則舊曲的歌檔也會從系統中刪除掉!\n"
                                             "而舊曲的曲目編號也會即時讓給新的登錄!!\n請確定"))
        return;
    const QString number = song_nums_[position].trimmed();
    report_catalogue_errors(state_, this, [&] {
        const QString old_file = get_song_location(state_, number);
        if (QFileInfo(old_file).isFile()) delete_file(old_file);
    });
    report_catalogue_errors(state_, this, [&] {
        execute_sql("DELETE FROM song WHERE song_num='" + sql_quoted(number) + "'", state_.db_path);
    });
    song_.number = number;
    Frame1.setTitle("原本歌曲登錄及檔案以刪除");
    Frame1.setEnabled(false);
    if (state_.platform.dialogs->ask_yes_no(this, "舊曲目已刪除, 是否讓新曲目替換上?")) new_add_Click();
}

void batch_same::new_cancel_Click() {
    Dialogs& dialogs = *state_.platform.dialogs;
    if (!Frame1.isEnabled() &&
        !dialogs.ask_yes_no(this,
                            "原本的歌曲檔及其登錄已經被您刪除了,請問您是否真的要取消這首新進歌曲的新登錄?"))
        return;
    if (!dialogs.ask_yes_no(this, "您這新進的歌真的不登錄? 是否真的要算了而進行下一首歌的登錄?")) return;
    if (dialogs.ask_yes_no(this, "是否要一起刪除這新進歌曲的檔案?")) delete_file(song_.location);
    reject();
}
