#include "platform/network_address.h"

#include <QNetworkInterface>

QString room_network_address() {
    for (const QNetworkInterface& device : QNetworkInterface::allInterfaces()) {
        const auto flags = device.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : device.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol) return entry.ip().toString();
        }
    }
    return "127.0.0.1";
}
