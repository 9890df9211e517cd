#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QString>
#include <QTimer>

#include <memory>

struct AppState;
class MediaPlayer;

// The preview window of the catalogue windows: half the screen, playing one
// media file with transport controls under the video. The caller sets
// file_to_watch (and its own caption) and shows it modally; the file starts
// on the first showing only, and closing the window ends the playback.
class small_view : public QDialog {
    Q_OBJECT
public:
    small_view(AppState& state, QWidget* parent);
    ~small_view() override;

    // The path of the media file to play.
    QString file_to_watch;

    std::unique_ptr<MediaPlayer> WMP_SMALL;
    QPushButton play_pause;
    QPushButton stop;
    QSlider position;
    QLabel position_label;
    QSlider volume;
    QTimer refresh;  // follows the position while the media plays

    // The work of the first activation; showing the window runs it.
    void Form_Activate();
    // Brings the controls up to date with the media player.
    void refresh_controls();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void lay_out_controls(const QRect& video);
    void play_pause_Click();
    void stop_Click();
    void position_released();

    AppState& state_;
    bool preview_started = false;
};
