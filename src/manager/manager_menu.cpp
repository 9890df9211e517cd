#include "manager/manager_menu.h"

#include "foundation/app_state.h"
#include "foundation/queue_journal.h"
#include "foundation/startup.h"
#include "manager/batch_registe.h"
#include "manager/reg_by_filename.h"
#include "manager/singer_modify.h"
#include "manager/song_add.h"
#include "manager/song_modify.h"
#include "platform/dialogs.h"
#include "songbook/manager_song_statu.h"
#include "songbook/songbook.h"
#include "widgets/manager_forms.h"

namespace {

// The design size in twips; the window is scaled to 0.8 of the screen width.
constexpr int kDesignWidth = 9600;
constexpr int kDesignHeight = 5220;
constexpr double kDesignPoints = 12;

}  // namespace

manager_menu::manager_menu(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setWindowTitle("Vocari's Karaoke Manager Mode");
    set_captions();
    lay_out();
    connect_buttons();
    Form_Load();
}

void manager_menu::set_captions() {
    Song_Add.setText("新增歌曲");
    Song_modify_by_singer.setText("修改刪除歌曲資料");
    Command3.setText("修改刪除歌手資料");
    batch_reg.setText("批次登錄");
    reg_by_file.setText("檔名登錄");
    Command4.setText("查看曲目數狀況");
    print_all.setText("列印全部目錄");
    Frame1.setTitle("條件列印功能");
    Label1.setText("從建檔日期");
    Label2.setText("開始列印");
    Label3.setText("關建字");
    Frame2.setTitle("條件列印選項");
    optPrinter[0].setText("預設印表機");
    optPrinter[1].setText("Excel");
    print_new.setText("條件列印");
    Command1.setText("回主目錄");
    Command2.setText("離開點歌系統");
    caption_field(Label1, print_start_date);
    caption_field(Label3, keyword);
}

// The maintenance buttons on the left, the song-book output on the right.
// The order of placing is the order of the Tab key.
void manager_menu::lay_out() {
    const int tpp = state_.twips_per_pixel;
    size_in_twips(*this, kDesignWidth, kDesignHeight, tpp);
    place_in_twips(
        {
            {&Song_Add, this, 360, 360, 3600, 600},
            {&Song_modify_by_singer, this, 360, 1140, 3600, 600},
            {&Command3, this, 360, 1920, 3600, 600},
            {&batch_reg, this, 360, 2700, 3600, 600},
            {&reg_by_file, this, 360, 3480, 3600, 600},
            {&Command4, this, 360, 4260, 3600, 600},
            {&print_all, this, 4440, 360, 4800, 600},
            {&Frame1, this, 4440, 1140, 4800, 2880},
            {&Label1, &Frame1, 240, 480, 1320, 360},
            {&print_start_date, &Frame1, 1560, 420, 1680, 420},
            {&Label2, &Frame1, 3360, 480, 1200, 360},
            {&Label3, &Frame1, 240, 1080, 1320, 360},
            {&keyword, &Frame1, 1560, 1020, 3000, 420},
            {&Frame2, &Frame1, 240, 1620, 2760, 1080},
            {&optPrinter[0], &Frame2, 240, 360, 2280, 300},
            {&optPrinter[1], &Frame2, 240, 690, 2280, 300},
            {&print_new, &Frame1, 3240, 1980, 1320, 600},
            {&Command1, this, 4440, 4260, 2280, 600},
            {&Command2, this, 6960, 4260, 2280, 600},
        },
        tpp);
    setFont(design_font(kDesignPoints));
    // Enter in the date or keyword field starts the conditional output.
    print_new.setDefault(true);
}

void manager_menu::connect_buttons() {
    connect(&Song_Add, &QPushButton::clicked, this, &manager_menu::Song_Add_Click);
    connect(&Song_modify_by_singer, &QPushButton::clicked, this, &manager_menu::Song_modify_by_singer_Click);
    connect(&Command3, &QPushButton::clicked, this, &manager_menu::Command3_Click);
    connect(&Command4, &QPushButton::clicked, this, &manager_menu::Command4_Click);
    connect(&batch_reg, &QPushButton::clicked, this, &manager_menu::batch_reg_Click);
    connect(&reg_by_file, &QPushButton::clicked, this, &manager_menu::reg_by_file_Click);
    connect(&print_all, &QPushButton::clicked, this, &manager_menu::print_all_Click);
    connect(&print_new, &QPushButton::clicked, this, &manager_menu::print_new_Click);
    connect(&Command1, &QPushButton::clicked, this, &manager_menu::Command1_Click);
    connect(&Command2, &QPushButton::clicked, this, &manager_menu::Command2_Click);
}

// Manager mode works with freshly read settings; the conditional output
// starts from today and goes to the spreadsheet unless the printer is chosen.
void manager_menu::Form_Load() {
    init_system(state_);
    print_start_date.setText(today_text());
    optPrinter[1].setChecked(true);
    scale_form(*this, screen_share_factor(state_, 0.8, kDesignWidth),
               {&Song_Add, &Song_modify_by_singer, &Command3, &Command1, &print_new, &Label1,
                &print_start_date, &Label2, &print_all, &Command2, &Command4, &batch_reg, &keyword, &Label3,
                &Frame1, &reg_by_file, &Frame2, &optPrinter[0], &optPrinter[1]});
    centre_on_screen(*this, state_);
}

void manager_menu::Song_Add_Click() {
    ::Song_Add window(state_, this);
    window.exec();
}

void manager_menu::Song_modify_by_singer_Click() {
    ::song_modify window(state_, this);
    window.exec();
}

void manager_menu::Command3_Click() {
    ::singer_modify window(state_, this);
    window.exec();
}

void manager_menu::Command4_Click() {
    manager_song_statu window(state_, this);
    window.exec();
}

void manager_menu::batch_reg_Click() {
    ::batch_registe window(state_, this);
    window.exec();
}

void manager_menu::reg_by_file_Click() {
    ::reg_by_filename window(state_, this);
    window.exec();
}

void manager_menu::print_all_Click() {
    print_whole_song_book(state_, this);
}

void manager_menu::print_new_Click() {
    print_new_songs(state_, this, print_start_date.text(), keyword.text(), optPrinter[1].isChecked());
}

void manager_menu::Command1_Click() {
    accept();
}

// Ends the whole program at once, without asking.
void manager_menu::Command2_Click() {
    close_queue_journal(state_);
    state_.platform.end_program();
}
