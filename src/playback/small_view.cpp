#include "playback/small_view.h"

#include "foundation/app_state.h"
#include "platform/media_player.h"

#include <QStyle>

#include <cmath>

small_view::small_view(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setWindowTitle("小瀏覽影片視窗");
    Form_Load();
}

small_view::~small_view() {
    WMP_SMALL->close();
}

void small_view::Form_Load() {
    const QSize screen = state_.screen_size;
    const QSize window(screen.width() / 2, screen.height() / 2);
    setGeometry(QRect(QPoint((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2),
                      window));
    setFixedSize(window);

    WMP_SMALL = state_.platform.make_media_player(this);
    const int video_width = qRound(0.8 * window.width());
    const QRect video((window.width() - video_width) / 2, 0, video_width, qRound(0.8 * window.height()));
    WMP_SMALL->set_geometry(video);
    WMP_SMALL->set_auto_start(false);
    lay_out_controls(video);
    preview_started = false;

    connect(&play_pause, &QPushButton::clicked, this, &small_view::play_pause_Click);
    connect(&stop, &QPushButton::clicked, this, &small_view::stop_Click);
    connect(&position, &QSlider::sliderReleased, this, &small_view::position_released);
    connect(&volume, &QSlider::valueChanged, this, [this](int value) { WMP_SMALL->set_volume(value); });
    connect(WMP_SMALL.get(), &MediaPlayer::play_state_changed, this, &small_view::refresh_controls);
    state_.clock.set_interval(refresh, 500);
    connect(&refresh, &QTimer::timeout, this, &small_view::refresh_controls);
    refresh.start();
    refresh_controls();
}

// One row under the video: play/pause, stop, the position and the volume.
void small_view::lay_out_controls(const QRect& video) {
    const int row_top = video.bottom() + 1 + (height() - video.bottom() - 1 - 32) / 2;
    const int button = 40;
    int left = video.left();
    for (QWidget* control :
         std::initializer_list<QWidget*>{&play_pause, &stop, &position, &position_label, &volume})
        control->setParent(this);
    play_pause.setGeometry(left, row_top, button, 32);
    left += button + 4;
    stop.setGeometry(left, row_top, button, 32);
    stop.setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    left += button + 8;
    const int volume_width = video.width() / 6;
    const int label_width = 110;
    const int position_width = video.right() + 1 - left - label_width - volume_width - 8;
    position.setOrientation(Qt::Horizontal);
    position.setGeometry(left, row_top, position_width, 32);
    left += position_width;
    position_label.setGeometry(left, row_top, label_width, 32);
    position_label.setAlignment(Qt::AlignCenter);
    left += label_width + 8;
    volume.setOrientation(Qt::Horizontal);
    volume.setRange(0, 100);
    volume.setValue(WMP_SMALL->volume());
    volume.setGeometry(left, row_top, volume_width, 32);
    volume.setToolTip("音量");
}

void small_view::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Activate();
}

void small_view::Form_Activate() {
    if (preview_started) return;
    WMP_SMALL->set_url("file://" + file_to_watch);
    WMP_SMALL->play();
    preview_started = true;
}

void small_view::play_pause_Click() {
    if (WMP_SMALL->play_state() == play_state::playing)
        WMP_SMALL->pause();
    else
        WMP_SMALL->play();
}

void small_view::stop_Click() {
    WMP_SMALL->stop();
}

void small_view::position_released() {
    WMP_SMALL->seek(position.value());
}

void small_view::refresh_controls() {
    const bool playing = WMP_SMALL->play_state() == play_state::playing;
    play_pause.setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    const int length = static_cast<int>(std::lround(WMP_SMALL->duration_seconds()));
    position.setRange(0, length);
    if (!position.isSliderDown()) position.setValue(static_cast<int>(WMP_SMALL->position_seconds()));
    const QString played = WMP_SMALL->current_position_text();
    position_label.setText((played.isEmpty() ? "00:00" : played) + " / " + position_text(length));
}

void small_view::done(int result) {
    WMP_SMALL->stop();
    WMP_SMALL->close();
    QDialog::done(result);
}
