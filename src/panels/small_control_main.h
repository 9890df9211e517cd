#pragma once

#include <QDialog>
#include <QPushButton>
#include <QTimer>

#include <functional>

struct AppState;
class PlaybackSession;

// The small nine-button panel over the playing video: order by number, see
// and rearrange the queue, order by singer, the sound panel, cut, pause or
// resume, sing again, back to the main menu, and close. Cut, pause and sing
// again are the playback session's; the pause key's caption follows it.
//
// The panel hides itself while one of its small windows (or the sound
// panel) is up and comes back when the guest leaves that window.
class small_control_main : public QDialog {
    Q_OBJECT
public:
    // Laid over `screen`, the singing window, whose session it acts on.
    small_control_main(AppState& state, PlaybackSession& session, QWidget* screen);

    QPushButton key_order;   // "1點歌"
    QPushButton key_browe;   // "2已點"
    QPushButton key_done;    // "3歌手"
    QPushButton key_mixer;   // "4音效"
    QPushButton key_next;    // "5卡歌"
    QPushButton key_pause;   // "6暫停" / "6播放"
    QPushButton key_replay;  // "7重唱"
    QPushButton key_gomain;  // "8關閉"
    QPushButton key_exit;    // "0沒事"
    // While the panel is shown, gives it the focus back.
    QTimer Timer3;

    // Shows the panel modally over the video and returns once the guest is
    // done with it (and with the small windows opened from it).
    void open();

    // One key code as the keyboard delivers it.
    void key_press(int key);

    // Skip to the next song (only while a song plays).
    void key_next_Click();
    // Pause a playing song, or resume a paused one.
    void key_pause_Click();
    // Sing the song again from its start (only while a song plays).
    void key_replay_Click();
    void key_order_Click();
    void key_browe_Click();
    void key_done_Click();
    void key_mixer_Click();
    void key_gomain_Click();
    void key_exit_Click();

    void Timer3_Timer();

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void lay_out();
    void connect_buttons();
    void Form_Load();
    void Form_Unload();
    // Hides the panel, runs the window modally and brings the panel back
    // afterwards unless it was closed meanwhile.
    void open_window(const std::function<void()>& show_modal);

    AppState& state_;
    PlaybackSession& session_;
    // Set while the panel is hidden for one of its windows: losing the focus
    // to that window must not close it.
    bool hidden_for_window_ = false;
    // A window opened from the panel has closed: the panel shows again.
    bool come_back_ = false;
    // From opening until the guest closed the panel.
    bool loaded_ = false;
};

// What the player runs to open the control panel: a panel over `screen`, the
// singing window, shown until the guest is done with it.
void open_small_control_main(AppState& state, PlaybackSession& session, QWidget* screen);
