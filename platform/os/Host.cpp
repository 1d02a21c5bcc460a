#include "platform/os/Host.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QList>
#include <QNetworkInterface>

namespace os {

QString hostName() {
    return QHostInfo::localHostName().toUpper();
}

QString hostAddress() {
    // The name's own addresses come first; many systems resolve their name to a loopback address only,
    // and then the addresses of the network interfaces say what others reach this computer by.
    QList<QHostAddress> addresses;
    const QString name = QHostInfo::localHostName();
    if (!name.isEmpty()) addresses = QHostInfo::fromName(name).addresses();
    addresses += QNetworkInterface::allAddresses();

    const QHostAddress* loopback = nullptr;
    for (const QHostAddress& address : addresses) {
        if (address.protocol() != QAbstractSocket::IPv4Protocol) continue;
        if (!address.isLoopback()) return address.toString();
        if (!loopback) loopback = &address;
    }
    return loopback ? loopback->toString() : QString();
}

}  // namespace os
