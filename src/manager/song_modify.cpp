#include "manager/song_modify.h"

#include "foundation/app_state.h"
#include "foundation/catalogue_operations.h"
#include "foundation/lookups.h"
#include "manager/preview_file.h"
#include "manager/shared_media_files.h"
#include "manager/singer_add.h"
#include "manager/singer_lookup.h"
#include "platform/dialogs.h"
#include "platform/key_codes.h"
#include "widgets/manager_forms.h"
#include "widgets/scale_control.h"

#include <QDate>
#include <QKeyEvent>

#include <optional>
#include <tuple>

namespace {

// The window's design size in twips; it is scaled to the screen's width.
constexpr int kDesignWidth = 9600;
constexpr int kDesignHeight = 5100;
constexpr double kDesignPoints = 9;
constexpr int kHighestListedCount = 30;

QString build_date_text(const QDate& date) {
    return date.toString("yyyy/MM/dd");
}

}  // namespace

song_modify::song_modify(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setWindowTitle("歌曲資料新增修改");
    Label1.setText("請輸入搜尋條件");
    key_search.setText("搜尋");
    key_exit.setText("離開");
    data_area.setTitle("資料修改區");
    key_singer.setText("找");
    key_location.setText("找");
    key_modify.setText("存檔");
    key_delete.setText("刪除");
    view_file.setText("預覽");
    const std::initializer_list<std::tuple<QLabel*, const char*, QWidget*>> captions = {
        {&Label2, "歌手名", &keyword_singer}, {&Label3, "歌曲名或編號", &keyword_song},
        {&Label4, "曲名", &song_name},        {&Label10, "歌手", &singer_name},
        {&Label5, "種類", &song_kind},        {&Label7, "編號", &song_num},
        {&Label6, "字數", &song_text_count},  {&Label8, " 建檔日", &song_build_date},
        {&Label9, "檔案位置", &song_location}};
    for (const auto& [label, caption, field] : captions) {
        label->setText(caption);
        caption_field(*label, *field);
    }
    List1.setAccessibleName("搜尋結果");
    song_num.setReadOnly(true);
    lay_out();

    connect(&key_search, &QPushButton::clicked, this, &song_modify::key_search_Click);
    connect(&keyword_singer, &QLineEdit::returnPressed, this, &song_modify::key_search_Click);
    connect(&keyword_song, &QLineEdit::returnPressed, this, &song_modify::key_search_Click);
    connect(&List1, &QListWidget::itemDoubleClicked, this, &song_modify::List1_DblClick);
    List1.installEventFilter(this);
    connect(&key_exit, &QPushButton::clicked, this, &song_modify::key_exit_Click);
    connect(&key_singer, &QPushButton::clicked, this, &song_modify::key_singer_Click);
    connect(&key_location, &QPushButton::clicked, this, &song_modify::key_location_Click);
    connect(&key_modify, &QPushButton::clicked, this, &song_modify::key_modify_Click);
    connect(&key_delete, &QPushButton::clicked, this, &song_modify::key_delete_Click);
    connect(&view_file, &QPushButton::clicked, this, &song_modify::view_file_Click);
    state_.clock.set_interval(Timer1, 500);
    connect(&Timer1, &QTimer::timeout, this, &song_modify::Timer1_Timer);
    Form_Load();
    Timer1.start();
}

// In the order Tab goes through them: the search, the hits, the edit area,
// and leaving last.
void song_modify::lay_out() {
    place_in_twips(
        {
            {&Label1, this, 240, 120, 3000, 300},
            {&Label2, this, 240, 480, 900, 330},
            {&keyword_singer, this, 1140, 480, 2040, 330},
            {&Label3, this, 3300, 480, 1500, 330},
            {&keyword_song, this, 4800, 480, 2400, 330},
            {&key_search, this, 7320, 450, 960, 390},
            {&List1, this, 240, 960, 9120, 2040},
            {&data_area, this, 240, 3060, 9120, 1980},
            {&Label4, &data_area, 120, 300, 600, 330},
            {&song_name, &data_area, 720, 300, 3600, 330},
            {&Label10, &data_area, 4440, 300, 600, 330},
            {&singer_name, &data_area, 5040, 300, 2400, 330},
            {&key_singer, &data_area, 7560, 285, 600, 360},
            {&Label5, &data_area, 120, 720, 600, 330},
            {&song_kind, &data_area, 720, 720, 1500, 330},
            {&Label7, &data_area, 2340, 720, 600, 330},
            {&song_num, &data_area, 2940, 720, 1320, 330},
            {&Label6, &data_area, 4440, 720, 600, 330},
            {&song_text_count, &data_area, 5040, 720, 900, 330},
            {&Label8, &data_area, 6060, 720, 1020, 330},
            {&song_build_date, &data_area, 7080, 720, 1500, 330},
            {&Label9, &data_area, 120, 1140, 1000, 330},
            {&song_location, &data_area, 1120, 1140, 6320, 330},
            {&key_location, &data_area, 7560, 1125, 600, 360},
            {&key_modify, &data_area, 1120, 1560, 1200, 360},
            {&key_delete, &data_area, 2440, 1560, 1200, 360},
            {&view_file, &data_area, 3760, 1560, 1200, 360},
            {&key_exit, this, 8400, 450, 960, 390},
        },
        state_.twips_per_pixel);
    setFont(design_font(kDesignPoints));
}

// No song loaded, both lists filled, everything grown to the screen's width.
void song_modify::Form_Load() {
    loaded_flag = 0;
    fill_kind_list(0);
    fill_count_list(1);
    song_kind.setCurrentIndex(-1);
    song_text_count.setCurrentIndex(-1);
    size_in_twips(*this, kDesignWidth, kDesignHeight, state_.twips_per_pixel);
    const double factor = screen_share_factor(state_, 1, kDesignWidth);
    scale_control(this, factor);
    for (QWidget* control : std::initializer_list<QWidget*>{
             &Label1,        &Label2,          &keyword_singer, &Label3,          &keyword_song, &key_search,
             &List1,         &key_exit,        &data_area,      &Label4,          &song_name,    &Label10,
             &singer_name,   &key_singer,      &Label5,         &song_kind,       &Label7,       &song_num,
             &Label6,        &song_text_count, &Label8,         &song_build_date, &key_modify,   &Label9,
             &song_location, &key_location,    &key_delete,     &view_file})
        scale_control(control, factor);
    Timer1_Timer();
}

void song_modify::fill_kind_list(int song_kind_code) {
    song_kind.clear();
    const auto& names = song_kind_names();
    for (int code = 0; code < static_cast<int>(names.size()); ++code)
        song_kind.addItem(QString::number(code) + "." + names[static_cast<size_t>(code)], code);
    if (song_kind.findData(song_kind_code) < 0)
        song_kind.addItem(QString::number(song_kind_code), song_kind_code);
    song_kind.setCurrentIndex(song_kind.findData(song_kind_code));
}

void song_modify::fill_count_list(int count) {
    song_text_count.clear();
    for (int listed = 1; listed <= kHighestListedCount; ++listed)
        song_text_count.addItem(QString::number(listed), listed);
    if (song_text_count.findData(count) < 0) song_text_count.addItem(QString::number(count), count);
    song_text_count.setCurrentIndex(song_text_count.findData(count));
}

void song_modify::notice(const QString& text) {
    state_.platform.dialogs->notice(this, text);
}

void song_modify::Timer1_Timer() {
    data_area.setEnabled(loaded_flag != 0);
}

// The title keyword is taken as typed, blanks included; the singer keyword
// trimmed. A song whose singer row is gone has no hit. One row past the
// list's capacity is read, to tell that more matched.
void song_modify::key_search_Click() {
    List1.clear();
    loaded_flag = 0;
    hit_count = 0;
    with_catalogue_errors_shown(state_, this, [this] {
        Recordset hits = songs_matching(shared_session(state_.db_path), keyword_song.text(),
                                        keyword_singer.text().trimmed(), kHitCapacity + 1);
        for (; !hits.Eof() && hit_count < kHitCapacity; hits.MoveNext(), ++hit_count) {
            const auto at = static_cast<size_t>(hit_count);
            hit_numbers[at] = hits.Field("song_num");
            hit_singers[at] = hits.FieldInt("song_singer_code");
            List1.addItem(hit_numbers[at] + "-" + hits.Field("song_name") + " -- " +
                          hits.Field("singer_name"));
        }
        if (!hits.Eof()) List1.addItem(cut_list_line(kHitCapacity));
    });
}

// Loads the row of the hit's own singer, so that each singer of a song with
// several shows as listed.
void song_modify::List1_DblClick() {
    const int row = List1.currentRow();
    const QListWidgetItem* item = List1.currentItem();
    if (row < 0 || row >= hit_count || !item || !item->isSelected()) return;
    with_catalogue_errors_shown(state_, this, [this, row] {
        const auto at = static_cast<size_t>(row);
        Recordset song = songs_numbered(shared_session(state_.db_path), hit_numbers[at]);
        if (song.Eof()) {
            // Deleted meanwhile by another program.
            empty_edit_area();
            loaded_flag = 0;
            return notice(get_song_name(state_, hit_numbers[at]));
        }
        while (!song.Eof() && song.FieldInt("song_singer_code") != hit_singers[at]) song.MoveNext();
        if (song.Eof()) song.MoveFirst();
        loaded_number = hit_numbers[at];
        loaded_flag = 1;
        load_song(song);
    });
}

void song_modify::load_song(const Recordset& song) {
    song_name.setText(song.Field("song_name"));
    fill_kind_list(song.FieldInt("song_kind"));
    fill_count_list(song.FieldInt("song_text_count"));
    song_location.setText(song.Field("song_location"));
    loaded_singer_code = song.FieldInt("song_singer_code");
    loaded_singer_name = get_singer_name(state_, loaded_singer_code);
    singer_name.setText(loaded_singer_name);
    song_num.setText(loaded_number);
    const QString stored_date = song.Field("song_build_date");
    const std::optional<QDate> date = typed_date(stored_date);
    song_build_date.setText(date ? build_date_text(*date) : stored_date);
}

void song_modify::empty_edit_area() {
    for (QLineEdit* field : {&song_name, &singer_name, &song_num, &song_build_date, &song_location})
        field->clear();
}

void song_modify::key_modify_Click() {
    if (!loaded_flag) return;
    with_catalogue_errors_shown(state_, this, [this] {
        if (!typed_date(song_build_date.text())) return notice("請指定好日期");
        if (song_name.text().isEmpty()) return notice("請輸入正確的曲目名");
        const std::optional<int> singer_code = saved_singer_code();
        if (singer_code) update_song(*singer_code);
    });
}

// An untouched singer field keeps every row's own singer: the field shows
// only one singer of a song that has several.
std::optional<int> song_modify::saved_singer_code() {
    if (singer_name.text().trimmed() == loaded_singer_name.trimmed()) return loaded_singer_code;
    std::optional<int> found = stored_singer_code(singer_name.text().trimmed(), state_.db_path);
    if (!found) {
        register_typed_singer();
        found = stored_singer_code(singer_name.text().trimmed(), state_.db_path);
    }
    if (!found) notice("找不到歌手,未存檔");
    return found;
}

// The singer window opens with the typed name. The name it confirms comes
// back into the singer field only when it closes with "ok!": after a "No" to
// its same-name question and the close box, the song is not saved.
void song_modify::register_typed_singer() {
    QString confirmed;
    singer_add registration(state_, this, [&confirmed](const QString& name) { confirmed = name; });
    registration.singer_name.setText(singer_name.text().trimmed());
    if (registration.exec() == QDialog::Accepted) singer_name.setText(confirmed);
}

// Every row of the number gets the edited values; a changed singer replaces
// only the singer the edit area showed.
void song_modify::update_song(int singer_code) {
    const QString date = build_date_text(*typed_date(song_build_date.text()));
    change_songs_numbered(
        shared_session(state_.db_path),
        {loaded_number, song_kind.currentData().toInt(), song_name.text(),
         song_text_count.currentData().toInt(), singer_code, date, song_location.text().trimmed()},
        loaded_singer_code);
    loaded_singer_code = singer_code;
    loaded_singer_name = get_singer_name(state_, singer_code);
    singer_name.setText(loaded_singer_name);
    song_build_date.setText(date);
}

void song_modify::key_delete_Click() {
    if (!loaded_flag) return;
    with_catalogue_errors_shown(state_, this, [this] {
        const QString question =
            "是否要刪除編號" + loaded_number + "," + get_song_name(state_, loaded_number);
        if (!state_.platform.dialogs->ask_yes_no(this, question + ",這首歌?")) return;
        if (state_.platform.dialogs->ask_yes_no(this, question + ",這首歌的檔?")) delete_media_file();
        delete_songs_numbered(shared_session(state_.db_path), loaded_number);
        key_search_Click();
        empty_edit_area();
    });
}

// The loaded song's file goes unless another song number still plays it. A
// file that is gone already is no obstacle; one that could not be deleted is
// reported, and the song is deleted from the catalogue all the same.
void song_modify::delete_media_file() {
    const QString path = get_song_location(state_, loaded_number);
    if (!delete_unplayed_media_file(path, loaded_number, state_.db_path)) notice("無法刪除檔案:" + path);
}

// A cancelled dialog leaves the path as it was.
void song_modify::key_location_Click() {
    const QString chosen = state_.platform.dialogs->open_file(this, QString(), song_location.text(), {});
    if (!chosen.isEmpty()) song_location.setText(chosen);
}

void song_modify::key_singer_Click() {
    song_modify_check_singer choice(state_, *this);
    choice.exec();
}

void song_modify::view_file_Click() {
    if (!loaded_flag) return;
    preview_file(state_, this, song_location.text().trimmed(), song_name.text() + " 預覽");
}

void song_modify::key_exit_Click() {
    accept();
}

bool song_modify::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &List1 && event->type() == QEvent::KeyPress &&
        key_code_of(*static_cast<QKeyEvent*>(event)) == 13) {
        List1_DblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// Enter searches from the keyword fields and presses a focused button; in the
// edit area it does nothing, where a dialog's default button would search
// and drop the loaded song.
void song_modify::keyPressEvent(QKeyEvent* event) {
    if (key_code_of(*event) == 13) return event->accept();
    QDialog::keyPressEvent(event);
}

song_modify_check_singer::song_modify_check_singer(AppState& state, song_modify& opener)
    : singer_choice_list(state, &opener, opener.singer_name, kCapacity) {}
