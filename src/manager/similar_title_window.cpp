#include "manager/similar_title_window.h"

#include "foundation/app_state.h"
#include "foundation/catalogue_operations.h"
#include "foundation/lookups.h"
#include "foundation/loudness_background.h"
#include "manager/preview_file.h"
#include "manager/shared_media_files.h"
#include "manager/song_numbers.h"
#include "platform/dialogs.h"
#include "widgets/manager_forms.h"

namespace {

// The design size in twips; the window is scaled to half the screen width.
constexpr int kDesignWidth = 8400;
constexpr int kDesignHeight = 4440;
constexpr double kDesignPoints = 12;

}  // namespace

similar_title_window::similar_title_window(AppState& state, QWidget* parent, NewSong new_song,
                                           SimilarTitleTexts texts)
    : QDialog(parent), state_(state), new_song_(std::move(new_song)), texts_(std::move(texts)) {
    setWindowTitle(texts_.window_title);
    set_captions();
    lay_out();
    connect_controls();
    with_catalogue_errors_shown(state_, this, [this] { Form_Load(); });
}

void similar_title_window::set_captions() {
    Frame1.setTitle("原本歌曲");
    org_Label1.setText("曲名");
    org_view.setText("觀看內容");
    org_Label2.setText("改曲名");
    org_modify.setText("修改曲名");
    org_kill.setText(texts_.org_kill_caption);
    org_kill.setToolTip(texts_.org_kill_hint);
    Frame2.setTitle("新進歌曲");
    new_Label.setText("曲名");
    new_view.setText("觀看內容");
    new_add.setText("新增");
    new_cancel.setText("算了");
    new_cancel.setToolTip("刪除之後,原始檔案也會一並刪除");
    caption_field(org_Label1, org_song_name);
    caption_field(org_Label2, org_renew);
    caption_field(new_Label, new_song_name);
    // The stored titles are chosen, not typed: Enter must not add one.
    org_song_name.setEditable(true);
    org_song_name.setInsertPolicy(QComboBox::NoInsert);
}

// The order of placing is the order of the Tab key.
void similar_title_window::lay_out() {
    const int tpp = state_.twips_per_pixel;
    size_in_twips(*this, kDesignWidth, kDesignHeight, tpp);
    place_in_twips(
        {
            {&Frame1, this, 120, 120, 8160, 2520},
            {&org_Label1, &Frame1, 240, 420, 1080, 360},
            {&org_song_name, &Frame1, 1320, 360, 4080, 420},
            {&org_view, &Frame1, 5640, 360, 1800, 420},
            {&org_song_singer_lab, &Frame1, 1320, 900, 4080, 360},
            {&org_Label2, &Frame1, 240, 1440, 1080, 360},
            {&org_renew, &Frame1, 1320, 1380, 4080, 420},
            {&org_modify, &Frame1, 5640, 1380, 1800, 420},
            {&org_kill, &Frame1, 5640, 1920, 1800, 420},
            {&Frame2, this, 120, 2760, 8160, 1560},
            {&new_Label, &Frame2, 240, 420, 1080, 360},
            {&new_song_name, &Frame2, 1320, 360, 4080, 420},
            {&new_view, &Frame2, 5640, 360, 1800, 420},
            {&new_add, &Frame2, 1320, 960, 1560, 480},
            {&new_cancel, &Frame2, 3120, 960, 1560, 480},
        },
        tpp);
    setFont(design_font(kDesignPoints));
}

void similar_title_window::connect_controls() {
    connect(&org_song_name, &QComboBox::activated, this, &similar_title_window::org_song_name_Click);
    connect(org_song_name.lineEdit(), &QLineEdit::textEdited, this,
            &similar_title_window::org_song_name_Change);
    connect(&org_view, &QPushButton::clicked, this, &similar_title_window::org_view_Click);
    connect(&org_modify, &QPushButton::clicked, this, &similar_title_window::org_modify_Click);
    connect(&org_kill, &QPushButton::clicked, this, &similar_title_window::org_kill_Click);
    connect(&new_view, &QPushButton::clicked, this, &similar_title_window::new_view_Click);
    connect(&new_add, &QPushButton::clicked, this, &similar_title_window::new_add_Click);
    connect(&new_cancel, &QPushButton::clicked, this, &similar_title_window::new_cancel_Click);
}

void similar_title_window::Form_Load() {
    scale_form(
        *this, screen_share_factor(state_, 0.5, kDesignWidth),
        {&Frame1, &org_Label1, &org_song_name, &org_song_singer_lab, &org_view, &org_Label2, &org_renew,
         &org_modify, &org_kill, &Frame2, &new_Label, &new_song_name, &new_view, &new_add, &new_cancel});
    centre_on_screen(*this, state_);
    new_song_name.setText(new_song_.title_shown);
    list_similar_songs();
    if (stored_songs_.empty()) return;
    org_song_name.setCurrentIndex(0);
    org_song_name_Click(0);
}

void similar_title_window::list_similar_songs() {
    org_song_name.clear();
    Recordset similar = songs_with_similar_title(shared_session(state_.db_path), new_song_.title_searched,
                                                 new_song_.text_count);
    stored_songs_.reserve(similar.RecordCount());
    for (; !similar.Eof(); similar.MoveNext()) {
        stored_songs_.push_back({similar.Field("song_num"), similar.FieldInt("song_singer_code")});
        org_song_name.addItem(similar.Field("song_name"));
    }
}

const similar_title_window::StoredSong* similar_title_window::chosen_song() const {
    const int position = org_song_name.currentIndex();
    if (position < 0 || position >= static_cast<int>(stored_songs_.size())) return nullptr;
    return &stored_songs_[position];
}

void similar_title_window::org_song_name_Click(int position) {
    if (position < 0 || position >= static_cast<int>(stored_songs_.size())) return;
    org_renew.setText(org_song_name.itemText(position));
    with_catalogue_errors_shown(state_, this, [this, position] {
        org_song_singer_lab.setText("演唱者:" + get_singer_name(state_, stored_songs_[position].singer_code));
    });
}

// The typed text stays; only the rename field below changes a title.
void similar_title_window::org_song_name_Change() {
    state_.platform.dialogs->notice(this, "您不可以修改本欄位資料, 若想要修改曲名請在下列新曲名修改");
}

void similar_title_window::org_view_Click() {
    const StoredSong* chosen = chosen_song();
    if (!chosen) return;
    QString file;
    with_catalogue_errors_shown(state_, this, [&] { file = get_song_location(state_, chosen->number); });
    if (!file.isEmpty()) preview_file(state_, this, file, "瀏覽原本的歌曲檔");
}

void similar_title_window::new_view_Click() {
    preview_file(state_, this, new_song_.location, "瀏覽新進的歌曲檔");
}

void similar_title_window::org_modify_Click() {
    if (!chosen_song()) return;
    with_catalogue_errors_shown(state_, this, [this] { rename_chosen_song(); });
}

void similar_title_window::rename_chosen_song() {
    const QString new_title = org_renew.text().trimmed();
    rename_songs_numbered(shared_session(state_.db_path), chosen_song()->number.trimmed(), new_title);
    relist_titles();
    state_.platform.dialogs->notice(this, "舊曲名已修改為" + new_title);
}

// Every listed title afresh from the catalogue, the same song chosen.
void similar_title_window::relist_titles() {
    const int chosen = org_song_name.currentIndex();
    org_song_name.clear();
    for (const StoredSong& song : stored_songs_) org_song_name.addItem(get_song_name(state_, song.number));
    org_song_name.setCurrentIndex(chosen);
}

// Once the chosen song is gone, its frame is disabled and there is nothing
// left to delete.
void similar_title_window::org_kill_Click() {
    if (!chosen_song() || !Frame1.isEnabled()) return;
    if (!state_.platform.dialogs->ask_yes_no(this,
                                             "若是刪除舊曲, 則舊曲的歌檔也會從系統中刪除掉!\n"
                                             "而舊曲的曲目編號也會即時讓給新的登錄!!\n"
                                             "請確定"))
        return;
    replace_chosen_song();
    if (state_.platform.dialogs->ask_yes_no(this, "舊曲目已刪除, 是否讓新曲目替換上?")) new_add_Click();
}

// Deletes the chosen stored song's file and rows and hands its number to the
// new song. Each step is tried even when one before it failed.
void similar_title_window::replace_chosen_song() {
    const QString number = chosen_song()->number.trimmed();
    try {
        const QString file = get_song_location(state_, number);
        if (!same_file(file, new_song_.location)) delete_unplayed_media_file(file, number, state_.db_path);
    } catch (const DatabaseError&) {
    }
    try {
        delete_songs_numbered(shared_session(state_.db_path), number);
    } catch (const DatabaseError&) {
    }
    new_song_.number = number;
    Frame1.setTitle(texts_.deleted_frame_caption);
    Frame1.setEnabled(false);
}

void similar_title_window::new_add_Click() {
    with_catalogue_errors_shown(state_, this, [this] {
        if (!store_new_song()) return;
        state_.platform.dialogs->notice(this, texts_.stored_notice);
        accept();
    });
}

// The number was proposed before this window opened; another room may have
// used it since, so it is checked again under the lock, just before the
// insert. False when every number of the song's kind and length is taken.
bool similar_title_window::store_new_song() {
    const QString number = store_under_free_number(
        new_song_.number.trimmed(), new_song_.kind, new_song_.text_count, state_.db_path,
        [this](const QString& free_number) {
            add_song(shared_session(state_.db_path),
                     {free_number, new_song_.kind, new_song_name.text(), new_song_.text_count,
                      new_song_.singer_code, new_song_.build_date, new_song_.location});
        });
    if (number.isEmpty()) {
        state_.platform.dialogs->notice(this, "這一類這個字數的曲目編號已經用完了");
        return false;
    }
    new_song_.number = number;
    measure_registered_files(state_, {new_song_.location});
    return true;
}

void similar_title_window::new_cancel_Click() {
    if (give_up_new_song()) reject();
}

// Asks whether the new song is really given up and whether its file goes as
// well; false when the manager thinks better of it.
bool similar_title_window::give_up_new_song() {
    Dialogs& dialogs = *state_.platform.dialogs;
    if (!Frame1.isEnabled() &&
        !dialogs.ask_yes_no(this,
                            "原本的歌曲檔及其登錄已經被您刪除了,請問您是否真的要取消這首新進歌曲的新登錄?"))
        return false;
    if (!dialogs.ask_yes_no(this, "您這新進的歌真的不登錄? 是否真的要算了而進行下一首歌的登錄?"))
        return false;
    if (dialogs.ask_yes_no(this, "是否要一起刪除這新進歌曲的檔案?")) {
        with_catalogue_errors_shown(state_, this, [this] {
            delete_unplayed_media_file(new_song_.location, QString(), state_.db_path);
        });
    }
    return true;
}
