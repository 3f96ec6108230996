#include "online/http_client.h"

#include "online/http_response.h"

#include "core/messages.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <algorithm>

namespace online {

namespace {

// A wait in milliseconds: never 0 and never -1 (which Qt reads as "for ever").
int toMs(double seconds)
{
    if (!(seconds > 0))   // also a NaN
        return 1;
    return std::max(1, int(std::min(seconds, 3600.0) * 1000.0));
}

// Writes everything, each wait bounded; false when the socket is not
// connected or the bytes did not leave in time.
bool writeAll(QTcpSocket* socket, const QByteArray& data, int timeOutMs)
{
    if (!socket || socket->state() != QAbstractSocket::ConnectedState)
        return false;
    if (socket->write(data) != data.size())
        return false;
    QElapsedTimer clock;
    clock.start();
    while (socket->bytesToWrite() > 0) {
        const qint64 left = timeOutMs - clock.elapsed();
        if (left <= 0 || !socket->waitForBytesWritten(int(left)))
            return socket->bytesToWrite() == 0;
    }
    return true;
}

QByteArray connectionLine(bool keepAlive)
{
    return keepAlive ? "Connection: Keep-Alive\r\n" : "Connection: Close\r\n";
}

} // namespace

QByteArray getRequest(const QString& host, const QString& path, const QString& agent, bool keepAlive)
{
    QByteArray r;
    r += "GET " + path.toUtf8() + " HTTP/1.1\r\n";
    r += "Host: " + host.toUtf8() + "\r\n";
    r += "User-Agent: " + agent.toUtf8() + "\r\n";
    r += "Accept: */*\r\n";
    r += "Accept-Language: es\r\n";
    r += connectionLine(keepAlive);
    r += "\r\n";
    return r;
}

QByteArray postRequest(const QString& host, const QString& path, const QByteArray& body,
                       const QString& agent, bool keepAlive, const QString& scheme)
{
    QByteArray r;
    r += "POST " + path.toUtf8() + " HTTP/1.1\r\n";
    r += "Host: " + host.toUtf8() + "\r\n";
    r += "Referer: " + scheme.toUtf8() + host.toUtf8() + path.toUtf8() + "\r\n";
    r += "Accept: */*\r\n";
    r += "Accept-Language: es\r\n";
    r += "Content-Type: application/x-www-form-urlencoded\r\n";
    r += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    r += connectionLine(keepAlive);
    r += "Cache-Control: no-cache\r\n";
    r += "User-Agent: " + agent.toUtf8() + "\r\n";
    r += "\r\n";
    r += body;
    r += "\r\n";
    return r;
}

// ---------------------------------------------------------------- THTTP

THTTP::THTTP(const QString& address, int port, double timeOutSeconds)
    : nPort(port), nTiempoMax(timeOutSeconds)
{
    cHost = address;
    if (address.contains(QLatin1String("http")))
        cHost = address.split(QLatin1Char('/')).value(2);
    oSocket = std::make_unique<QTcpSocket>();
    oSocket->connectToHost(cHost, quint16(nPort));
    lConnect = oSocket->waitForConnected(toMs(nTiempoMax));
    if (!lConnect)
        oSocket->abort();
    hHeader.insert(QStringLiteral("STATUS"), 0);
}

THTTP::~THTTP() { End(); }

void THTTP::End()
{
    if (oSocket) {
        oSocket->abort();
        oSocket.reset();
    }
    lConnect = false;
}

int THTTP::status() const { return hHeader.value(QStringLiteral("STATUS")).toInt(); }

void THTTP::Send(const QByteArray& request)
{
    cDatos.clear();
    cHeader.clear();
    cError.clear();
    lTimeOut = false;
    hHeader.clear();
    hHeader.insert(QStringLiteral("STATUS"), 0);
    const int waitMs = toMs(nTiempoMax);
    if (!writeAll(oSocket.get(), request, waitMs))
        return;

    QByteArray raw;
    QElapsedTimer clock;
    clock.start();
    const qint64 totalMs = kLongestAnswer * qint64(std::max(waitMs, 1000));
    for (;;) {
        if (clock.elapsed() >= totalMs) {
            lTimeOut = true;
            break;
        }
        const int stepMs = int(std::clamp<qint64>(totalMs - clock.elapsed(), 1, waitMs));
        if (oSocket->bytesAvailable() == 0 && !oSocket->waitForReadyRead(stepMs)) {
            lTimeOut = oSocket->error() == QAbstractSocket::SocketTimeoutError;
            break;
        }
        raw += oSocket->read(std::min<qint64>(2048, kMaxResponse - raw.size()));
        if (raw.size() >= kMaxResponse)
            break;
    }
    if (raw.size() < kMaxResponse)
        raw += oSocket->read(kMaxResponse - raw.size());

    const HttpResponse r = parseResponse(raw);
    cHeader = r.headerBlock;
    cDatos = r.body;
    if (!cHeader.startsWith("HTTP"))
        return;
    hHeader.insert(QStringLiteral("STATUS"), r.status);
    if (r.status != 200 && r.status != 302) {
        cError = QStringLiteral("Error en comando ") + QString::fromUtf8(request) + QStringLiteral("\r\n")
                 + QString::fromUtf8(cHeader);
        if (lMensajes)
            ui::messages().info(cError);
        return;
    }
    for (const auto& [name, value] : r.headers) {
        const QString key = QString::fromUtf8(name).toUpper();
        const QString v = QString::fromUtf8(value);
        if (key == QLatin1String("STATUS"))
            continue;
        auto it = hHeader.find(key);
        if (it == hHeader.end()) {
            hHeader.insert(key, v);
        } else {
            QStringList list = it->typeId() == QMetaType::QStringList ? it->toStringList()
                                                                       : QStringList{it->toString()};
            list << v;
            *it = list;
        }
    }
}

void THTTP::get(const QString& path, bool keepAlive)
{
    Send(getRequest(cHost, path, cAgente, keepAlive));
}

void THTTP::post(const QString& path, const QByteArray& body, bool keepAlive, const QString& scheme)
{
    Send(postRequest(cHost, path, body, cAgente, keepAlive, scheme));
}

void THTTP::request(const QByteArray& method, const QString& path,
                    const QList<QPair<QByteArray, QByteArray>>& headers, const QByteArray& body)
{
    QByteArray r = method + ' ' + path.toUtf8() + " HTTP/1.1\r\n";
    r += "Host: " + cHost.toUtf8() + "\r\n";
    r += "User-Agent: " + cAgente.toUtf8() + "\r\n";
    for (const auto& [name, value] : headers)
        r += name + ": " + value + "\r\n";
    if (!body.isEmpty())
        r += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    r += connectionLine(false);
    r += "\r\n";
    r += body;
    Send(r);
}

// ---------------------------------------------------------------- THTTPold

THTTPold::THTTPold(const QString& host, int localPort, int serverPort, double connectTimeOutSeconds)
    : nPort(localPort), nServerPort(serverPort)
{
    oSocket = std::make_unique<QTcpSocket>();
    oSocket->connectToHost(host, quint16(nServerPort));
    lSocket = oSocket->waitForConnected(toMs(connectTimeOutSeconds));
    if (!lSocket) {
        oSocket->abort();
        return;
    }
    nSocket = oSocket->socketDescriptor();
    cIPServer = oSocket->peerAddress().toString();
    // A greeting, if any, is not part of an answer.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 500) {
        oSocket->waitForReadyRead(int(std::max<qint64>(1, 500 - clock.elapsed())));
        oSocket->readAll();
        if (oSocket->state() != QAbstractSocket::ConnectedState)
            break;
    }
}

THTTPold::~THTTPold() { End(); }

void THTTPold::End()
{
    if (oSocket) {
        oSocket->abort();
        oSocket.reset();
    }
    lSocket = false;
    nSocket = -1;
}

void THTTPold::report(const QString& text, const QString& title)
{
    cError = title.isEmpty() ? text : title + QStringLiteral(": ") + text;
    if (lMensajes)
        ui::messages().info(text, title);
}

qint64 THTTPold::SendData(const QByteArray& text)
{
    if (text.isEmpty())
        return 0;
    return writeAll(oSocket.get(), text, toMs(std::max(nTiempoMax, 1.0))) ? text.size() : -1;
}

void THTTPold::readHeaderBlock()
{
    for (const QByteArray& raw : cCabecera.split('\n')) {
        const QByteArray line = raw.endsWith('\r') ? raw.chopped(1) : raw;
        const QByteArray upper = line.toUpper();
        if (upper.startsWith("HTTP/1")) {
            h_HTTP = line;
            h_RESN = statusOfLine(line);
            h_RESC = line.mid(13);
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = upper.left(colon).trimmed();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "DATE")
            h_DATE = line;
        else if (name == "SERVER")
            h_SERVER = line;
        else if (name == "LAST-MODIFIED")
            h_LAST_MODIFIED = line;
        else if (name == "ETAG")
            h_ETAG = line;
        else if (name == "ACCEPT-RANGES")
            h_ACCEPT_RANGES = line;
        else if (name == "CONTENT-TYPE")
            h_CONTENT_TYPE = line;
        else if (name == "LOCATION")
            h_LOCATION = value;
        else if (name == "CONTENT-LENGTH") {
            h_CONTENT_LENGTH = line;
            bool ok = false;
            const qint64 n = value.toLongLong(&ok);
            nLargo = ok && n >= 0 ? n : 0;
            lLargo = true;
        } else if (name == "TRANSFER-ENCODING" && value.toUpper().contains("CHUNKED"))
            lTrozos = true;
    }
}

QByteArray THTTPold::getData(const QByteArray& request)
{
    if (request.isEmpty())
        return cRecurso;
    QElapsedTimer clock;
    clock.start();
    nTiempo = 0;
    lTimeOut = false;
    lLargo = false;
    lTrozos = false;
    cRecurso.clear();
    cError.clear();

    // Bytes left over from an earlier answer are not part of this one.
    if (oSocket && oSocket->bytesAvailable() > 0)
        oSocket->readAll();
    if (SendData(request) < 0) {
        report(QStringLiteral("Error de socket"), QString());
        End();
        h_RESN = -1;
        return {};
    }

    const qint64 silenceMs = toMs(nTiempoMax);
    const int stepMs = std::max(1, toMs(nDelay));
    // A header block that stays without its empty line this long is taken as it is.
    const qint64 settleMs = 4 * qint64(stepMs);
    qint64 deadline = clock.elapsed() + silenceMs;
    qint64 lastByte = clock.elapsed();
    QByteArray raw;            // everything this request received
    bool headerDone = false;
    bool closed = false;

    // A server dribbling a byte now and then cannot hold the request for ever.
    const qint64 totalMs = kLongestAnswer * std::max<qint64>(silenceMs, 1000) + 2000;
    while (clock.elapsed() < deadline + 2000 && clock.elapsed() < totalMs) {
        bool arrived = false;
        if (oSocket && (oSocket->bytesAvailable() > 0 || oSocket->waitForReadyRead(stepMs))) {
            const QByteArray piece = oSocket->read(kMaxResponse - raw.size());
            if (!piece.isEmpty()) {
                raw += piece;
                arrived = true;
                lastByte = clock.elapsed();
                deadline = lastByte + silenceMs;
            }
        }
        if (!oSocket || oSocket->state() != QAbstractSocket::ConnectedState)
            closed = !oSocket || oSocket->bytesAvailable() == 0;

        if (!headerDone) {
            if (!raw.startsWith("HTTP")) {
                if (closed)
                    break;
                continue;
            }
            const qsizetype blank = raw.indexOf("\r\n\r\n");
            if (blank < 0) {
                if (closed || raw.size() >= kMaxResponse || (!arrived && clock.elapsed() - lastByte >= settleMs)) {
                    // An answer without an empty line: all of it is the header.
                    cCabecera = raw;
                    cDatos.clear();
                    cRecurso.clear();
                    readHeaderBlock();
                    nTiempo = clock.elapsed() / 1000.0;
                    return cRecurso;
                }
                continue;
            }
            headerDone = true;
            cCabecera = raw.left(blank);
            raw.remove(0, blank + 4);
            readHeaderBlock();
            if (h_RESN != 200 && h_RESN != 302) {
                cDatos = raw;
                report(QStringLiteral("Error ") + QString::number(h_RESN),
                       QStringLiteral("Error en comando ") + QString::fromUtf8(request));
                nTiempo = clock.elapsed() / 1000.0;
                return cDatos;
            }
        }
        cDatos = raw;

        if (lTrozos) {
            // A whole chunked body ends with a line end; decoding only then
            // keeps a body of many pieces from being read again and again.
            if (arrived && cDatos.endsWith('\n')) {
                const ChunkedBody chunks = decodeChunked(cDatos);
                if (chunks.state != ChunkState::Incomplete) {
                    cRecurso = chunks.data;
                    nLargo = cRecurso.size();
                    nTiempo = clock.elapsed() / 1000.0;
                    return cRecurso;
                }
            }
        } else if (lLargo) {
            if (cDatos.size() >= nLargo) {
                cRecurso = cDatos.left(nLargo);
                nTiempo = clock.elapsed() / 1000.0;
                return cRecurso;
            }
        } else {
            cRecurso = cDatos;
            nTiempo = clock.elapsed() / 1000.0;
            return cRecurso;
        }
        // The server closed the connection before the answer was complete:
        // nothing more can come, so it ends as a time-out would.
        if (closed || raw.size() >= kMaxResponse)
            break;
    }

    // What did arrive of the body.
    if (headerDone)
        cRecurso = lTrozos ? decodeChunked(cDatos).data : lLargo ? cDatos.left(nLargo) : cDatos;
    lTimeOut = true;
    nTiempo = clock.elapsed() / 1000.0;
    cError = QStringLiteral("THTTP:298");
    if (lAvisa) {
        ui::messages().info(QStringLiteral("Exceso de tiempo (") + QString::number(nTiempoMax)
                                + QStringLiteral(" seg.) en la respuesta a un comando\r\n\r\n")
                                + QString::fromUtf8(request),
                            QStringLiteral("THTTP:298"));
        ui::messages().info(QString::fromUtf8(cCabecera) + QStringLiteral("\r\n\r\n") + QString::fromUtf8(cDatos)
                                + QStringLiteral("\r\n\r\n") + QString::fromUtf8(request),
                            QStringLiteral("THTTP:298"));
    }
    return cRecurso;
}

QByteArray THTTPold::get(const QString& host, const QString& path, bool keepAlive)
{
    const QByteArray result = getData(getRequest(host, path, cAgente, keepAlive));
    if (lTimeOut && h_RESN == 200)
        h_RESN = 298;
    return result;
}

QByteArray THTTPold::post(const QString& host, const QString& path, const QByteArray& body, bool keepAlive)
{
    return getData(postRequest(host, path, body, cAgente, keepAlive));
}

} // namespace online
