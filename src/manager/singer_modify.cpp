#include "manager/singer_modify.h"
#include "foundation/catalogue_operations.h"

#include "foundation/app_state.h"
#include "foundation/lookups.h"
#include "manager/singer_lookup.h"
#include "platform/dialogs.h"
#include "widgets/manager_forms.h"
#include "widgets/scale_control.h"

namespace {

// The window's design size in twips; it is scaled to 0.4 of the screen width.
constexpr int kDesignWidth = 4800;
constexpr int kDesignHeight = 2400;
constexpr double kDesignPoints = 9;

const QString kPickFirst = QStringLiteral("請先按\"找\"鍵來確定輸入的歌手名稱");
const QString kChooseSex = QStringLiteral("請選好歌手性別");
const QString kEnterName = QStringLiteral("請輸入合法的歌手名");

}  // namespace

singer_modify::singer_modify(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setWindowTitle("歌手資料管理");
    singer_search.setText("找");
    singer_insert.setText("新增");
    singer_modify_do.setText("修改");
    delete_do.setText("刪除");
    Command1.setText("離開");
    Label2.setText("歌手名稱");
    caption_field(Label2, singer_name);
    Label3.setText("歌手性別");
    caption_field(Label3, singer_sex);
    lay_out();
    // Enter in the name field opens the choice list, as picking comes first.
    singer_search.setDefault(true);

    connect(&singer_search, &QPushButton::clicked, this, &singer_modify::singer_search_Click);
    connect(&singer_insert, &QPushButton::clicked, this, &singer_modify::singer_insert_Click);
    connect(&singer_modify_do, &QPushButton::clicked, this, &singer_modify::singer_modify_do_Click);
    connect(&delete_do, &QPushButton::clicked, this, &singer_modify::delete_do_Click);
    connect(&Command1, &QPushButton::clicked, this, &singer_modify::Command1_Click);
    Form_Load();
}

// In the order Tab goes through them.
void singer_modify::lay_out() {
    place_in_twips(
        {
            {&Label2, this, 240, 240, 1200, 360},
            {&singer_name, this, 1440, 240, 2280, 360},
            {&singer_search, this, 3840, 240, 720, 360},
            {&Label3, this, 240, 840, 1200, 360},
            {&singer_sex, this, 1440, 840, 2280, 360},
            {&singer_insert, this, 240, 1560, 960, 480},
            {&singer_modify_do, this, 1320, 1560, 960, 480},
            {&delete_do, this, 2400, 1560, 960, 480},
            {&Command1, this, 3600, 1560, 960, 480},
        },
        state_.twips_per_pixel);
    setFont(design_font(kDesignPoints));
}

// The category list without a choice; the window 0.4 of the screen wide, in
// its middle, with every control grown by the same factor.
void singer_modify::Form_Load() {
    singer_sex.addItems({"0.女", "1.男", "2.團體或其他"});
    singer_sex.setCurrentIndex(-1);
    const double factor = screen_share_factor(state_, 0.4, kDesignWidth);
    size_in_twips(*this, kDesignWidth, kDesignHeight, state_.twips_per_pixel);
    resize(qRound(width() * factor), qRound(height() * factor));
    centre_on_screen(*this, state_);
    for (QWidget* control :
         std::initializer_list<QWidget*>{&Label2, &singer_name, &singer_search, &Label3, &singer_sex,
                                         &singer_insert, &singer_modify_do, &Command1, &delete_do})
        scale_control(control, factor);
}

void singer_modify::notice(const QString& text) {
    state_.platform.dialogs->notice(this, text);
}

void singer_modify::singer_search_Click() {
    singer_modify_check_singer choice(state_, *this);
    choice.exec();
}

// The name is stored trimmed, so it is also compared trimmed: " 江蕙" must not
// become a second 江蕙.
void singer_modify::singer_insert_Click() {
    with_catalogue_errors_shown(state_, this, [this] {
        if (singer_sex.currentIndex() < 0) return notice(kChooseSex);
        const QString name = singer_name.text().trimmed();
        if (name.isEmpty()) return notice(kEnterName);
        if (stored_singer_code(name, state_.db_path))
            return notice("歌手名有重覆, 請修正後再執行\"新增\"功能");
        add_singer(shared_session(state_.db_path), name, singer_sex.currentIndex());
        notice("新增歌手資料," + singer_name.text() + ",完成");
    });
}

std::optional<Recordset> singer_modify::find_picked_singer() {
    Recordset singer = singer_with_code(shared_session(state_.db_path), singer_code);
    if (singer.Eof()) {
        notice(kPickFirst);
        return std::nullopt;
    }
    return singer;
}

// Another singer's name is allowed: two singers may share a name.
void singer_modify::singer_modify_do_Click() {
    with_catalogue_errors_shown(state_, this, [this] {
        const std::optional<Recordset> singer = find_picked_singer();
        if (!singer) return;
        if (singer_sex.currentIndex() < 0) return notice(kChooseSex);
        const QString name = singer_name.text().trimmed();
        if (name.isEmpty()) return notice(kEnterName);
        change_singer(shared_session(state_.db_path), singer->FieldInt("singer_code"), name,
                      singer_sex.currentIndex());
        notice("修歌手資料," + singer_name.text() + ",完成");
    });
}

// The singer's songs stay; they show "找不到" as their singer from now on.
void singer_modify::delete_do_Click() {
    with_catalogue_errors_shown(state_, this, [this] {
        const std::optional<Recordset> singer = find_picked_singer();
        if (!singer) return;
        if (!state_.platform.dialogs->ask_yes_no(
                this, "請問是否真的要幹掉" + singer->Field("singer_name") + "這筆資料?"))
            return;
        delete_singer(shared_session(state_.db_path), singer->FieldInt("singer_code"));
        notice("刪除歌手資料," + singer_name.text() + ",完成");
        singer_name.clear();
    });
}

void singer_modify::Command1_Click() {
    accept();
}

void singer_modify::take_picked_singer(const QString& name, int sex, int code) {
    singer_name.setText(name);
    singer_sex.setCurrentIndex(sex >= 0 && sex < singer_sex.count() ? sex : -1);
    singer_code = code;
}

singer_modify_check_singer::singer_modify_check_singer(AppState& state, singer_modify& opener)
    : singer_choice_list(state, &opener, opener.singer_name, kCapacity), opener_(opener) {}

void singer_modify_check_singer::take_choice(const Recordset& singer) {
    opener_.take_picked_singer(singer.Field("singer_name"), singer.FieldInt("singer_sex"),
                               singer.FieldInt("singer_code"));
}
