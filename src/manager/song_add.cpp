#include "manager/song_add.h"

#include "foundation/app_state.h"
#include "foundation/catalogue_operations.h"
#include "foundation/helpers.h"
#include "foundation/lookups.h"
#include "foundation/loudness_background.h"
#include "manager/singer_add.h"
#include "manager/singer_lookup.h"
#include "manager/song_add_check_singer_name.h"
#include "manager/song_add_same.h"
#include "manager/song_numbers.h"
#include "platform/dialogs.h"
#include "platform/key_codes.h"
#include "widgets/manager_forms.h"

#include <QDate>
#include <QFocusEvent>
#include <QKeyEvent>

namespace {

// The design size in twips; the window is scaled to 0.7 of the screen width.
constexpr int kDesignWidth = 9000;
constexpr int kDesignHeight = 4200;
constexpr double kDesignPoints = 12;

constexpr int kEnter = 13;
constexpr int kHighestTitleLength = 30;

bool is_whole_number(const QString& text) {
    bool ok = false;
    text.trimmed().toLongLong(&ok);
    return ok;
}

// A focus change inside the window; a message box or a list's own pop-up
// taking the keyboard is no leaving of the field.
bool leaves_field(const QFocusEvent& event) {
    return event.reason() != Qt::PopupFocusReason && event.reason() != Qt::ActiveWindowFocusReason;
}

}  // namespace

Song_Add::Song_Add(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setWindowTitle("新增歌曲");
    set_captions();
    lay_out();
    connect_controls();
    Form_Load();
}

// The focus leaves the fields while the window goes: nothing is proposed then.
Song_Add::~Song_Add() {
    for (QWidget* field : watched_fields()) field->removeEventFilter(this);
}

void Song_Add::set_captions() {
    Label1.setText("曲目種類");
    Label2.setText("字數");
    lb_song_code.setText("曲目編號");
    Label3.setText("建檔日期");
    Label4.setText("曲目名");
    Label5.setText("演唱者");
    Label6.setText("檔案位置");
    check_singr_name.setText("選擇");
    Command1.setText("瀏覽");
    add_do.setText("存");
    forget_it.setText("算了");
    caption_field(Label1, song_kind);
    caption_field(Label2, song_text_count);
    caption_field(lb_song_code, song_code);
    caption_field(Label3, song_build_date);
    caption_field(Label4, song_name);
    caption_field(Label5, singer_name);
    caption_field(Label6, song_location);
    // The number is proposed, never typed; the field still takes the focus
    // so that a screen reader reads it out.
    song_code.setReadOnly(true);
}

// The order of placing is the order of the Tab key.
void Song_Add::lay_out() {
    const int tpp = state_.twips_per_pixel;
    size_in_twips(*this, kDesignWidth, kDesignHeight, tpp);
    place_in_twips(
        {
            {&Label1, this, 240, 300, 1200, 360},          {&song_kind, this, 1440, 240, 1800, 420},
            {&Label2, this, 3480, 300, 720, 360},          {&song_text_count, this, 4200, 240, 1080, 420},
            {&lb_song_code, this, 5520, 300, 1200, 360},   {&song_code, this, 6720, 240, 1800, 420},
            {&Label3, this, 240, 900, 1200, 360},          {&song_build_date, this, 1440, 840, 1800, 420},
            {&lb_date_struct, this, 3480, 780, 5040, 600}, {&Label4, this, 240, 1560, 1200, 360},
            {&song_name, this, 1440, 1500, 7080, 420},     {&Label5, this, 240, 2160, 1200, 360},
            {&singer_name, this, 1440, 2100, 5400, 420},   {&check_singr_name, this, 7080, 2100, 1440, 420},
            {&Label6, this, 240, 2760, 1200, 360},         {&song_location, this, 1440, 2700, 5400, 420},
            {&Command1, this, 7080, 2700, 1440, 420},      {&add_do, this, 2640, 3420, 1800, 540},
            {&forget_it, this, 4920, 3420, 1800, 540},
        },
        tpp);
    setFont(design_font(kDesignPoints));
    add_do.setDefault(true);
}

void Song_Add::connect_controls() {
    connect(&song_kind, &QComboBox::activated, this, &Song_Add::song_kind_Click);
    connect(&song_text_count, &QComboBox::activated, this, &Song_Add::song_text_count_Click);
    connect(&Command1, &QPushButton::clicked, this, &Song_Add::Command1_Click);
    connect(&check_singr_name, &QPushButton::clicked, this, &Song_Add::check_singr_name_Click);
    connect(&add_do, &QPushButton::clicked, this, &Song_Add::add_do_Click);
    connect(&forget_it, &QPushButton::clicked, this, &Song_Add::forget_it_Click);
    for (QWidget* field : watched_fields()) field->installEventFilter(this);
}

void Song_Add::Form_Load() {
    fill_lists();
    scale_form(*this, screen_share_factor(state_, 0.7, kDesignWidth),
               {&Label1, &Label2, &Label3, &Label4, &Label5, &Label6, &lb_song_code, &lb_date_struct,
                &song_build_date, &song_kind, &song_text_count, &song_code, &song_name, &singer_name,
                &song_location, &check_singr_name, &Command1, &add_do, &forget_it});
    centre_on_screen(*this, state_);
}

// The lists without a selection, and today as the registration date.
void Song_Add::fill_lists() {
    song_build_date.setText(today_text());
    song_kind.clear();
    for (int kind = 0; kind < 8; ++kind)
        song_kind.addItem(QString::number(kind) + "." + song_kind_names()[kind]);
    song_kind.setCurrentIndex(-1);
    song_text_count.clear();
    for (int count = 1; count <= kHighestTitleLength; ++count)
        song_text_count.addItem(QString::number(count));
    song_text_count.setCurrentIndex(-1);
    lb_date_struct.setText("YYYY/MM/DD\nex:今天就設成:" + today_text());
}

// The lists propose the number on leaving them; the file field saves on Enter.
std::array<QWidget*, 3> Song_Add::watched_fields() {
    return {&song_kind, &song_text_count, &song_location};
}

bool Song_Add::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && leaves_field(static_cast<QFocusEvent&>(*event))) {
        if (watched == &song_kind) song_kind_LostFocus();
        if (watched == &song_text_count) song_text_count_LostFocus();
    }
    if (event->type() == QEvent::KeyPress && watched == &song_location) {
        const auto code = key_code_of(static_cast<QKeyEvent&>(*event));
        if (code == kEnter) {
            song_location_KeyPress(kEnter);
            return true;  // an empty field does not press the default button either
        }
    }
    return QDialog::eventFilter(watched, event);
}

// A pick, by mouse or arrow key, proposes the number at once as well, so
// that the number never stands for another choice than the one shown.
void Song_Add::song_kind_Click() {
    song_kind_changed = true;
    song_kind_LostFocus();
}

void Song_Add::song_text_count_Click() {
    song_text_count_changed = true;
    song_text_count_LostFocus();
}

void Song_Add::song_kind_LostFocus() {
    if (!song_kind_changed || !song_text_count_changed) {
        lb_song_code.setEnabled(false);
        song_code.setEnabled(false);
        song_code.clear();
        return;
    }
    lb_song_code.setEnabled(true);
    song_code.setEnabled(true);
    song_code.clear();  // no number of another choice stays when the catalogue fails
    with_catalogue_errors_shown(state_, this, [this] {
        const int kind = song_kind.currentText().left(1).toInt();
        const int count = song_text_count.currentText().toInt();
        song_code.setText(Get_NewSongNum(kind, count, state_.db_path));
        if (song_code.text().isEmpty())
            state_.platform.dialogs->notice(this, "這一類這個字數的曲目編號已經用完了");
    });
}

void Song_Add::song_text_count_LostFocus() {
    song_kind_LostFocus();
}

void Song_Add::song_location_KeyPress(int key) {
    if (key == kEnter && !song_location.text().isEmpty()) add_do_Click();
}

// The platform's open-file dialog; a cancelled dialog leaves the field.
void Song_Add::Command1_Click() {
    const QString path = state_.platform.dialogs->open_file(this, QString(), QString(), {});
    if (!path.isEmpty()) song_location.setText(path);
}

void Song_Add::check_singr_name_Click() {
    song_add_check_singer_name window(state_, this, singer_name);
    window.exec();
}

void Song_Add::add_do_Click() {
    with_catalogue_errors_shown(state_, this, [this] { save_song(); });
}

void Song_Add::forget_it_Click() {
    reject();
}

// The first check the input fails, as its message; empty when it passes.
QString Song_Add::input_problem() const {
    if (!typed_date(song_build_date.text())) return "請指定好日期";
    if (song_kind.currentIndex() < 0 || song_text_count.currentIndex() < 0) return "請選好曲目種類及字數";
    if (song_code.text().isEmpty() || !is_whole_number(song_code.text())) return "請輸入正確的曲目編號";
    if (song_name.text().isEmpty()) return "請輸入正確的曲目名";
    if (!file_exists(song_location.text().trimmed())) return "您所指定的檔案並不存在ㄛ!";
    return {};
}

void Song_Add::save_song() {
    if (const QString problem = input_problem(); !problem.isEmpty()) {
        state_.platform.dialogs->notice(this, problem);
        return;
    }
    const std::optional<int> singer_code = singer_code_for_song();
    if (!singer_code) return;
    const Recordset similar = similar_songs();
    if (similar.Eof())
        store_song(*singer_code);
    else
        hand_to_similar_title_window(similar, *singer_code);
    reset_for_next_song();
}

// The stored songs whose titles begin with the new title and have its length.
Recordset Song_Add::similar_songs() const {
    return songs_with_similar_title(shared_session(state_.db_path), song_name.text().trimmed(),
                                    song_text_count.currentText().toInt());
}

QString Song_Add::stored_date() const {
    return typed_date(song_build_date.text())->toString("yyyy/MM/dd");
}

// The code of the typed singer; a singer not in the catalogue is registered
// first. Empty when the manager closed the singer window without one.
std::optional<int> Song_Add::singer_code_for_song() {
    const QString name = singer_name.text().trimmed();
    if (const std::optional<int> code = stored_singer_code(name, state_.db_path)) return code;
    singer_add window(state_, this, [this](const QString& registered) { singer_name.setText(registered); });
    window.singer_name.setText(name);
    window.exec();
    return registered_singer_code();
}

std::optional<int> Song_Add::registered_singer_code() {
    if (const std::optional<int> code = stored_singer_code(singer_name.text().trimmed(), state_.db_path))
        return code;
    state_.platform.dialogs->notice(this, "歌手沒有登錄, 這首歌沒有存入");
    return std::nullopt;
}

// The proposed number may have gone to a song another room registered
// meanwhile: it is checked again, under the lock, just before the insert.
void Song_Add::store_song(int singer_code) {
    const QString kind = song_kind.currentText().left(1).trimmed();
    const QString number = store_under_free_number(
        song_code.text().trimmed(), kind.toInt(), song_text_count.currentText().toInt(), state_.db_path,
        [&](const QString& free_number) {
            song_code.setText(free_number);
            add_song(shared_session(state_.db_path),
                     {free_number, kind.toInt(), song_name.text(), song_text_count.currentText().toInt(),
                      singer_code, stored_date(), song_location.text().trimmed()});
        });
    if (number.isEmpty()) {
        song_code.clear();
        state_.platform.dialogs->notice(this, "這一類這個字數的曲目編號已經用完了");
        return;
    }
    measure_registered_files(state_, {song_location.text().trimmed()});
    state_.platform.dialogs->notice(this, "存入ok! 請進行下一首曲的建檔作業");
}

void Song_Add::hand_to_similar_title_window(const Recordset& similar, int singer_code) {
    state_.platform.dialogs->notice(this, similar.Field("song_name") + "與編號" + similar.Field("song_num") +
                                              "," +
                                              get_singer_name(state_, similar.FieldInt("song_singer_code")) +
                                              ",類似曲名. 請修改或取消登錄!!");
    New_Song_Code = song_code.text().trimmed();
    New_Song_Singer_Code = singer_code;
    song_add_same window(
        state_, this,
        {New_Song_Code, New_Song_Singer_Code, song_name.text().trimmed(), song_name.text().trimmed(),
         song_text_count.currentText().toInt(), song_kind.currentText().left(1).trimmed().toInt(),
         stored_date(), song_location.text().trimmed()});
    window.exec();
}

// Ready for the next song: the lists without a choice, today's date, no
// title. Number, singer and file stay for a song much like the last.
void Song_Add::reset_for_next_song() {
    song_kind_changed = false;
    song_text_count_changed = false;
    fill_lists();
    song_name.clear();
    song_kind.setFocus();
}
