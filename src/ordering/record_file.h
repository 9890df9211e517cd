#pragma once

#include "ordering/menu_screen.h"

#include <QStringList>

// The recordings browser: the files of the recordings folder, page by page
// ("7"), and one recording to play, stop or delete ("7_1").
class RecordFile : public band_list_screen {
public:
    explicit RecordFile(menu_context& context) : band_list_screen(context) {}

    QString name() const override { return choosing_ ? "7" : "7_1"; }
    // The list, from its first page.
    void enter() override;
    // RecordFile_do: the key handler of both steps.
    void key(int& KeyAscii) override;

    // Enter on the recording chosen.
    void RecordFile_do_1(int& KeyAscii);

private:
    void read_record_folder();
    void show_record_page(int page);
    void choose_recording();
    QString recording_path() const;

    bool choosing_ = true;  // the list is shown, no recording chosen
    // The rows of the list; a single empty entry is an empty folder.
    QStringList file_list{QString()};
    int file_index = 0;  // the recording chosen
};
