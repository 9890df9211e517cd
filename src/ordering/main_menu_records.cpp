// The recordings browser: the files of the recordings folder, page by page
// ("7"), and one recording to play, stop or delete ("7_1").
#include "foundation/app_state.h"
#include "ordering/main_menu.h"
#include "platform/file_system.h"
#include "platform/media_player.h"

namespace {
const QString kRecordTitle = "錄音檔瀏覽 選 \"0\" 可回主目錄";
constexpr int kEnter = 13;

QString creation_time_text(const QString& path) {
    return file_creation_time(path).toString("yyyy/MM/dd HH:mm:ss");
}
}  // namespace

void main_menu::RecordFile(int&) {
    read_record_folder();
    set_list_key_captions();
    Menu_Statu = "7";
    Label1.clear();
    key_entry.clear();
    Picture1.clear();
    state_.current_page = 1;
    show_record_page(1);
    Picture1.print(kRecordTitle);
}

// Read afresh on every key, so that a take recorded meanwhile can be chosen.
void main_menu::read_record_folder() {
    file_list = list_folder(state_.settings.RecordPath).files;
    if (file_list.isEmpty()) file_list << QString();
}

void main_menu::show_record_page(int page) {
    show_band_page(
        page, [this](int slot) { return slot < file_list.size() ? file_list.at(slot) : QString(); },
        QString());
}

void main_menu::RecordFile_do(int& KeyAscii) {
    type_entry_key(KeyAscii);
    if (Menu_Statu == "7_1") {
        if (KeyAscii == kEnter) RecordFile_do_1(KeyAscii);
        return;
    }
    read_record_folder();
    if (KeyAscii == kEnter) {
        if (key_entry == "0") {
            show_main_menu();
            return;
        }
        choose_recording();
    }
    if (turn_page(KeyAscii)) {
        show_record_page(state_.current_page);
        Picture1.print(kRecordTitle);
    }
}

// Enter on the list: the entry names a row of the page on screen.
void main_menu::choose_recording() {
    if (key_entry.isEmpty()) return;
    const double row = entry_row();
    if (row > state_.lines_per_page) return;  // left as typed, for the guest to correct with "C"
    const int slot = row < 1 ? -1 : slot_of_row(static_cast<int>(row));
    key_entry.clear();
    Label1.clear();
    if (slot < 0 || slot >= file_list.size() || file_list.at(slot).isEmpty()) return;

    file_index = slot;
    Picture1.clear();
    for (const QString& line :
         {QString("您選定的音訊檔資訊如下:"), QString(), file_list.at(slot), QString(), QString("錄製時間:"),
          creation_time_text(recording_path()), QString(), QString("1: 播放"), QString("2: 停止"),
          QString("3: 刪除檔案"), QString("0: 離開")})
        Picture1.print(line);
    Menu_Statu = "7_1";
}

QString main_menu::recording_path() const {
    return join_path(state_.settings.RecordPath, file_list.at(file_index));
}

void main_menu::RecordFile_do_1(int& KeyAscii) {
    Label1.clear();
    wmpMain->set_volume(100);
    const bool playing = wmpMain->play_state() == play_state::playing;
    if (key_entry == "0") {
        stop_and_close();
        RecordFile(KeyAscii);
    } else if (key_entry == "1") {
        if (!playing) {
            wmpMain->set_url("file://" + recording_path());
            wmpMain->play();
            Label1.setText("播放中");
        }
    } else if (key_entry == "2") {
        if (playing) {
            stop_and_close();
            Label1.setText("停止");
        }
    } else if (key_entry == "3") {
        stop_and_close();
        delete_file(recording_path());
        RecordFile(KeyAscii);
    }
    key_entry.clear();
}

// Stops what wmpMain plays, if anything, and unloads it.
void main_menu::stop_and_close() {
    if (wmpMain->play_state() == play_state::playing) wmpMain->stop();
    wmpMain->close();
}
