#pragma once

#include "widgets/picture_box.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <span>

struct AppState;
class MediaPlayer;
class PhoneOrdering;

// The full-screen keypad window guests see between songs. Every menu and
// list is printed on Picture1; Menu_Statu names the screen that owns the keys.
class main_menu : public QWidget {
    Q_OBJECT
public:
    explicit main_menu(AppState& state);
    ~main_menu() override;

    // The screen in front: "0" main menu, "1"/"1_1"/"1_2" ordering by
    // character count, "10" shutdown, "2"/"2_1"/"2_2" ordering by singer,
    // "3" by number, "4" deleting, "5" inserting, "7"/"7_1" recordings,
    // "8"/"8_1"/"8_2"/"8_1_2"/"8_2_2" multimedia.
    QString Menu_Statu;

    PictureBox Picture1;
    QLabel Label1;
    QLabel Label2;
    QLabel Label3;
    QPushButton manager;
    std::array<QPushButton, 10> number_key;
    QPushButton number_dot;
    QPushButton number_de;
    QPushButton number_in;
    QPushButton number_mul;
    QPushButton number_div;
    QPushButton number_enter;
    std::unique_ptr<MediaPlayer> wmpMain;
    QTimer Timer1;
    QTimer Timer2;
    QTimer tmrGetKey;

    // What the window does each time it comes to the front.
    void Form_Activate();

    // Every key code from the keyboard, the on-screen keys and the media
    // player arrives here, is translated through the key settings and handed
    // to the handler of the screen in front.
    void Picture1_KeyPress(int KeyAscii);

    void show_main_menu();
    void show_main_menu_do(int& KeyAscii);
    void Set_num_key(QWidget& key, int v_left, int v_top, int width, int height);
    void KeyValueReset();

    // Ordering by number, deleting and inserting: the queue listing screens.
    void order_by_song_num(int& KeyAscii);
    void order_by_song_num_do(int& KeyAscii);
    void delete_song(int& KeyAscii);
    void delete_song_do(int& KeyAscii);
    void intter_song(int& KeyAscii);
    void intter_song_do(int& KeyAscii);
    void show_queue_page(int page);

    // Ordering by character count: category menu, count entry, song list.
    void order_by_text_count(int& KeyAscii);
    void order_by_text_count_do(int& KeyAscii);
    void order_by_text_count_do_1(int& KeyAscii);
    void order_by_text_count_do_2(int& KeyAscii);
    void show_count_song_page(int page);

    // Ordering by singer: singer category menu, singer list, the singer's songs.
    void order_by_singer(int& KeyAscii);
    void order_by_singer_do(int& KeyAscii);
    void order_by_singer_do_1(int& KeyAscii);
    void order_by_singer_do_2(int& KeyAscii);
    void show_singer_page(int page);
    void show_singer_song_page(int page);

    // The recordings browser: the list ("7") and one recording ("7_1").
    void RecordFile(int& KeyAscii);
    void RecordFile_do(int& KeyAscii);
    void RecordFile_do_1(int& KeyAscii);
    void show_record_page(int page);

    // The multimedia browser: the menu ("8"), music and picture folders
    // ("8_1", "8_2"), music playing ("8_1_2") and pictures shown ("8_2_2").
    void multimedia(int& KeyAscii);
    void MultiMedia_do(int& KeyAscii);
    void MultiMedia_do_1(int& KeyAscii);
    void MultiMedia_do_1_1(int& KeyAscii);
    void MultiMedia_do_1_2(int& KeyAscii);
    void showMusicPlayControl();
    void LoadObjPIC();
    void show_media_page(int page);

    // The shutdown menu ("10").
    void shutdown_set(int& KeyAscii);
    void shutdown_set_do(int& KeyAscii);

    // Ordering from the guests' phones; null unless Setting.ini switches it on.
    PhoneOrdering* phone_ordering() const { return phones_.get(); }

    void Timer1_Timer();
    // Moves the music on to the next file when one has ended.
    void Timer2_Timer();
    void tmrGetKey_Timer();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void lay_out_controls();
    void lay_out_keypad(int u, int top);
    void connect_on_screen_keys();
    void dispatch(int& KeyAscii);
    void start_singing();
    void open_manager_mode();
    // How Label1 echoes the entry: the main menu and the queue screens end
    // it with a line break, the song and singer lists show it bare.
    enum class Echo { with_line_break, bare };
    void set_key_entry(const QString& text, Echo echo = Echo::with_line_break);

    // Shared by the three queue listing screens; typing the entry and
    // turning pages serve every list of the window.
    void enter_queue_screen(const QString& screen, const QString& title);
    bool type_entry_key(int KeyAscii, Echo echo = Echo::with_line_break);
    void repaint_queue_screen();
    bool turn_page(int KeyAscii);
    void page_queue_screen(int KeyAscii);
    void delete_or_insert_row();

    // Shared by the numbered song and singer lists.
    void print_numbered_page(std::span<const QString> list, int rows_per_page, int page);
    void print_song_page(int page, const QString& caption);
    void order_listed_song(int list_number, void (main_menu::*show_page)(int));
    // Steps of ordering by character count and by singer.
    void show_count_prompt();
    void list_songs_of_count(int text_count);
    void open_listed_singer(int list_number);

    AppState& state_;
    QString key_entry;
    int font_basis_px_ = 0;  // screen width in pixels that the font sizes follow

    int selected_kind = 0;  // song category chosen for ordering by character count
    int selected_sex = 0;   // singer category chosen for ordering by singer
    QString selected_singer_name;
    int singer_list_page = 1;  // the singer page a singer's songs were opened from

    // Shared by every screen that lists rows page by page.
    void set_list_key_captions();
    void show_band_page(int page, const std::function<QString(int slot)>& row_text, const QString& footer);
    double entry_row() const;
    int slot_of_row(int row) const;

    // The recordings browser.
    void read_record_folder();
    QString recording_path() const;
    void choose_recording();
    void stop_and_close();

    // The multimedia browser.
    void choose_multimedia(int& KeyAscii);
    void open_media_root(const QString& screen, const QString& root, int& KeyAscii);
    bool music_mode() const;
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

    // The rows of a recordings or media folder listing, and while media
    // play, the play list. A single empty entry is an empty listing.
    QStringList file_list{QString()};
    int file_index = 0;  // the recording chosen
    QString media_folder;
    QStringList media_files{QString()};  // the media files of media_folder
    QImage loaded_picture;
    int picture_width = 0;  // twips
    int picture_height = 0;
    // Set while a key handler works on the player, so that the automatic
    // advance does not start a file in the middle of it.
    bool player_busy = false;
    int screen_width_px_ = 0;

    // Phone ordering: its card on the main menu, and the queue screens
    // repainted when a phone changes the queue.
    std::unique_ptr<PhoneOrdering> phones_;
    void show_phone_card();
    void queue_changed_by_phone();
};
