#pragma once

#include "platform/media_player.h"

#include <QPointer>
#include <QWidget>

// A media player that never plays: windows that make one for background
// music can be built and driven in the benchmarks without a media engine.
class NullMediaPlayer final : public MediaPlayer {
public:
    explicit NullMediaPlayer(QWidget* parent) : surface_(new QWidget(parent)) {}
    ~NullMediaPlayer() override { delete surface_.data(); }

    void set_url(const QString& url) override { url_ = url; }
    QString url() const override { return url_; }
    void play() override {}
    void pause() override {}
    void stop() override {}
    void close() override {}
    int play_state() const override { return play_state::undefined; }
    int audio_stream_count() const override { return 0; }
    int current_audio_stream() const override { return 1; }
    void set_current_audio_stream(int) override {}
    QWidget* video_surface() const override { return surface_; }

    static MediaPlayerFactory factory() {
        return [](QWidget* parent) { return std::make_unique<NullMediaPlayer>(parent); };
    }

protected:
    double position_seconds() const override { return 0; }

private:
    QPointer<QWidget> surface_;
    QString url_;
};
