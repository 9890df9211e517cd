#pragma once

#include <QDialog>
#include <QLabel>
#include <QString>
#include <QTimer>

#include <memory>

struct AppState;
class MediaPlayer;
class mixer_menu;
class small_control_main;

// The full-screen singing window. It plays the head of the play queue,
// removes each song when it ends, fails or is skipped, and shows the
// background picture for three seconds before the next one. Keys go to the
// playback hotkeys first and otherwise open the small control panel.
//
// Shown modally with exec(); closing it (the panel's main-menu key, or
// Timer2 seeing return_to_menu) leaves the song that was playing at the
// head of the queue, so that it plays again from its start next time.
class player : public QDialog {
    Q_OBJECT
public:
    player(AppState& state, QWidget* parent);
    ~player() override;

    // Seconds the status message stays (see show_player_message).
    int iCountDownMSG = 0;
    // The small control panel is on screen; the panel sets and clears it.
    bool fOpenSmallControl = false;

    std::unique_ptr<MediaPlayer> wmp1;
    QLabel Image1;
    QLabel labMSGBack;
    QLabel labMsg;
    QTimer Timer1;     // starts the head when idle
    QTimer Timer2;     // watches the play state
    QTimer Timer3;     // a flag only: on while the player polls the arrow keys itself
    QTimer tmrGetKey;  // polls the arrow keys
    QTimer tmrMSG;     // counts the status message down

    // The work of the first activation; showing the window runs it.
    void Form_Activate();

    // Starts the head of the queue at once when nothing is playing.
    void Player_OneSong();
    // Removes the head and starts the new one after three seconds of
    // background; true when a song was started, false when the queue is empty.
    bool play_next();
    // 1: the background picture over the whole screen; 0: the video.
    void Load_Background(int mode);
    // Plays the head of the queue from its start.
    void play_head();

    void Timer1_Timer();
    void Timer2_Timer();
    void tmrGetKey_Timer();
    void tmrMSG_Timer();
    // A key code from the video area or the window; a click on the
    // background picture arrives as code 0.
    void wmp1_KeyPressEvent(int key_code);
    void wmp1_ClickEvent();
    void wmp1_PlayStateChange(int new_state);

    // The small control panel, made hidden on first use, so that the hotkeys
    // can call its operations while it is not on screen.
    small_control_main& control_panel();
    // The sound panel, made hidden on first use in the same way: the hotkeys
    // press its buttons, the control panel's "4音效" shows it.
    mixer_menu& mixer_panel();

    // True once the window has been closed: work that was waiting inside a
    // nested event loop (a three-second pause) must not start a song then.
    bool unloaded() const { return unloaded_; }

    AppState& app_state() const { return state_; }

    void done(int result) override;

signals:
    // The head of the queue was removed (a song ended, failed or was skipped).
    // The small insertion window redraws its queue page on it while open.
    void head_removed();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void connect_timers();
    void place_message_labels();
    void raise_message_labels();
    void song_ended();
    void song_failed();
    bool song_is_over() const;
    bool pause_between_songs();
    void show_control_panel();
    void resume_arrow_polling();

    AppState& state_;
    std::unique_ptr<small_control_main> control_panel_;
    std::unique_ptr<mixer_menu> mixer_panel_;
    bool first_activation = true;
    bool key_panel_open = false;
    // During a three-second pause before a song starts: nothing else may
    // start or advance the queue meanwhile.
    bool between_songs_ = false;
    bool unloaded_ = false;
};

// Media with more than two audio streams hear stream `channel`; media with
// one or two are left alone.
void select_audio_track(MediaPlayer& media, int channel);
