#include "remote/phone_server.h"

#include "remote/phone_api.h"

#include <QtHttpServer/QHttpServerRequest>
#include <QtHttpServer/QHttpServerResponder>

namespace {

QByteArray method_name(QHttpServerRequest::Method method) {
    switch (method) {
        case QHttpServerRequest::Method::Get:
            return "GET";
        case QHttpServerRequest::Method::Post:
            return "POST";
        case QHttpServerRequest::Method::Delete:
            return "DELETE";
        default:
            return "OTHER";
    }
}

QByteArray header_value(const QHttpServerRequest& request, const QByteArray& name) {
    for (const auto& [key, value] : request.headers()) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
    }
    return {};
}

PhoneRequest phone_request(const QHttpServerRequest& request) {
    const QUrl url = request.url();
    return {method_name(request.method()),
            url.path(QUrl::FullyEncoded).toLatin1(),
            url.query(QUrl::FullyEncoded).toLatin1(),
            request.body(),
            header_value(request, "Cookie"),
            request.remoteAddress().toString()};
}

}  // namespace

PhoneServer::PhoneServer(PhoneApi& api, QObject* parent) : QAbstractHttpServer(parent), api_(api) {}

bool PhoneServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    const PhoneResponse response = api_.handle(phone_request(request));
    QHttpServerResponder responder = makeResponder(request, socket);
    responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(response.status));
    responder.writeHeader("Content-Type", response.content_type);
    responder.writeHeader("Content-Length", QByteArray::number(response.body.size()));
    responder.writeHeader("Cache-Control", "no-store");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    // The page needs nothing but itself and the API; no other site may frame it.
    responder.writeHeader("Content-Security-Policy",
                          "default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; "
                          "connect-src 'self'; frame-ancestors 'none'");
    responder.writeHeader("Referrer-Policy", "no-referrer");
    if (!response.set_cookie.isEmpty()) responder.writeHeader("Set-Cookie", response.set_cookie);
    responder.writeBody(response.body);
    return true;
}

void PhoneServer::missingHandler(const QHttpServerRequest&, QTcpSocket*) {
    // handleRequest answers every request.
}
