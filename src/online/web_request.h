#pragma once
// The request object every download of the program goes through: open,
// set headers, send, then status, response text and bytes and headers. On
// Qt Network, so https works with the system's certificates.
//
// Send blocks its caller until the answer is complete, the time-out passes or
// the caller's progress function says stop. It waits in a local event loop,
// so on the GUI thread the windows keep painting (show a wait box around it
// so the user cannot start something else meanwhile); on a worker thread it
// needs nothing more. Use an object on the thread that created it.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QNetworkAccessManager;

namespace online {

class WebRequest {
public:
    WebRequest();
    ~WebRequest();
    WebRequest(const WebRequest&) = delete;
    WebRequest& operator=(const WebRequest&) = delete;

    // Always synchronous, as the callers expect. Clears the previous answer
    // and the headers set for it.
    void Open(const QString& method, const QString& url, bool async = false);
    void SetRequestHeader(const QString& name, const QString& value);
    // True when an answer (of any status) arrived; false on a connection,
    // TLS or time-out failure, told by errorText(). Status stays 0 then.
    bool Send(const QByteArray& body = QByteArray());

    int Status() const { return m_status; }
    QString ResponseText() const;             // the body as UTF-8 (Latin-1 when it is not)
    QByteArray ResponseBody() const { return m_body; }
    QString GetResponseHeader(const QString& name) const;
    QString GetAllResponseHeaders() const;    // "Name: value" lines separated by CR LF

    // Seconds the whole request may take, and seconds without a byte.
    void setTimeOut(int totalSeconds, int silenceSeconds = 20);
    // Called as bytes arrive (received, total or -1); returning false cancels.
    void setProgress(std::function<bool(qint64, qint64)> progress) { m_progress = std::move(progress); }
    // Basic authentication for servers that want a user; kept across Open.
    void setCredentials(const QString& user, const QString& password);
    // Answers bigger than this are cut and the request fails.
    void setMaxBytes(qint64 bytes) { m_maxBytes = bytes; }

    QString errorText() const { return m_error; }
    bool timedOut() const { return m_timedOut; }
    bool cancelled() const { return m_cancelled; }
    QUrl url() const { return m_url; }

private:
    std::unique_ptr<QNetworkAccessManager> m_manager;
    QString m_method = QStringLiteral("GET");
    QUrl m_url;
    QList<QPair<QByteArray, QByteArray>> m_requestHeaders;
    QByteArray m_authorization;
    int m_status = 0;
    QByteArray m_body;
    QList<QPair<QByteArray, QByteArray>> m_responseHeaders;
    QString m_error;
    bool m_timedOut = false;
    bool m_cancelled = false;
    int m_totalSeconds = 60;
    int m_silenceSeconds = 20;
    qint64 m_maxBytes = 256LL * 1024 * 1024;
    std::function<bool(qint64, qint64)> m_progress;
};

// A new request object. Never fails here; kept as a factory so every caller
// makes its object the same way.
std::unique_ptr<WebRequest> CRTWINHTTP();

// The request's failure as the user reads it: "Error en el objeto
// httprequest " + status, or the transport's reason when no answer came.
QString requestFailure(const WebRequest& request);

} // namespace online
