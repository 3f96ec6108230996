#include "download.h"

#include "reachability.h"
#include "web_request.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace online {

QString replaceFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("No puede escribirse el fichero ") + path + QStringLiteral(": ") + file.errorString();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return QStringLiteral("No puede escribirse el fichero ") + path + QStringLiteral(": ") + file.errorString();
    }
    if (!file.commit())
        return QStringLiteral("No puede sustituirse el fichero ") + path + QStringLiteral(": ") + file.errorString();
    return {};
}

DownloadResult downloadBytes(const QString& url, QByteArray* body, WebRequest* request)
{
    DownloadResult r;
    if (offlineForced()) {
        r.error = QStringLiteral("Sin conexión: ORLANLOG_OFFLINE=1 impide las descargas");
        return r;
    }
    std::unique_ptr<WebRequest> own;
    if (!request) {
        own = CRTWINHTTP();
        request = own.get();
    }
    request->Open(QStringLiteral("GET"), url);
    request->Send();
    r.status = request->Status();
    if (r.status != 200) {
        r.error = requestFailure(*request);
        return r;
    }
    *body = request->ResponseBody();
    r.bytes = body->size();
    r.ok = true;
    return r;
}

DownloadResult downloadToFile(const QString& url, const QString& target, const BodyCheck& check, WebRequest* request)
{
    QByteArray body;
    DownloadResult r = downloadBytes(url, &body, request);
    if (!r.ok)
        return r;
    if (check) {
        if (const QString problem = check(body); !problem.isEmpty()) {
            r.ok = false;
            r.error = problem;
            return r;
        }
    }
    if (const QString problem = replaceFile(target, body); !problem.isEmpty()) {
        r.ok = false;
        r.error = problem;
    }
    return r;
}

} // namespace online
