#include "remote/phone_api.h"

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/lookups.h"
#include "foundation/song_orders.h"
#include "playback/playback_session.h"
#include "remote/song_search.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrlQuery>

#include <optional>

namespace {

constexpr int kMaxPage = 100'000;
constexpr int kMaxGuests = 1000;

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

std::optional<QString> utf8_text(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

// The value of a query item, decoded; nullopt when it is no UTF-8 text.
std::optional<QString> query_value(const QByteArray& query, const QString& name) {
    for (const QByteArray& item : query.split('&')) {
        const qsizetype equals = item.indexOf('=');
        const QByteArray key = equals < 0 ? item : item.left(equals);
        if (key != name.toLatin1()) continue;
        QByteArray value = equals < 0 ? QByteArray() : item.mid(equals + 1);
        value.replace('+', ' ');
        return utf8_text(QByteArray::fromPercentEncoding(value));
    }
    return QString();
}

// A whole number within [low, high], from a text of digits only.
std::optional<int> bounded_number(const QString& text, int low, int high) {
    static const QRegularExpression digits("^[0-9]{1,9}$");
    if (!digits.match(text).hasMatch()) return std::nullopt;
    const int value = text.toInt();
    if (value < low || value > high) return std::nullopt;
    return value;
}

std::optional<QJsonObject> json_body(const QByteArray& body) {
    if (!utf8_text(body)) return std::nullopt;
    QJsonParseError parse_error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parse_error);
    if (parse_error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    return document.object();
}

QByteArray session_cookie_value(const QByteArray& header) {
    for (const QByteArray& part : header.split(';')) {
        const QByteArray pair = part.trimmed();
        const QByteArray prefix = QByteArray(PhoneApi::kCookieName) + "=";
        if (pair.startsWith(prefix)) return pair.mid(prefix.size());
    }
    return {};
}

QByteArray random_token() {
    QByteArray bytes(16, '\0');
    QRandomGenerator::system()->generate(bytes.begin(), bytes.end());
    return bytes.toHex();
}

// The API's paths, by what they do.
struct ApiRoute {
    enum Kind { none, songs, queue_list, queue_order, queue_delete, queue_insert, player } kind = none;
    std::optional<int> slot;  // nullopt on a slot outside the queue's range
    QByteArray command;       // cut, pause, again
};

std::optional<int> queue_slot(const QByteArray& text) {
    return bounded_number(QString::fromLatin1(text), 0, PlayQueue::kCapacity - 1);
}

ApiRoute match_route(const QByteArray& method, const QByteArray& path) {
    const QList<QByteArray> parts = path.split('/');  // "", "api", ...
    const bool get = method == "GET";
    const bool post = method == "POST";
    if (path == "/api/songs" && get) return {ApiRoute::songs, {}, {}};
    if (path == "/api/queue" && get) return {ApiRoute::queue_list, {}, {}};
    if (path == "/api/queue" && post) return {ApiRoute::queue_order, {}, {}};
    static const QRegularExpression digits("^[0-9]+$");
    const bool slot_path = parts.size() >= 4 && parts[1] == "api" && parts[2] == "queue" &&
                           digits.match(QString::fromLatin1(parts[3])).hasMatch();
    if (slot_path && parts.size() == 4 && method == "DELETE")
        return {ApiRoute::queue_delete, queue_slot(parts[3]), {}};
    if (slot_path && parts.size() == 5 && parts[4] == "insert" && post)
        return {ApiRoute::queue_insert, queue_slot(parts[3]), {}};
    if (parts.size() == 4 && parts[1] == "api" && parts[2] == "player" && post &&
        (parts[3] == "cut" || parts[3] == "pause" || parts[3] == "again"))
        return {ApiRoute::player, {}, parts[3]};
    return {};
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
    if (request.body.size() > kMaxBodyBytes) return bad_request();
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
    const ApiRoute route = match_route(request.method, request.path);
    if (route.kind == ApiRoute::none) return not_found();
    Guest* guest = guest_of(request);
    if (!guest) return error(401, "請先輸入密碼");
    switch (route.kind) {
        case ApiRoute::songs:
            return songs(request);
        case ApiRoute::queue_list:
            return queue();
        case ApiRoute::queue_order:
            return order(request, *guest);
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

PhoneApi::Guest* PhoneApi::guest_of(const PhoneRequest& request) {
    const QByteArray token = session_cookie_value(request.cookie);
    if (token.isEmpty()) return nullptr;
    const auto found = guests_.find(token);
    return found == guests_.end() ? nullptr : &found.value();
}

PhoneResponse PhoneApi::log_in(const PhoneRequest& request) {
    const qint64 now = now_ms_();
    WrongPins& wrong = wrong_pins_[request.peer];
    if (wrong.wait_until > now) return error(429, "密碼錯太多次，請等一分鐘");
    const std::optional<QJsonObject> body = json_body(request.body);
    if (!body) return bad_request();
    if (body->value("pin").toString() != pin_) {
        if (++wrong.count >= kWrongPinsBeforeWait) wrong = {0, now + kWrongPinWaitMs};
        return error(403, "密碼錯誤");
    }
    wrong_pins_.remove(request.peer);
    // Phones that never come back must not pile up for the whole evening.
    if (guests_.size() >= kMaxGuests) guests_.erase(guests_.begin());
    const QByteArray token = random_token();
    guests_.insert(token, Guest{});
    PhoneResponse response = json(200, {{"ok", true}});
    response.set_cookie = QByteArray(kCookieName) + "=" + token + "; Path=/; HttpOnly; SameSite=Strict";
    return response;
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

PhoneResponse PhoneApi::order(const PhoneRequest& request, Guest& guest) {
    const std::optional<QJsonObject> body = json_body(request.body);
    static const QRegularExpression song_number("^[0-9]{1,10}$");
    const QString number = body ? body->value("num").toString() : QString();
    if (!song_number.match(number).hasMatch()) return bad_request();
    const qint64 now = now_ms_();
    while (!guest.order_times.empty() && guest.order_times.front() <= now - 60'000)
        guest.order_times.pop_front();
    if (static_cast<int>(guest.order_times.size()) >= kOrdersPerMinute) return error(429, "點太快了，請稍候");
    guest.order_times.push_back(now);
    if (state_.play_queue.full()) return error(409, "點歌已滿!");
    const int slot = add_song_to_queue(state_, number);
    if (slot < 0) return error(404, "沒這種歌!");
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
