#include "remote/phone_api.h"

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/lookups.h"
#include "foundation/song_orders.h"
#include "playback/playback_session.h"
#include "remote/phone_request.h"
#include "remote/song_search.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <optional>

namespace {

constexpr int kMaxPage = 100'000;

PhoneResponse json(int status, const QJsonObject& object) {
    return {
        status, "application/json; charset=utf-8", QJsonDocument(object).toJson(QJsonDocument::Compact), {}};
}

PhoneResponse error(int status, const QString& text) {
    return json(status, {{"error", text}});
}

PhoneResponse not_found() {
    return error(404, "找不到");
}

PhoneResponse bad_request() {
    return error(400, "輸入錯誤");
}

QByteArray random_token() {
    QByteArray bytes(16, '\0');
    QRandomGenerator::system()->generate(bytes.begin(), bytes.end());
    return bytes.toHex();
}

// The page, with the song categories in its filter.
QByteArray page_html() {
    QFile file(":/phone/index.html");
    file.open(QIODevice::ReadOnly);
    QString options;
    const auto& kinds = song_kind_names();
    for (size_t kind = 0; kind < kinds.size(); ++kind)
        options += QString("<option value=\"%1\">%2</option>").arg(kind).arg(kinds[kind].toHtmlEscaped());
    return file.readAll().replace("<!--KINDS-->", options.toUtf8());
}

PhoneResponse page() {
    static const QByteArray html = page_html();
    return {200, "text/html; charset=utf-8", html, {}};
}

}  // namespace

QString random_pin() {
    return QString("%1").arg(QRandomGenerator::system()->bounded(10000), 4, 10, QChar('0'));
}

PhoneApi::PhoneApi(AppState& state, const QString& pin)
    : state_(state), pin_(pin), now_ms_([&state] { return state.clock.elapsed_design_ms(); }) {}

void PhoneApi::set_playback(PlaybackSession* session) {
    playback_ = session;
}

// The keypad's screens and the small windows over the video show the queue
// afresh.
void PhoneApi::queue_was_changed() {
    emit queue_changed();
    if (playback_) playback_->announce_queue_changed();
}

void PhoneApi::prepare_search() {
    try {
        search_.read_catalogue_if_changed(state_.db_path);
    } catch (const DatabaseError&) {
        // Logged by the catalogue; the first search meets it again and tells the phone.
    }
}

PhoneResponse PhoneApi::handle(const PhoneRequest& request) {
    if (request.body.size() > kHttpMaxBodyBytes) return bad_request();
    // A catalogue that cannot be read is the jukebox's trouble, not the
    // phone's: it hears that the server failed, and the keypad goes on.
    try {
        return route(request);
    } catch (const DatabaseError&) {
        return error(500, "資料庫錯誤");
    }
}

PhoneResponse PhoneApi::route(const PhoneRequest& request) {
    if (request.path == "/" && request.method == "GET") return page();
    if (request.path == "/api/login" && request.method == "POST") return log_in(request);
    const ApiRoute route = match_route(request.method, request.path, PlayQueue::kCapacity);
    if (route.kind == ApiRoute::none) return not_found();
    const QByteArray guest = guest_of(request);
    if (guest.isEmpty()) return error(401, "請先輸入密碼");
    switch (route.kind) {
        case ApiRoute::songs:
            return songs(request);
        case ApiRoute::queue_list:
            return queue();
        case ApiRoute::queue_order:
            return order(request, guest);
        case ApiRoute::queue_delete:
            return route.slot ? remove(*route.slot) : bad_request();
        case ApiRoute::queue_insert:
            return route.slot ? insert(*route.slot) : bad_request();
        case ApiRoute::player:
            return player_command(route.command);
        case ApiRoute::none:
            break;
    }
    return not_found();
}

QByteArray PhoneApi::guest_of(const PhoneRequest& request) {
    const QByteArray token = cookie_value(request.cookie, kCookieName);
    return !token.isEmpty() && guests_.visit(token, now_ms_()) ? token : QByteArray();
}

PhoneResponse PhoneApi::log_in(const PhoneRequest& request) {
    const qint64 now = now_ms_();
    switch (pin_guard_.may_try(request.peer, now)) {
        case PinGuard::Verdict::everyone_waits:
            return error(429, kLoginsWaitNotice);
        case PinGuard::Verdict::address_waits:
            return error(429, "密碼錯太多次，請等一分鐘");
        case PinGuard::Verdict::too_many_logins:
            return error(429, "登入太多次，請稍候");
        case PinGuard::Verdict::allowed:
            break;
    }
    const std::optional<QJsonObject> body = json_body(request.body);
    if (!body) return bad_request();
    if (body->value("pin").toString() != pin_) return wrong_pin(request.peer, now);
    pin_guard_.right_pin(request.peer);
    const QByteArray token = random_token();
    if (!guests_.admit(token, request.peer, now)) return error(503, "點歌的手機太多了，請稍候");
    PhoneResponse response = json(200, {{"ok", true}});
    response.set_cookie = QByteArray(kCookieName) + "=" + token + "; Path=/; HttpOnly; SameSite=Strict";
    return response;
}

// A random PIN that has met many wrong ones gives way to a new one, which the
// screens show; so does the wait of every login.
PhoneResponse PhoneApi::wrong_pin(const QString& peer, qint64 now) {
    const bool time_for_new_pin = pin_guard_.wrong_pin(peer, now);
    if (time_for_new_pin && pin_is_random_) {
        pin_ = random_pin();
        pin_guard_.pin_changed();
    }
    if ((time_for_new_pin && pin_is_random_) || pin_guard_.everyone_waits(now)) emit sign_changed();
    return error(403, "密碼錯誤");
}

PhoneResponse PhoneApi::songs(const PhoneRequest& request) {
    const std::optional<QString> query = query_value(request.query, "q");
    const std::optional<QString> kind_text = query_value(request.query, "kind");
    const std::optional<QString> page_text = query_value(request.query, "page");
    if (!query || !kind_text || !page_text || query->size() > kMaxQueryChars) return bad_request();
    const std::optional<int> kind = kind_text->isEmpty() ? kAnyKind : bounded_number(*kind_text, 0, 7);
    const std::optional<int> page = page_text->isEmpty() ? 1 : bounded_number(*page_text, 1, kMaxPage);
    if (!kind || !page) return bad_request();
    const FoundPage found = search_.search(state_.db_path, query->trimmed(), *kind, *page);
    QJsonArray songs;
    for (const FoundSong& song : found.songs)
        songs.append(QJsonObject{{"num", song.num}, {"title", song.title}, {"singers", song.singers}});
    return json(200, {{"songs", songs}, {"more", found.more}});
}

bool PhoneApi::player_open() const {
    return playback_ && !playback_->closed();
}

// While the singing window is open its head is the song playing, or the one
// it is about to start: no phone moves it.
bool PhoneApi::head_locked() const {
    return player_open() && !state_.play_queue.empty();
}

PhoneResponse PhoneApi::queue() const {
    const PlayQueue& play_queue = state_.play_queue;
    QJsonArray entries;
    for (int slot = 0; slot < play_queue.size(); ++slot) {
        entries.append(QJsonObject{
            {"slot", slot}, {"num", play_queue.number_at(slot)}, {"text", play_queue.display_at(slot)}});
    }
    const QJsonValue playing = head_locked() ? QJsonValue(entries.first()) : QJsonValue(QJsonValue::Null);
    const QJsonObject player{{"open", player_open()}, {"paused", player_open() && playback_->paused()}};
    return json(200, {{"playing", playing}, {"queue", entries}, {"player", player}});
}

PhoneResponse PhoneApi::order(const PhoneRequest& request, const QByteArray& guest) {
    const std::optional<QJsonObject> body = json_body(request.body);
    static const QRegularExpression song_number("^[0-9]{1,10}$");
    const QString number = body ? body->value("num").toString() : QString();
    if (!song_number.match(number).hasMatch()) return bad_request();
    const qint64 now = now_ms_();
    if (!guests_.may_order(guest, now)) return error(429, "點太快了，請稍候");
    if (state_.play_queue.full()) return error(409, "點歌已滿!");
    const int slot = add_song_to_queue(state_, number);
    if (slot < 0) return error(404, "沒這種歌!");
    guests_.ordered(guest, now);
    queue_was_changed();
    // Like the small ordering windows: the first song starts at once.
    if (slot == 0 && player_open())
        QMetaObject::invokeMethod(playback_, &PlaybackSession::start_head_if_idle, Qt::QueuedConnection);
    return queue();
}

PhoneResponse PhoneApi::remove(int slot) {
    if (slot >= state_.play_queue.size()) return error(404, "沒歌可刪!");
    if (slot == 0 && head_locked()) return error(409, "正在唱的歌不能刪!");
    state_.play_queue.delete_at(slot);
    queue_was_changed();
    return queue();
}

PhoneResponse PhoneApi::insert(int slot) {
    PlayQueue& play_queue = state_.play_queue;
    if (slot >= play_queue.size()) return error(404, "沒歌可插!");
    const int next = head_locked() ? 1 : 0;
    if (slot < next) return error(409, "這種歌不用插播了啦!");
    play_queue.move_forward(slot, next, get_song_name(state_, play_queue.number_at(slot)) + "--插播");
    queue_was_changed();
    return queue();
}

// The session's operations run nested event loops (the pause before singing
// again): they run after the answer has gone out.
PhoneResponse PhoneApi::player_command(const QByteArray& command) {
    if (!player_open()) return error(409, "還沒開始唱歌");
    QPointer<PlaybackSession> session = playback_;
    QMetaObject::invokeMethod(
        session,
        [session, command] {
            if (!session) return;
            if (command == "cut")
                session->cut();
            else if (command == "pause")
                session->toggle_pause();
            else
                session->sing_again();
        },
        Qt::QueuedConnection);
    return json(200, {{"ok", true}});
}
