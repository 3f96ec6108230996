#include "telnet.h"

#include "core/messages.h"
#include "online/reachability.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QHostInfo>
#include <QTcpSocket>
#include <QThread>

#include <utility>

namespace cluster {

namespace {

QPointer<TTelnet>& current()
{
    static QPointer<TTelnet> t;
    return t;
}

// Runs the event loop for ms milliseconds, or until done says so.
void dispatchFor(int ms, const std::function<bool()>& done = {})
{
    QDeadlineTimer until(ms);
    while (!until.hasExpired() && !(done && done())) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
}

QString dottedAddress(const QString& site)
{
    QHostAddress direct;
    if (direct.setAddress(site))
        return direct.toString();
    const QHostInfo info = QHostInfo::fromName(site);
    for (const QHostAddress& a : info.addresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol)
            return a.toString();
    return info.addresses().isEmpty() ? site : info.addresses().first().toString();
}

} // namespace

TTelnet* currentCluster()
{
    return current().data();
}

void setCurrentCluster(TTelnet* t)
{
    current() = t;
}

TTelnet::TTelnet(int port, QObject* owner) : QObject(owner), nPort(port) {}

TTelnet::~TTelnet()
{
    End();
}

void TTelnet::wireSocket()
{
    oSocket = new QTcpSocket(this);
    connect(oSocket, &QTcpSocket::readyRead, this, &TTelnet::OnRead);
    connect(oSocket, &QTcpSocket::connected, this, [this] {
        lConnect = true;
        if (bConnect)
            bConnect(*this);
        emit connected();
    });
    connect(oSocket, &QTcpSocket::disconnected, this, [this] {
        if (oSocket && oSocket->bytesAvailable() > 0)
            OnRead();
        const bool was = lConnect;
        lConnect = false;
        if (was)
            emit closed();
    });
}

void TTelnet::Connect(const QString& site, const QString& user, const QString& password)
{
    double timeLeft = nTimeOut;
    cSite = site;
    if (lConnect) {
        ui::messages().stop(QStringLiteral("Ya existe una conexián activa"));
        return;
    }
    if (!user.isNull()) {
        cUserName = user;
        if (!password.isNull())
            cPassWord = password;
    }
    if (oSocket) {
        oSocket->abort();
        oSocket->deleteLater();
        oSocket = nullptr;
    }
    wireSocket();
    cIp = dottedAddress(cSite);
    if (!online::PING(cIp, nPort, 1000)) {
        ui::messages().info(QStringLiteral("Host inaccesible ") + cIp, QStringLiteral("Atención"));
        return;
    }
    oSocket->connectToHost(cIp, quint16(nPort));
    while (!lConnect && timeLeft > 0 && oSocket) {
        dispatchFor(200, [this] { return lConnect || !oSocket || oSocket->state() == QAbstractSocket::UnconnectedState; });
        timeLeft -= 0.2;
        if (oSocket && oSocket->state() == QAbstractSocket::UnconnectedState)
            break;
    }
    if (lConnect) {
        if (!cUserName.isEmpty()) {
            SendData(cUserName);
            if (!cPassWord.isEmpty()) {
                dispatchFor(200);
                SendData(cPassWord);
            }
        }
        if (!currentCluster() || !currentCluster()->lConnect)
            setCurrentCluster(this);
    } else if (oSocket) {
        oSocket->abort();
    }
}

void TTelnet::OnRead()
{
    if (!oSocket)
        return;
    const QByteArray chunk = oSocket->read(kChunk);
    if (chunk.isEmpty())
        return;
    feed(chunk);
    // more than one chunk waiting: the rest comes as further read events
    if (oSocket && oSocket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &TTelnet::OnRead, Qt::QueuedConnection);
}

void TTelnet::feed(const QByteArray& chunk)
{
    for (char c : chunk)
        ProcChar(static_cast<unsigned char>(c));
    if (!cText.isEmpty())
        AddLine();
    if (bRead)
        bRead(*this, chunk);
    emit chunkRead(chunk);
}

int TTelnet::ProcChar(unsigned char c)
{
    const bool afterCr = std::exchange(m_afterCr, c == 13);
    switch (c) {
    case 7:
        if (lBell)
            emit bell();
        break;
    case 10:     // LF ends a row, unless it follows the CR that did
        if (!afterCr)
            AddLine();
        break;
    case 8:
    case 9:
    case 27:     // escape sequences of the server's terminal: nothing to show
        break;
    case 13:
        AddLine();
        break;
    case 255:    // telnet IAC: no option is negotiated
        return 6;
    default:
        cText.append(char(c));
        if (cText.size() >= kMaxRow)
            AddLine();
        break;
    }
    return c;
}

void TTelnet::SendData(const QString& text)
{
    if (!lConnect || !oSocket)
        return;
    qsizetype from = 0;
    while (from < text.size() && (text[from] == u' ' || text[from] == u'\t' || text[from] == u'\r' || text[from] == u'\n'))
        ++from;
    qsizetype to = text.size();
    while (to > from && text[to - 1] == u' ')
        --to;
    QByteArray bytes = text.mid(from, to - from).toLatin1();
    bytes += "\r\n";
    oSocket->write(bytes);
    oSocket->flush();
}

void TTelnet::AddLine()
{
    if (m_rows.size() > nBuffLines)
        m_rows.removeFirst();
    const QString row = QString::fromLatin1(cText);
    m_rows.append(row);
    ++nLin;
    cText.clear();
    emit lineAdded(row);
}

void TTelnet::Close()
{
    if (!lConnect)
        return;
    if (bClose)
        bClose(*this);
    lConnect = false;
    if (oSocket) {
        oSocket->flush();
        oSocket->disconnectFromHost();
        if (oSocket->state() != QAbstractSocket::UnconnectedState)
            oSocket->abort();
    }
    emit closed();
}

void TTelnet::End()
{
    if (lConnect)
        Close();
    if (oSocket) {
        oSocket->disconnect(this);
        oSocket->abort();
        delete oSocket;
        oSocket = nullptr;
    }
}

} // namespace cluster
