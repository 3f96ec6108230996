#include "reachability.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkInformation>
#include <QTcpSocket>

namespace online {

bool offlineForced()
{
    return qEnvironmentVariable("ORLANLOG_OFFLINE").trimmed() == QLatin1String("1");
}

bool internetConnected()
{
    if (offlineForced())
        return false;
    if (!QCoreApplication::instance())
        return true;
    QNetworkInformation* info = QNetworkInformation::instance();
    if (!info) {
        // loaded once per process; a system without a backend answers "unknown"
        static const bool loaded = QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
        if (loaded)
            info = QNetworkInformation::instance();
    }
    if (!info)
        return true;
    switch (info->reachability()) {
    case QNetworkInformation::Reachability::Disconnected:
    case QNetworkInformation::Reachability::Local:
        return false;
    default:
        return true;   // Online, Site, or Unknown
    }
}

bool PING(const QString& address, int port, int timeoutMs)
{
    const QString host = address.trimmed();
    if (host.isEmpty() || offlineForced())
        return false;
    QTcpSocket socket;
    socket.connectToHost(host, quint16(port));
    if (socket.waitForConnected(timeoutMs)) {
        socket.abort();
        return true;
    }
    // a refusal is an answer from the host
    return socket.error() == QAbstractSocket::ConnectionRefusedError;
}

} // namespace online
