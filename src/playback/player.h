#pragma once

#include "playback/playback_session.h"

#include <QDialog>
#include <QLabel>
#include <QString>
#include <QTimer>

#include <functional>

struct AppState;
class QPainter;
class MediaPlayer;
class player;

// Opens the small control panel over the player and returns once the guest
// is done with it. The main menu hands the player one, so that the playback
// layer knows nothing of the panels above it.
using ControlPanelOpener = std::function<void(player&)>;

// The full-screen singing window. Its playback session plays the head of
// the play queue, removes each song when it ends, fails or is skipped, and
// shows the background picture for three seconds before the next one; the
// window shows the video or the picture and the status message, and takes
// the keys: the playback hotkeys first, otherwise the small control panel.
//
// Shown modally with exec(); closing it (the panel's main-menu key closes
// the session, and the window with it) leaves the song that was playing at
// the head of the queue, so that it plays again from its start next time.
class player : public QDialog {
    Q_OBJECT
public:
    // Without `open_control_panel` keys that are no hotkeys do nothing.
    player(AppState& state, QWidget* parent, ControlPanelOpener open_control_panel = {});
    ~player() override;

    // Seconds the status message stays (see show_player_message).
    int iCountDownMSG = 0;
    // The small control panel is up: set while the opener runs, so that no
    // second panel opens over it, and the watch leaves the focus alone.
    bool fOpenSmallControl = false;

    QLabel Image1;
    QLabel labMSGBack;
    QLabel labMsg;
    QTimer Timer3;     // a flag only: on while the player polls the arrow keys itself
    QTimer tmrGetKey;  // polls the arrow keys
    QTimer tmrMSG;     // counts the status message down

    // What plays now: the engine, the watch timers Timer1 and Timer2, the
    // pause between songs. Every window that acts on playback talks to it.
    PlaybackSession& session() { return session_; }
    // The session's engine, whose video area lies in this window.
    MediaPlayer* wmp1 = nullptr;

    // The work of the first activation; showing the window runs it.
    void Form_Activate();

    // Starts the head of the queue at once when nothing is playing.
    void Player_OneSong();
    // Removes the head and starts the new one after three seconds of
    // background; true when a song was started, false when the queue is empty.
    bool play_next();
    // 1: the background picture over the whole screen; 0: the video.
    void Load_Background(int mode);

    // Something painted over the background picture, on a screen-sized
    // area; without it the picture shows alone.
    void set_background_overlay(std::function<void(QPainter&, const QRect&)> paint);
    // Paints the background picture and its overlay afresh.
    void repaint_background();

    void tmrGetKey_Timer();
    void tmrMSG_Timer();
    // A key code from the video area or the window; a click on the
    // background picture arrives as code 0.
    void wmp1_KeyPressEvent(int key_code);
    void wmp1_ClickEvent();
    void wmp1_PlayStateChange(int new_state);

    // True once the window has been closed: work that was waiting inside a
    // nested event loop (a three-second pause) must not start a song then.
    bool unloaded() const { return unloaded_; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void connect_session();
    void connect_timers();
    void place_message_labels();
    void raise_message_labels();
    void keep_focus();
    void show_control_panel();
    void resume_arrow_polling();

    AppState& state_;
    PlaybackSession session_;
    ControlPanelOpener open_control_panel_;
    bool first_activation = true;
    bool key_panel_open = false;
    bool unloaded_ = false;
    std::function<void(QPainter&, const QRect&)> background_overlay_;
};

// The status message in the player's top-right corner: the text stays for
// about `seconds` seconds (every caller passes 3). A new message replaces the
// one on screen and restarts the countdown.
void show_player_message(player& screen, const QString& text, int seconds);

// One second of the countdown (the player's tmrMSG): the message is hidden
// on the tick that finds one second or less left.
void count_down_player_message(player& screen);
