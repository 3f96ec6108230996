#pragma once
// One request of a call-book look-up: what came back, and the failure as the
// user may read it, with the passwords blanked out.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace online {

class WebRequest;

struct CallbookAnswer {
    bool answered = false;   // some answer (of any status) arrived
    int status = 0;
    QString body;
    QString headers;         // "Name: value" lines separated by CR LF
    QString failure;         // why nothing arrived, secrets blanked
    QStringList setCookies;  // every Set-Cookie value, in order
};

struct CallbookCall {
    QString method = QStringLiteral("GET");
    QString url;
    QList<QPair<QString, QString>> headers;
    QByteArray body;
    QStringList secrets;     // texts that must never appear in a message
    int timeOutSeconds = 20;
};

// Sends call on request (a new object when null).
CallbookAnswer sendCallbook(const CallbookCall& call, WebRequest* request = nullptr);

// text with every secret (as typed and percent-encoded) replaced by "********".
QString hideSecrets(QString text, const QStringList& secrets);

// A value for a query string or a form body.
QString formValue(const QString& value);

} // namespace online
