#pragma once

#include "ordering/keypad_menu.h"
#include "ordering/menu_screen.h"
#include "ordering/multimedia.h"
#include "ordering/order_by_text_count.h"
#include "ordering/queue_screens.h"
#include "ordering/record_file.h"
#include "ordering/shutdown_set.h"
#include "widgets/keypad_screen.h"
#include "widgets/on_screen_keypad.h"
#include "widgets/order_by_singer.h"
#include "widgets/picture_box.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <memory>

struct AppState;
class MediaPlayer;
class PhoneOrdering;

// The full-screen keypad window guests see between songs. Every menu and
// list is printed on Picture1 by the screen in front, which takes the keys.
class main_menu : public QWidget {
    Q_OBJECT
public:
    explicit main_menu(AppState& state);
    ~main_menu() override;

    PictureBox Picture1;
    QLabel Label1;  // the entry, or a one-line message
    QLabel Label2;  // the position of the music playing
    QLabel Label3;  // the name of the media file playing or shown
    QPushButton manager;
    on_screen_keypad keypad{this};
    std::unique_ptr<MediaPlayer> wmpMain;
    QTimer Timer1;
    QTimer Timer2;
    QTimer tmrGetKey;

    // What the window does each time it comes to the front.
    void Form_Activate();

    // Every key code from the keyboard, the on-screen keys and the media
    // player arrives here, is translated through the key settings and handed
    // to the screen in front.
    void Picture1_KeyPress(int KeyAscii);

    // Prints the main menu and brings it to the front.
    void show_main_menu();

    // The screen in front: "0" main menu, "1"/"1_1"/"1_2" ordering by
    // character count, "10" shutdown, "2"/"2_1"/"2_2" ordering by singer,
    // "3" by number, "4" deleting, "5" inserting, "7"/"7_1" recordings,
    // "8"/"8_1"/"8_2"/"8_1_2"/"8_2_2" multimedia.
    QString screen_name() const { return screens_.name(); }

    // Ordering from the guests' phones; null unless Setting.ini switches it on.
    PhoneOrdering* phone_ordering() const { return phones_.get(); }

    void Timer1_Timer();
    // Moves the music on to the next file when one has ended.
    void Timer2_Timer();
    void tmrGetKey_Timer();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Closing the window is one of the program's own ends.
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void lay_out_controls();
    void lay_out_keypad(int u, int top);
    bool open_choice(const QString& choice);
    void start_singing();
    void open_manager_mode();
    void show_restored_queue();

    AppState& state_;
    int font_basis_px_ = 0;  // screen width in pixels that the font sizes follow
    // Songs that came back from the queue journal, until the menu has said so.
    int restored_songs_ = 0;

    // The screens, and the one in front.
    menu_context context_{*this, state_};
    keypad_menu keypad_menu_;                            // "0"
    order_by_text_count order_by_text_count_{context_};  // "1", "1_1", "1_2"
    order_by_singer order_by_singer_;                    // "2", "2_1", "2_2"
    order_by_song_num order_by_song_num_{context_};      // "3"
    delete_song delete_song_{context_};                  // "4"
    intter_song intter_song_{context_};                  // "5"
    RecordFile RecordFile_{context_};                    // "7", "7_1"
    multimedia multimedia_{context_};                    // "8", "8_1", "8_2", "8_1_2", "8_2_2"
    shutdown_set shutdown_set_{context_};                // "10"
    keypad_screens screens_{keypad_menu_};

    // Phone ordering: its card on the main menu, and the queue screens
    // repainted when a phone changes the queue.
    std::unique_ptr<PhoneOrdering> phones_;
    void show_phone_card();
    void queue_changed_by_phone();
};
