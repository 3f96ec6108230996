#include "callbook_request.h"

#include "web_request.h"

#include <QUrl>

namespace online {

QString hideSecrets(QString text, const QStringList& secrets)
{
    for (const QString& s : secrets) {
        if (s.isEmpty())
            continue;
        text.replace(s, QStringLiteral("********"));
        const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(s));
        if (encoded != s)
            text.replace(encoded, QStringLiteral("********"));
    }
    return text;
}

QString formValue(const QString& value) { return QString::fromLatin1(QUrl::toPercentEncoding(value)); }

CallbookAnswer sendCallbook(const CallbookCall& call, WebRequest* request)
{
    std::unique_ptr<WebRequest> own;
    if (!request) {
        own = CRTWINHTTP();
        request = own.get();
    }
    request->setTimeOut(call.timeOutSeconds, call.timeOutSeconds);
    request->setMaxBytes(8LL * 1024 * 1024);
    request->Open(call.method, call.url);
    for (const auto& h : call.headers)
        request->SetRequestHeader(h.first, h.second);
    CallbookAnswer a;
    a.answered = request->Send(call.body);
    if (!a.answered) {
        // The transport's words may quote the address: its query (where the
        // HamQTH password travels) is left out, and the secrets blanked.
        QString reason = request->timedOut() ? QStringLiteral("El servidor no ha respondido a tiempo")
                                             : request->errorText();
        const QUrl url(call.url);
        reason.replace(call.url, url.adjusted(QUrl::RemoveQuery).toString());
        reason.replace(url.toString(), url.adjusted(QUrl::RemoveQuery).toString());
        reason.replace(url.toString(QUrl::FullyEncoded), url.adjusted(QUrl::RemoveQuery).toString());
        a.failure = hideSecrets(reason, call.secrets);
        if (a.failure.trimmed().isEmpty())
            a.failure = QStringLiteral("El servidor no responde");
        return a;
    }
    a.status = request->Status();
    a.body = request->ResponseText();
    a.headers = hideSecrets(request->GetAllResponseHeaders(), call.secrets);
    for (const QString& line : request->GetAllResponseHeaders().split(QStringLiteral("\r\n"))) {
        if (!line.startsWith(QLatin1String("Set-Cookie:"), Qt::CaseInsensitive))
            continue;
        for (const QString& v : line.mid(11).split(QLatin1Char('\n')))
            if (!v.trimmed().isEmpty())
                a.setCookies << v.trimmed();
    }
    return a;
}

} // namespace online
