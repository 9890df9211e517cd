// The shutdown menu ("10"): end the jukebox and switch the machine off, or
// only end the jukebox.
#include "foundation/app_state.h"
#include "ordering/main_menu.h"

void main_menu::shutdown_set(int&) {
    Menu_Statu = "10";
    Label1.clear();
    key_entry.clear();
    Picture1.clear();
    state_.current_page = 1;
    for (const char* line : {"1. 確定關閉唱歌程式及關機", "2. 確定關閉唱歌程式及繼續",
                             "   使用Windows作業系統", "", "0. 回主選單"})
        Picture1.print(QString::fromUtf8(line));
}

// Acts on the single key, without Enter.
void main_menu::shutdown_set_do(int& KeyAscii) {
    if (KeyAscii == '0') {
        show_main_menu();
    } else if (KeyAscii == '1') {
        state_.platform.request_power_off();
        state_.platform.end_program();
    } else if (KeyAscii == '2') {
        state_.platform.end_program();
    }
}
