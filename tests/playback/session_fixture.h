#pragma once

#include "playback/playback_session.h"
#include "playback/player_fixture.h"
#include "support/fake_media_player.h"

#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// A playback session on the fake engine over a plain window instead of the
// singing window, which records what the session tells it: the status
// messages and whether the background picture is shown.
class SessionFixture : public PlayerFixture {
public:
    SessionFixture() { state->platform.make_media_player = players.factory(); }
    ~SessionFixture() { end_session(); }

    PlaybackSession& session() {
        if (!session_) make_session();
        return *session_;
    }
    FakeMediaPlayer& media() { return *players.last(); }
    // The last status message, or an empty text.
    QString message() const { return messages.isEmpty() ? QString() : messages.last(); }
    // Runs `check` after the given design milliseconds, while `action` runs.
    void during(const std::function<void()>& action, int design_ms, const std::function<void()>& check) {
        QTimer::singleShot(state->clock.real_ms(design_ms), &window, check);
        action();
    }
    // Services the session talks to (such as the sound input) must outlive it.
    void end_session() { session_.reset(); }

    FakeMediaPlayers players;
    QWidget window;
    QStringList messages;
    bool background_shown = true;

private:
    void make_session() {
        session_ = std::make_unique<PlaybackSession>(*state, state->platform.make_media_player(&window));
        QObject::connect(session_.get(), &PlaybackSession::status_message, &window,
                         [this](const QString& text) { messages << text; });
        QObject::connect(session_.get(), &PlaybackSession::background_changed, &window,
                         [this](bool shown) { background_shown = shown; });
    }

    std::unique_ptr<PlaybackSession> session_;
};
