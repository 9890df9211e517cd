#pragma once

#include "ordering/menu_screen.h"

#include <QImage>
#include <QStringList>

// The multimedia browser: the menu ("8"), the music and picture folders
// ("8_1", "8_2"), music playing ("8_1_2") and pictures shown ("8_2_2").
// Music plays in wmpMain and moves on by itself; pictures are drawn into
// Picture1; movies play in wmpMain laid over Picture1.
class multimedia : public band_list_screen {
public:
    explicit multimedia(menu_context& context) : band_list_screen(context) {}

    QString name() const override;
    // The multimedia menu.
    void enter() override;
    // MultiMedia_do: the key handler of every step.
    void key(int& KeyAscii) override;

    // Reads media_folder and shows the page of the listing on screen.
    void MultiMedia_do_1(int& KeyAscii);
    // Keys on a folder listing.
    void MultiMedia_do_1_1(int& KeyAscii);
    // Keys while music plays or pictures are shown.
    void MultiMedia_do_1_2(int& KeyAscii);
    void showMusicPlayControl();
    // Loads the current picture and works out the size it is drawn at.
    void LoadObjPIC();
    void show_media_page(int page);

    // Every three seconds while music plays: when nothing plays (the file
    // ended or was stopped), the next file starts, after the last the first.
    void Timer2_Timer();

private:
    enum class step { menu, folder, playing };

    void choose_multimedia(int& KeyAscii);
    void open_media_root(bool music, const QString& root, int& KeyAscii);
    QString media_root() const;
    void add_media_entry(const QString& entry);
    void open_media_row(int& KeyAscii);
    void play_media_folder();
    QString current_media_file() const;
    void start_current_media();
    void step_media(int step);
    void show_picture_or_movie();
    void show_play_status();
    QString play_count_text() const;
    void leave_media_playing(int& KeyAscii);

    step step_ = step::menu;
    bool music_mode_ = true;  // music rather than pictures
    // The rows of the folder listing, and while media play, the play list.
    // A single empty entry is an empty listing.
    QStringList file_list{QString()};
    QString media_folder;
    QStringList media_files{QString()};  // the media files of media_folder
    QImage loaded_picture;
    int picture_width = 0;  // twips
    int picture_height = 0;
    // Set while a key handler works on the player, so that the automatic
    // advance does not start a file in the middle of it.
    bool player_busy = false;
};
