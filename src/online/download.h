#pragma once
// Downloads that replace a file: the body goes to a temporary file beside the
// target, is checked, and only then takes the target's place, so a download
// that fails half-way, a wrong status or a body that does not pass the check
// leaves the old file as it was.

#include <QByteArray>
#include <QString>

#include <functional>

namespace online {

class WebRequest;

struct DownloadResult {
    bool ok = false;
    int status = 0;          // HTTP status, 0 when no answer came
    qint64 bytes = 0;        // size of the file written
    QString error;           // what the user is told when not ok
};

// Checks a downloaded body before it replaces anything: empty when good,
// otherwise the reason (in Spanish).
using BodyCheck = std::function<QString(const QByteArray& body)>;

// GET url; with status 200 and a body that passes check, writes it to target
// through a temporary file. request, when given, is the object to use (its
// time-outs and progress function); otherwise a new one.
DownloadResult downloadToFile(const QString& url, const QString& target, const BodyCheck& check = {},
                              WebRequest* request = nullptr);

// GET url into memory; ok only with status 200.
DownloadResult downloadBytes(const QString& url, QByteArray* body, WebRequest* request = nullptr);

// Writes bytes to path through a temporary file beside it. Empty on success,
// otherwise the reason.
QString replaceFile(const QString& path, const QByteArray& bytes);

} // namespace online
