#include "manager/singer_choice_list.h"

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/lookups.h"
#include "manager/manager_forms.h"
#include "platform/dialogs.h"
#include "platform/key_codes.h"

#include <QKeyEvent>

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

// A third of the screen wide and half as high, the list filling nine tenths of it
// in a Kai font that grows with the screen.
void singer_choice_list::Form_Load() {
    const QSize screen = state_.screen_size;
    const QSize window(qRound(0.35 * screen.width()), qRound(0.5 * screen.height()));
    setGeometry(QRect(QPoint((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2),
                      window));
    List1.setGeometry(qRound(0.05 * window.width()), qRound(0.05 * window.height()),
                      qRound(0.9 * window.width()), qRound(0.9 * window.height()));
    QFont font("標楷體");
    font.setPointSize(screen.width() * 18 / 640);
    List1.setFont(font);
}

QString cut_list_line(int kept) {
    return "只列出前" + QString::number(kept) + "筆";
}

void singer_choice_list::open_list() {
    bool listed = false;
    with_catalogue_errors_shown(state_, parentWidget(), [this, &listed] { listed = Form_Activate(); });
    if (listed) exec();
}

bool singer_choice_list::Form_Activate() {
    List1.clear();
    singer_codes.clear();
    const QString typed = caller_singer_name_.text();
    Recordset singers = open_recordset(
        "SELECT * FROM singer WHERE singer_name Like '" + sql_quoted(typed.trimmed()) + "%'", state_.db_path);
    if (singers.Eof()) {
        state_.platform.dialogs->notice(this, "找無 \"" + typed + "\" 字串的相關資料");
        return false;
    }
    for (; !singers.Eof() && static_cast<int>(singer_codes.size()) < capacity_; singers.MoveNext()) {
        List1.addItem(singers.Field("singer_name"));
        singer_codes.push_back(singers.FieldInt("singer_code"));
    }
    if (!singers.Eof()) List1.addItem(cut_list_line(capacity_));
    return true;
}

void singer_choice_list::List1_DblClick() {
    const int row = List1.currentRow();
    const QListWidgetItem* item = List1.currentItem();
    if (row < 0 || row >= static_cast<int>(singer_codes.size()) || !item || !item->isSelected()) return;
    with_catalogue_errors_shown(state_, this, [this, row] {
        const Recordset singer = open_recordset("SELECT * FROM singer WHERE singer_code=" +
                                                    QString::number(singer_codes[static_cast<size_t>(row)]),
                                                state_.db_path);
        // A singer deleted meanwhile by another program is no choice.
        if (!singer.Eof()) take_choice(singer);
        accept();
    });
}

void singer_choice_list::take_choice(const Recordset& singer) {
    caller_singer_name_.setText(singer.Field("singer_name"));
}

void singer_choice_list::List1_KeyPress(int KeyAscii) {
    if (KeyAscii == 13) List1_DblClick();
}

bool singer_choice_list::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &List1 && event->type() == QEvent::KeyPress) {
        const std::optional<int> code = key_code_of(*static_cast<QKeyEvent*>(event));
        if (code == 13) {
            List1_KeyPress(13);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
