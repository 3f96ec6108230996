#include "web_request.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QStringDecoder>
#include <QTimer>

namespace online {

WebRequest::WebRequest() = default;
WebRequest::~WebRequest() = default;

std::unique_ptr<WebRequest> CRTWINHTTP()
{
    return std::make_unique<WebRequest>();
}

void WebRequest::Open(const QString& method, const QString& url, bool)
{
    m_method = method.trimmed().toUpper();
    m_url = QUrl(url.trimmed());
    m_requestHeaders.clear();
    m_status = 0;
    m_body.clear();
    m_responseHeaders.clear();
    m_error.clear();
    m_timedOut = false;
    m_cancelled = false;
}

void WebRequest::SetRequestHeader(const QString& name, const QString& value)
{
    m_requestHeaders.append({name.toLatin1(), value.toUtf8()});
}

void WebRequest::setTimeOut(int totalSeconds, int silenceSeconds)
{
    m_totalSeconds = qMax(1, totalSeconds);
    m_silenceSeconds = qMax(1, silenceSeconds);
}

void WebRequest::setCredentials(const QString& user, const QString& password)
{
    m_authorization = "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
}

bool WebRequest::Send(const QByteArray& body)
{
    m_status = 0;
    m_body.clear();
    m_responseHeaders.clear();
    m_error.clear();
    m_timedOut = m_cancelled = false;
    const QString scheme = m_url.scheme().toLower();
    if (!m_url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) || m_url.host().isEmpty()) {
        m_error = QStringLiteral("Dirección no válida: ") + m_url.toString();
        return false;
    }
    if (!m_manager)
        m_manager = std::make_unique<QNetworkAccessManager>();

    QNetworkRequest request(m_url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Corvix ORLAN"));
    request.setTransferTimeout(m_silenceSeconds * 1000);
    if (!m_authorization.isEmpty())
        request.setRawHeader("Authorization", m_authorization);
    for (const auto& [name, value] : m_requestHeaders)
        request.setRawHeader(name, value);

    QNetworkReply* reply = nullptr;
    if (m_method == QLatin1String("GET"))
        reply = m_manager->get(request);
    else if (m_method == QLatin1String("HEAD"))
        reply = m_manager->head(request);
    else if (m_method == QLatin1String("POST"))
        reply = m_manager->post(request, body);
    else if (m_method == QLatin1String("PUT"))
        reply = m_manager->put(request, body);
    else
        reply = m_manager->sendCustomRequest(request, m_method.toLatin1(), body);

    QEventLoop loop;
    QTimer whole;
    whole.setSingleShot(true);
    QObject::connect(&whole, &QTimer::timeout, &loop, [&] {
        m_timedOut = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, [&](qint64 received, qint64 total) {
        if (received > m_maxBytes) {
            m_error = QStringLiteral("La respuesta del servidor es demasiado grande");
            reply->abort();
            return;
        }
        if (m_progress && !m_progress(received, total)) {
            m_cancelled = true;
            reply->abort();
        }
    });
    whole.start(m_totalSeconds * 1000);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    whole.stop();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError error = reply->error();
    if (status.isValid() && !m_timedOut && !m_cancelled && m_error.isEmpty()) {
        m_status = status.toInt();
        m_body = reply->readAll();
        m_responseHeaders = reply->rawHeaderPairs();
        // an answer cut short is no answer
        if (error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied) {
            m_error = reply->errorString();
            m_status = 0;
            m_body.clear();
        }
    } else if (m_error.isEmpty()) {
        if (m_timedOut || error == QNetworkReply::OperationCanceledError)
            m_error = m_cancelled ? QStringLiteral("Descarga cancelada")
                                  : QStringLiteral("El servidor no respondió a tiempo (%1 seg.)").arg(m_timedOut ? m_totalSeconds : m_silenceSeconds);
        else
            m_error = reply->errorString();
        if (error == QNetworkReply::OperationCanceledError && !m_cancelled)
            m_timedOut = true;
    }
    reply->deleteLater();
    return m_status != 0;
}

QString WebRequest::ResponseText() const
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(m_body);
    if (utf8.hasError())
        return QString::fromLatin1(m_body);
    return text;
}

QString WebRequest::GetResponseHeader(const QString& name) const
{
    const QByteArray wanted = name.toLatin1().toLower();
    for (const auto& [n, v] : m_responseHeaders)
        if (n.toLower() == wanted)
            return QString::fromLatin1(v);
    return {};
}

QString WebRequest::GetAllResponseHeaders() const
{
    QString all;
    for (const auto& [n, v] : m_responseHeaders)
        all += QString::fromLatin1(n) + QStringLiteral(": ") + QString::fromLatin1(v) + QStringLiteral("\r\n");
    return all;
}

QString requestFailure(const WebRequest& request)
{
    if (request.Status() != 0)
        return QStringLiteral("Error en el objeto httprequest ") + QString::number(request.Status());
    return QStringLiteral("No se pudo descargar ") + request.url().toString() + QStringLiteral(":\r\n") + request.errorText();
}

} // namespace online
