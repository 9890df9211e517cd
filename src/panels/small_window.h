#pragma once

#include "widgets/on_screen_keypad.h"
#include "widgets/picture_box.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QTimer>

struct AppState;
class PlaybackSession;

// What the three small ordering windows over the video share: the entry
// label, the hint, the on-screen keypad, the text area `Picture1` of the
// list windows, the key path (translation, then the playback hotkeys, then
// the window's own screen) and the focus and arrow-key timers.
//
// Keys typed here never reach the player. A window leaves with close():
// the control panel that opened it comes back by itself.
class small_window : public QDialog {
    Q_OBJECT
public:
    // The window is `width_share` of the screen wide; a list window adds
    // Picture1 to the right of the keypad, twice the keypad's width.
    small_window(AppState& state, PlaybackSession& session, QWidget* parent, double width_share,
                 bool list_window);

    PictureBox Picture1;
    QLabel Label1;   // the entry, or a one-line message
    QLabel Label_3;  // the hint how to leave
    on_screen_keypad keypad{this};
    QTimer tmrGetKey;  // turns the arrow keys into "-" and "+"
    QTimer Timer1;     // keeps the focus on Picture1

    // Every key code, from the keyboard or an on-screen key.
    void Picture1_KeyPress(int KeyAscii);

    void Timer1_Timer();
    void tmrGetKey_Timer();

protected:
    // One translated keypad character that no hotkey took.
    virtual void handle_key(int key) = 0;
    // What the window does each time it comes up.
    virtual void Form_Activate() {}

    void set_captions(const QString& minus, const QString& plus, const QString& hint);
    // Digits build the entry, "." takes its last character back; Label1
    // echoes it. Returns whether the key was one of them.
    bool type_entry_key(int key);
    // Queues the song with the entry's number: its name on Label1, and the
    // player starts it when the queue was empty. The slot taken, or -1 when
    // no song has the number.
    int order_entry();
    // Queues the song number given, starting it when the queue was empty.
    int order_song(const QString& song_num);
    // Leaves the window: the control panel comes back.
    void leave();

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    AppState& state_;
    PlaybackSession& session_;
    QString key_entry;

private:
    void take_focus();
    static void fit_caption(QPushButton& key);
    void lay_out(double width_share, bool list_window);
    void lay_out_keypad(int u, int v, int top, double points);
};
