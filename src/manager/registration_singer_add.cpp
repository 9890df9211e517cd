#include "manager/registration_singer_add.h"

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/lookups.h"
#include "platform/dialogs.h"

#include <QFormLayout>

registration_singer_add::registration_singer_add(AppState& state, QWidget* parent, const QString& title)
    : QDialog(parent), Label2("歌手名稱"), Label3("歌手性別"), Command1("ok!"), state_(state) {
    setWindowTitle(title);
    auto* layout = new QFormLayout(this);
    layout->addRow(&Label2, &singer_name);
    layout->addRow(&Label3, &singer_sex);
    layout->addRow(&Command1);
    Label2.setBuddy(&singer_name);
    Label3.setBuddy(&singer_sex);
    Command1.setDefault(true);
    connect(&Command1, &QPushButton::clicked, this, &registration_singer_add::Command1_Click);
    Form_Load();
}

void registration_singer_add::Form_Load() {
    singer_sex.addItems({"0.女", "1.男", "2.團體或其他"});
    singer_sex.setCurrentIndex(-1);
    resize(state_.screen_size.width() * 3 / 10, state_.screen_size.height() * 3 / 10);
}

bool registration_singer_add::singer_stored(const QString& name) {
    return !open_recordset("SELECT * FROM singer WHERE singer_name = '" + sql_quoted(name) + "'",
                           state_.db_path)
                .Eof();
}

// A singer is never stored without a category or a name.
void registration_singer_add::Command1_Click() {
    const QString name = singer_name.text().trimmed();
    name_chosen(name);
    try {
        if (!singer_stored(name)) {
            if (name.isEmpty() || singer_sex.currentIndex() < 0) {
                state_.platform.dialogs->notice(this, "請輸入歌手名稱並選擇歌手性別");
                return;
            }
            execute_sql("insert into singer(singer_name,singer_sex) values('" + sql_quoted(name) + "'," +
                            singer_sex.currentText().left(1) + ")",
                        state_.db_path);
            accept();
        } else if (state_.platform.dialogs->ask_yes_no(this,
                                                       "您所修正後的歌手名稱在資料庫中已經有同名的人了! "
                                                       "請問這是不是本來您所要輸入的歌手名?")) {
            accept();
        }
    } catch (const DatabaseError& error) {
        state_.platform.dialogs->notice(this, QString::fromStdString(error.what()));
    }
}

reg_by_filename_addSinger::reg_by_filename_addSinger(AppState& state, QWidget* parent)
    : registration_singer_add(state, parent, "新增歌手") {
    singer_name.setReadOnly(true);
}
