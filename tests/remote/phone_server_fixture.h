#pragma once

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "remote/phone_ordering.h"
#include "support/test_catalogue.h"
#include "support/test_support.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

// An answer of the phones' server as a phone sees it.
struct PhoneReply {
    int status = 0;
    QByteArray body;
    QByteArray set_cookie;
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

// Phone ordering on a fresh catalogue, served on a free port of 127.0.0.1,
// with a time source the test moves by hand.
class PhoneServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        prepare_catalogue(state->db_path);
        phones = std::make_unique<PhoneOrdering>(*state, "1234", 0, QHostAddress::LocalHost, "127.0.0.1");
        ASSERT_TRUE(phones->listening());
        phones->api().set_time_source([this] { return now_ms; });
    }

    // A phone of its own: a fresh cookie jar.
    std::unique_ptr<QNetworkAccessManager> new_phone() {
        auto phone = std::make_unique<QNetworkAccessManager>();
        phone->setCookieJar(new QNetworkCookieJar(phone.get()));
        return phone;
    }

    PhoneReply send(QNetworkAccessManager& phone, const QByteArray& method, const QString& path,
                    const QByteArray& body = {}) {
        QNetworkRequest request(QUrl(QString("http://127.0.0.1:%1").arg(phones->port()) + path));
        if (!body.isEmpty()) request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
        QNetworkReply* reply = phone.sendCustomRequest(request, method, body);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(10'000, &loop, &QEventLoop::quit);  // a hung server fails the test, not the run
        if (!reply->isFinished()) loop.exec();
        PhoneReply answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                          reply->readAll(), reply->rawHeader("Set-Cookie")};
        reply->deleteLater();
        return answer;
    }
    PhoneReply send(const QByteArray& method, const QString& path, const QByteArray& body = {}) {
        return send(*phone, method, path, body);
    }

    // The bytes of a request line sent as they stand, past any URL cleaning.
    int raw_status(const QByteArray& request_line) {
        QTcpSocket socket;
        QByteArray answer;
        QEventLoop loop;
        QObject::connect(&socket, &QTcpSocket::connected, &loop,
                         [&] { socket.write(request_line + "\r\nHost: 127.0.0.1\r\n\r\n"); });
        // The status line is all the test needs; the server may keep the connection.
        QObject::connect(&socket, &QTcpSocket::readyRead, &loop, [&] {
            answer += socket.readAll();
            if (answer.contains("\r\n")) loop.quit();
        });
        QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
        QTimer::singleShot(10'000, &loop, &QEventLoop::quit);
        socket.connectToHost(QHostAddress::LocalHost, phones->port());
        loop.exec();
        return answer.mid(9, 3).toInt();  // "HTTP/1.1 404 ..."
    }

    void log_in(QNetworkAccessManager& someone) {
        ASSERT_EQ(send(someone, "POST", "/api/login", R"({"pin":"1234"})").status, 200);
    }
    void log_in() { log_in(*phone); }

    PhoneReply order(const QString& number) {
        return send("POST", "/api/queue", QJsonDocument(QJsonObject{{"num", number}}).toJson());
    }

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
    std::unique_ptr<PhoneOrdering> phones;
    std::unique_ptr<QNetworkAccessManager> phone = new_phone();
    qint64 now_ms = 1'000'000;
};
