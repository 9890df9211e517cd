#include "manager/singer_choice_list.h"

#include "foundation/app_state.h"
#include "foundation/catalogue_operations.h"
#include "foundation/lookups.h"
#include "platform/dialogs.h"
#include "platform/key_codes.h"
#include "widgets/manager_forms.h"

#include <QKeyEvent>
#include <QTimer>

namespace {

constexpr int kEnter = 13;

}  // namespace

QString cut_list_line(int kept) {
    return "只列出前" + QString::number(kept) + "筆";
}

singer_choice_list::singer_choice_list(AppState& state, QWidget* parent, QLineEdit& caller_singer_name,
                                       int capacity)
    : QDialog(parent), state_(state), caller_singer_name_(caller_singer_name), capacity_(capacity) {
    setWindowTitle("選擇歌手名");
    List1.setParent(this);
    List1.setAccessibleName(windowTitle());
    List1.installEventFilter(this);
    connect(&List1, &QListWidget::itemDoubleClicked, this, &singer_choice_list::List1_DblClick);
    Form_Load();
}

// A third of the screen wide and half as high, the list filling nine tenths of
// it in a Kai font that grows with the screen.
void singer_choice_list::Form_Load() {
    const QSize screen = state_.screen_size;
    resize(qRound(0.35 * screen.width()), qRound(0.5 * screen.height()));
    centre_on_screen(*this, state_);
    List1.setGeometry(qRound(0.05 * width()), qRound(0.05 * height()), qRound(0.9 * width()),
                      qRound(0.9 * height()));
    QFont font("標楷體");
    font.setPointSize(screen.width() * 18 / 640);
    List1.setFont(font);
}

// The listing runs once the window's own event loop runs, so that closing
// it for want of singers ends that loop.
void singer_choice_list::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) QTimer::singleShot(0, this, &singer_choice_list::Form_Activate);
}

void singer_choice_list::Form_Activate() {
    if (listed_) return;
    listed_ = true;
    with_catalogue_errors_shown(state_, this, [this] { list_singers(); });
}

void singer_choice_list::list_singers() {
    const QString typed = caller_singer_name_.text();
    Recordset singers = singers_beginning_with(shared_session(state_.db_path), typed.trimmed());
    if (singers.Eof()) {
        state_.platform.dialogs->notice(this, "找無 \"" + typed + "\" 字串的相關資料");
        reject();
        return;
    }
    for (; !singers.Eof() && static_cast<int>(singer_codes.size()) < capacity_; singers.MoveNext()) {
        List1.addItem(singers.Field("singer_name"));
        singer_codes.push_back(singers.FieldInt("singer_code"));
    }
    if (!singers.Eof()) List1.addItem(cut_list_line(capacity_));
    List1.setCurrentRow(0);
}

void singer_choice_list::List1_DblClick() {
    const int row = List1.currentRow();
    const QListWidgetItem* item = List1.currentItem();
    if (row < 0 || row >= static_cast<int>(singer_codes.size()) || !item || !item->isSelected()) return;
    with_catalogue_errors_shown(state_, this, [this, row] {
        const Recordset singer =
            singer_with_code(shared_session(state_.db_path), singer_codes[static_cast<size_t>(row)]);
        // A singer deleted meanwhile by another program is no choice.
        if (!singer.Eof()) take_choice(singer);
        accept();
    });
}

void singer_choice_list::take_choice(const Recordset& singer) {
    caller_singer_name_.setText(singer.Field("singer_name"));
}

void singer_choice_list::List1_KeyPress(int KeyAscii) {
    if (KeyAscii == kEnter) List1_DblClick();
}

bool singer_choice_list::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &List1 && event->type() == QEvent::KeyPress &&
        key_code_of(*static_cast<QKeyEvent*>(event)) == kEnter) {
        List1_KeyPress(kEnter);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
