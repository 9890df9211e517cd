#include "manager/singer_add.h"

#include "foundation/app_state.h"
#include "foundation/catalogue_operations.h"
#include "foundation/lookups.h"
#include "manager/singer_lookup.h"
#include "platform/dialogs.h"
#include "widgets/manager_forms.h"

namespace {

// The design size in twips. The controls are scaled as for 0.4 of the screen
// width and lie within its left three quarters, as the window is then made
// 0.3 of the screen wide.
constexpr int kDesignWidth = 4800;
constexpr int kDesignHeight = 2100;
constexpr double kDesignPoints = 10;

}  // namespace

singer_add::singer_add(AppState& state, QWidget* parent, NameWriteBack write_back_name)
    : singer_add(state, parent, "歌手新增", std::move(write_back_name)) {}

singer_add::singer_add(AppState& state, QWidget* parent, const QString& title, NameWriteBack write_back_name)
    : QDialog(parent), state_(state), write_back_name_(std::move(write_back_name)) {
    setWindowTitle(title);
    Label2.setText("歌手名稱");
    Label3.setText("歌手性別");
    Command1.setText("ok!");
    caption_field(Label2, singer_name);
    caption_field(Label3, singer_sex);
    lay_out();
    connect(&Command1, &QPushButton::clicked, this, &singer_add::Command1_Click);
    Form_Load();
}

void singer_add::lay_out() {
    const int tpp = state_.twips_per_pixel;
    size_in_twips(*this, kDesignWidth, kDesignHeight, tpp);
    place_in_twips(
        {
            {&Label2, this, 240, 260, 1200, 360},
            {&singer_name, this, 1440, 200, 1920, 420},
            {&Label3, this, 240, 860, 1200, 360},
            {&singer_sex, this, 1440, 800, 1920, 420},
            {&Command1, this, 1440, 1400, 1200, 480},
        },
        tpp);
    setFont(design_font(kDesignPoints));
    Command1.setDefault(true);
}

void singer_add::Form_Load() {
    scale_form(*this, screen_share_factor(state_, 0.4, kDesignWidth),
               {&Label2, &Label3, &singer_name, &singer_sex, &Command1});
    singer_sex.addItems({"0.女", "1.男", "2.團體或其他"});
    singer_sex.setCurrentIndex(-1);
    resize(qRound(0.3 * state_.screen_size.width()), qRound(0.3 * state_.screen_size.height()));
    centre_on_screen(*this, state_);
}

void singer_add::Command1_Click() {
    with_catalogue_errors_shown(state_, this, [this] { register_singer(); });
}

// A singer row always has a name and a category.
void singer_add::register_singer() {
    const QString name = singer_name.text().trimmed();
    if (name.isEmpty()) {
        state_.platform.dialogs->notice(this, "請輸入歌手名稱");
        return;
    }
    write_back_name_(name);
    if (stored_singer_code(name, state_.db_path)) {
        if (state_.platform.dialogs->ask_yes_no(this,
                                                "您所修正後的歌手名稱在資料庫中已經有同名的人了! "
                                                "請問這是不是本來您所要輸入的歌手名?"))
            accept();
        return;
    }
    if (singer_sex.currentIndex() < 0) {
        state_.platform.dialogs->notice(this, "請選好歌手性別");
        return;
    }
    add_singer(shared_session(state_.db_path), name, singer_sex.currentText().left(1).toInt());
    accept();
}
