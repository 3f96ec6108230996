#pragma once
// One connection to a DX-cluster server: a line-oriented text service over
// TCP (the server's telnet port) to which the station logs in with its call.
//
// TTelnet assembles the bytes it receives into terminal rows (CR ends a row,
// and so does an LF that does not follow a CR; BS and TAB are dropped, BEL asks for a beep, ESC and the telnet IAC byte
// are dropped; no telnet option is negotiated) and keeps the last 71 rows.
// Everything runs on the thread that owns the object, driven by the socket's
// signals; only Connect waits (up to nTimeOut seconds) and it keeps the event
// loop running meanwhile.
//
//     auto* t = new cluster::TTelnet;             // port 23
//     t->nPort = 7300;
//     t->bRead = [](cluster::TTelnet& c, const QByteArray& chunk) { ... };  // e.g. a SpotFeed
//     t->Connect("dxc.example.org", "EA4ZZ");
//     if (!t->lConnect) ...                       // the user was told why
//     t->SendData("sh/dx");
//
// A window subscribes to lineAdded (one terminal row), chunkRead (the raw
// chunk), connected, closed and bell.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QTcpSocket;

namespace cluster {

class TTelnet : public QObject {
    Q_OBJECT
public:
    // New: the port (23 by default), cText empty, nLin 0.
    explicit TTelnet(int port = 23, QObject* owner = nullptr);
    ~TTelnet() override;                            // End

    QString cSite;                 // host name or dotted address as given to Connect
    QString cIp;                   // the dotted address it resolved to
    QString cUserName;             // login line sent first (the station call)
    QString cPassWord;             // second login line, sent only when not empty
    int nLin = 0;                  // rows added to the terminal since creation
    QByteArray cText;              // the row being assembled
    QTcpSocket* oSocket = nullptr;
    int nPort = 23;
    double nTimeOut = 3;           // seconds Connect waits for the connection
    bool lConnect = false;         // between the connect event and the close
    bool lBell = true;             // a received BEL asks for a beep
    int nBuffLines = 70;           // the terminal keeps nBuffLines + 1 rows

    // Owner hooks: after the connection is up; from Close while still
    // connected (it may still send); after each chunk went through the rows.
    std::function<void(TTelnet&)> bConnect;
    std::function<void(TTelnet&)> bClose;
    std::function<void(TTelnet&, const QByteArray&)> bRead;

    // The longest row kept whole: beyond it the row is cut and a new one
    // begins, so a server that never ends a line cannot fill the memory.
    static constexpr int kMaxRow = 4096;
    // The most bytes taken from the socket as one chunk.
    static constexpr int kChunk = 8192;

    // Connects, logs in with user (and password when given) and waits at most
    // nTimeOut seconds. The outcome is lConnect; a refusal was told the user
    // ("Ya existe una conexián activa", "Host inaccesible " + address).
    void Connect(const QString& site, const QString& user = QString(), const QString& password = QString());
    // Feeds one received byte to the row being assembled; 255 comes back as 6.
    int ProcChar(unsigned char c);
    // Sends the text, leading white space and trailing blanks removed, with
    // CR LF; nothing when not connected.
    void SendData(const QString& text);
    // Moves cText into the terminal rows.
    void AddLine();
    // When connected: bClose, then the socket closes and lConnect clears.
    void Close();
    // Close when connected, then the socket goes.
    void End();

    // The terminal rows, oldest first (bytes shown as Windows-1252 characters).
    const QStringList& rows() const { return m_rows; }
    // Processes one chunk as a read event does (tests, recorded traffic).
    void feed(const QByteArray& chunk);

signals:
    void lineAdded(const QString& row);
    void chunkRead(const QByteArray& chunk);
    void connected();
    void closed();
    void bell();

private:
    void OnRead();
    void wireSocket();

    QStringList m_rows;
    bool m_afterCr = false;
};

// The application's current cluster: the first connection that succeeded while
// no other was live. It may have closed since; users test lConnect first.
TTelnet* currentCluster();
void setCurrentCluster(TTelnet* t);

} // namespace cluster
