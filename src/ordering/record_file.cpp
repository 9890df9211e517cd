#include "ordering/record_file.h"

#include "foundation/app_state.h"
#include "ordering/main_menu.h"
#include "platform/file_system.h"
#include "platform/media_player.h"
#include "widgets/list_pages.h"

namespace {
const QString kRecordTitle = "錄音檔瀏覽 選 \"0\" 可回主目錄";
constexpr int kEnter = 13;

QString creation_time_text(const QString& path) {
    return file_creation_time(path).toString("yyyy/MM/dd HH:mm:ss");
}
}  // namespace

void RecordFile::enter() {
    read_record_folder();
    set_list_key_captions();
    choosing_ = true;
    clear_screen();
    state().current_page = 1;
    show_record_page(1);
    menu().Picture1.print(kRecordTitle);
}

// Read afresh on every key, so that a take recorded meanwhile can be chosen.
void RecordFile::read_record_folder() {
    file_list = list_folder(state().settings.RecordPath).files;
    if (file_list.isEmpty()) file_list << QString();
}

void RecordFile::show_record_page(int page) {
    show_band_page(
        page, [this](int slot) { return slot < file_list.size() ? file_list.at(slot) : QString(); },
        QString());
}

void RecordFile::key(int& KeyAscii) {
    type_entry_key(KeyAscii);
    if (!choosing_) {
        if (KeyAscii == kEnter) RecordFile_do_1(KeyAscii);
        return;
    }
    read_record_folder();
    if (KeyAscii == kEnter) {
        if (key_entry() == "0") {
            menu().show_main_menu();
            return;
        }
        choose_recording();
    }
    if (turn_page(state(), KeyAscii)) {
        show_record_page(state().current_page);
        menu().Picture1.print(kRecordTitle);
    }
}

// Enter on the list: the entry names a row of the page on screen.
void RecordFile::choose_recording() {
    if (key_entry().isEmpty()) return;
    const double row = entry_row();
    if (row > state().lines_per_page) return;  // left as typed, for the guest to correct with "C"
    const int slot = row < 1 ? -1 : slot_of_row(static_cast<int>(row));
    key_entry().clear();
    menu().Label1.clear();
    if (slot < 0 || slot >= file_list.size() || file_list.at(slot).isEmpty()) return;

    file_index = slot;
    menu().Picture1.clear();
    for (const QString& line :
         {QString("您選定的音訊檔資訊如下:"), QString(), file_list.at(slot), QString(), QString("錄製時間:"),
          creation_time_text(recording_path()), QString(), QString("1: 播放"), QString("2: 停止"),
          QString("3: 刪除檔案"), QString("0: 離開")})
        menu().Picture1.print(line);
    choosing_ = false;
}

QString RecordFile::recording_path() const {
    return join_path(state().settings.RecordPath, file_list.at(file_index));
}

void RecordFile::RecordFile_do_1(int&) {
    menu().Label1.clear();
    wmpMain().set_volume(100);
    const bool playing = wmpMain().play_state() == play_state::playing;
    const QString choice = key_entry();
    if (choice == "0") {
        stop_and_close();
        enter();
    } else if (choice == "1") {
        if (!playing) {
            wmpMain().set_url("file://" + recording_path());
            wmpMain().play();
            menu().Label1.setText("播放中");
        }
    } else if (choice == "2") {
        if (playing) {
            stop_and_close();
            menu().Label1.setText("停止");
        }
    } else if (choice == "3") {
        stop_and_close();
        delete_file(recording_path());
        enter();
    }
    key_entry().clear();
}
