#pragma once

// What the phones' request fuzz target checks besides crashes and sanitizer
// reports: the bytes a client sends go through the server's limits and the
// API's reading of paths, queries, bodies and cookies; whatever comes back
// is HTTP answers or nothing, and nothing past a limit reaches the API.

#include "platform/http_server.h"
#include "remote/phone_request.h"

#include <QByteArray>

#include <cstdlib>

inline void require_phone(bool condition) {
    if (!condition) std::abort();
}

// The API's reading of a request, as PhoneApi does it, without a jukebox
// behind it.
inline HttpResponse fuzz_phone_api(const HttpRequest& request) {
    require_phone(request.body.size() <= kHttpMaxBodyBytes);
    require_phone(request.path.size() + request.query.size() <= kHttpMaxUrlBytes);
    const ApiRoute route = match_route(request.method, request.path, 5001);
    require_phone(!route.slot || (*route.slot >= 0 && *route.slot < 5001));
    for (const char* name : {"q", "kind", "page"})
        if (const auto value = query_value(request.query, name)) bounded_number(*value, 0, 100'000);
    if (const auto body = json_body(request.body)) body->value("pin").toString();
    cookie_value(request.cookie, "karaoke_session");
    return {200, "application/json", "{}", {}};
}

// What came back on one connection: answers, each starting with a status
// line, or nothing at all.
inline void require_http_answers(const QByteArray& received) {
    require_phone(received.isEmpty() || received.startsWith("HTTP/1.1 ") || received.startsWith("HTTP/1.0 "));
}

// The bytes of one request as the server reads them, without the network:
// request line, header lines, body; the head is judged before the API sees
// anything.
inline void fuzz_phone_request(const QByteArray& bytes) {
    const qsizetype head_end = bytes.indexOf("\r\n\r\n");
    const QByteArray head = head_end < 0 ? bytes : bytes.left(head_end);
    QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> request_line = lines.takeFirst().trimmed().split(' ');
    if (request_line.size() != 3) return;
    HttpHeaders headers;
    for (const QByteArray& line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0) headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
    }
    if (http_head_refusal(request_line[1].size(), headers) != 0) return;
    HttpRequest request = http_request_of(request_line[0], request_line[1], headers, "127.0.0.1");
    request.body = head_end < 0 ? QByteArray() : bytes.mid(head_end + 4);
    if (request.body.size() > kHttpMaxBodyBytes) return;  // refused while it is read
    fuzz_phone_api(request);
}
