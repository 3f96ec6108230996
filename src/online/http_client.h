#pragma once
// The program's two hand-made HTTP/1.1 clients over a plain TCP connection.
//
// THTTP serves one request: the constructor connects, one get, post or Send
// reads the whole answer until the server closes the connection, then End.
// THTTPold keeps its connection for several keep-alive requests and ends a
// request when the answer is complete or after nTiempoMax seconds of silence
// (plus two); a request that timed out after a 200 reads as status 298, and
// the caller then opens a new connection.
//
// Both block the calling thread and need no event loop, so they may run on a
// worker thread: create, use and destroy an object on one and the same thread
// (the socket belongs to the thread that made it). Off the GUI thread, set
// lMensajes to false: reports then only go to cError instead of message boxes.
// Every wait (connection, sending, each receive) has a time-out, a whole
// answer takes at most kLongestAnswer time-outs, and it is cut at kMaxResponse
// bytes.

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariantMap>

#include <memory>

class QTcpSocket;

namespace online {

inline constexpr qint64 kMaxResponse = 32 * 1024 * 1024;
// However the bytes come, an answer takes at most this many time-outs (of at
// least a second each).
inline constexpr int kLongestAnswer = 10;

// "GET " + path + " HTTP/1.1" and the header lines the two clients send.
QByteArray getRequest(const QString& host, const QString& path, const QString& agent, bool keepAlive);
// The POST request, Referer scheme + host + path, the body followed by CR LF
// that Content-Length does not count.
QByteArray postRequest(const QString& host, const QString& path, const QByteArray& body,
                       const QString& agent, bool keepAlive, const QString& scheme = QStringLiteral("http://"));

class THTTP {
public:
    // Host from the address (the part after "//" when it holds "http"), then
    // connects to it on port; lConnect tells the outcome.
    explicit THTTP(const QString& address, int port = 80, double timeOutSeconds = 20);
    ~THTTP();
    THTTP(const THTTP&) = delete;
    THTTP& operator=(const THTTP&) = delete;

    // Sends a complete request, reads until the server closes the connection
    // (or nTiempoMax seconds pass without a byte) and parses the answer. A
    // status other than 200 and 302 is reported ("Error en comando ...").
    void Send(const QByteArray& request);
    void End();
    void get(const QString& path, bool keepAlive = false);
    void post(const QString& path, const QByteArray& body, bool keepAlive = false,
              const QString& scheme = QStringLiteral("http://"));
    // Any method: request line, Host, User-Agent, the caller's headers,
    // Content-Length when there is a body, "Connection: Close".
    void request(const QByteArray& method, const QString& path,
                 const QList<QPair<QByteArray, QByteArray>>& headers = {}, const QByteArray& body = {});

    int status() const;                       // hHeader["STATUS"]; 0 without a status line
    QByteArray getHeader() const { return cHeader; }
    QByteArray getData() const { return cDatos; }

    QString cHost;
    std::unique_ptr<QTcpSocket> oSocket;
    bool lConnect = false;
    int nPort = 80;
    // Upper-cased header name to its value (QString), or to a QStringList
    // when the name came more than once; "STATUS" holds the status (int).
    QVariantMap hHeader;
    QByteArray cHeader;                       // header block, without the empty line
    QByteArray cDatos;                        // body as received (no chunked decoding)
    QString cAgente = QStringLiteral("Corvix ORLAN");
    double nTiempoMax = 20;                   // seconds: connection, and silence while reading
    bool lMensajes = true;                    // reports as message boxes
    QString cError;                           // the last report, empty when none
    bool lTimeOut = false;                    // the last answer stopped on silence
};

class THTTPold {
public:
    // Connects to host on serverPort, waits half a second and drops whatever
    // the server sent first. localPort is kept in nPort only: the system
    // chooses the local port.
    explicit THTTPold(const QString& host, int localPort = 1234, int serverPort = 80,
                      double connectTimeOutSeconds = 5);
    ~THTTPold();
    THTTPold(const THTTPold&) = delete;
    THTTPold& operator=(const THTTPold&) = delete;

    // Sends text when not empty and reads nothing; -1 when it cannot be sent.
    qint64 SendData(const QByteArray& text);
    // Performs a request and returns the resource (the body, chunks joined);
    // an empty request returns the last resource. A send failure reports
    // "Error de socket", releases the socket and leaves status -1; a status
    // other than 200 and 302 is reported and the data after the header
    // block is returned.
    QByteArray getData(const QByteArray& request);
    void End();
    // A GET; when it timed out after a 200, the status becomes 298.
    QByteArray get(const QString& host, const QString& path, bool keepAlive = false);
    QByteArray post(const QString& host, const QString& path, const QByteArray& body, bool keepAlive = false);
    int status() const { return h_RESN; }
    QByteArray getHeader() const { return cCabecera; }
    double setTimeOut(double seconds) { nTiempoMax = seconds; return nTiempoMax; }
    bool isTimeOut() const { return lTimeOut; }
    QByteArray send(const QByteArray& request) { return getData(request); }

    std::unique_ptr<QTcpSocket> oSocket;
    bool lSocket = false;                     // connected
    qintptr nSocket = -1;
    int nPort = 1234;
    int nServerPort = 80;
    QString cIPServer;
    double nDelay = 0.05;                     // longest single wait for bytes, seconds
    double nTiempo = 0;                       // duration of the last request, seconds
    bool lAvisa = false;                      // time-outs reported as message boxes
    bool lTimeOut = false;
    bool lTrozos = false;                     // chunked answer
    double nTiempoMax = 5;
    QByteArray cCabecera;
    QByteArray cDatos;                        // what came after the header block
    qint64 nLargo = 0;                        // Content-Length, or length of the joined chunks
    bool lLargo = false;
    QByteArray cRecurso;
    QString cAgente = QStringLiteral("Corvix ORLAN");
    QByteArray h_HTTP;                        // status line
    int h_RESN = 0;
    QByteArray h_RESC;                        // reason text
    // Whole header lines, except h_LOCATION, which holds the value.
    QByteArray h_DATE, h_SERVER, h_LOCATION, h_LAST_MODIFIED, h_ETAG, h_ACCEPT_RANGES, h_CONTENT_LENGTH,
        h_CONTENT_TYPE;
    bool lMensajes = true;                    // errors as message boxes
    QString cError;

private:
    void readHeaderBlock();
    void report(const QString& text, const QString& title);
};

} // namespace online
