#include "manager/song_add_check_singer_name.h"

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/lookups.h"
#include "manager/manager_forms.h"
#include "platform/dialogs.h"
#include "platform/key_codes.h"

#include <QKeyEvent>
#include <QTimer>

#include <cmath>

namespace {

constexpr int kEnter = 13;

}  // namespace

song_add_check_singer_name::song_add_check_singer_name(AppState& state, QWidget* parent,
                                                       QLineEdit& caller_singer_name)
    : QDialog(parent), state_(state), caller_singer_name_(caller_singer_name) {
    setWindowTitle("選擇歌手名");
    List1.setParent(this);
    List1.setAccessibleName("選擇歌手名");
    List1.installEventFilter(this);
    connect(&List1, &QListWidget::itemDoubleClicked, this, &song_add_check_singer_name::List1_DblClick);
    Form_Load();
}

// The list fills nine tenths of the window, in a large Kai font.
void song_add_check_singer_name::Form_Load() {
    const QSize screen = state_.screen_size;
    resize(qRound(0.35 * screen.width()), qRound(0.5 * screen.height()));
    List1.setGeometry(qRound(0.05 * width()), qRound(0.05 * height()), qRound(0.9 * width()),
                      qRound(0.9 * height()));
    QFont font("標楷體");
    font.setPointSize(static_cast<int>(std::floor(screen.width() * 18.0 / 640)));
    List1.setFont(font);
}

// The listing runs once the window's own event loop runs, so that closing
// it for want of singers ends that loop.
void song_add_check_singer_name::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) QTimer::singleShot(0, this, &song_add_check_singer_name::Form_Activate);
}

void song_add_check_singer_name::Form_Activate() {
    if (listed_) return;
    listed_ = true;
    with_catalogue_errors_shown(state_, this, [this] { list_singers(); });
}

void song_add_check_singer_name::list_singers() {
    Recordset singers = open_recordset("SELECT * FROM singer WHERE singer_name Like '" +
                                           sql_quoted(caller_singer_name_.text().trimmed()) + "%'",
                                       state_.db_path);
    if (singers.Eof()) {
        state_.platform.dialogs->notice(this, "找無 \"" + caller_singer_name_.text() + "\" 字串的相關資料");
        reject();
        return;
    }
    singer_codes.reserve(singers.RecordCount());
    for (; !singers.Eof(); singers.MoveNext()) {
        List1.addItem(singers.Field("singer_name"));
        singer_codes.push_back(singers.FieldInt("singer_code"));
    }
    List1.setCurrentRow(0);
}

bool song_add_check_singer_name::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &List1 && event->type() == QEvent::KeyPress) {
        if (const auto code = key_code_of(static_cast<QKeyEvent&>(*event))) {
            List1_KeyPress(*code);
            if (*code == kEnter) return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void song_add_check_singer_name::List1_DblClick() {
    take_chosen_singer();
}

void song_add_check_singer_name::List1_KeyPress(int key) {
    if (key == kEnter && List1.currentRow() >= 0) take_chosen_singer();
}

void song_add_check_singer_name::take_chosen_singer() {
    const int row = List1.currentRow();
    if (row < 0 || row >= static_cast<int>(singer_codes.size())) return;
    with_catalogue_errors_shown(state_, this, [this, row] {
        const Recordset singer = open_recordset(
            "SELECT * FROM singer WHERE singer_code=" + QString::number(singer_codes[row]), state_.db_path);
        if (!singer.Eof()) caller_singer_name_.setText(singer.Field("singer_name"));
        accept();
    });
}
