#pragma once

#include <QtHttpServer/QAbstractHttpServer>

class PhoneApi;

// The web server the phones talk to: it hands every request to the API on
// the user-interface thread and writes its answer back.
class PhoneServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    explicit PhoneServer(PhoneApi& api, QObject* parent = nullptr);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    PhoneApi& api_;
};
