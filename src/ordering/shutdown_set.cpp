#include "ordering/shutdown_set.h"

#include "foundation/app_state.h"
#include "foundation/queue_journal.h"
#include "ordering/main_menu.h"

void shutdown_set::enter() {
    clear_screen();
    state().current_page = 1;
    print_lines({"1. 確定關閉唱歌程式及關機", "2. 確定關閉唱歌程式及繼續", "   使用Windows作業系統", "",
                 "0. 回主選單"});
}

void shutdown_set::key(int& KeyAscii) {
    if (KeyAscii == '0') {
        menu().show_main_menu();
    } else if (KeyAscii == '1') {
        close_queue_journal(state());
        state().platform.request_power_off();
        state().platform.end_program();
    } else if (KeyAscii == '2') {
        close_queue_journal(state());
        state().platform.end_program();
    }
}
