// The XML look-ups (HamQTH, QRZ XML), QRZFILL and the browser hook.
#include "callbook.h"

#include "callbook_endpoints.h"
#include "callbook_request.h"
#include "callbook_xml.h"
#include "reachability.h"
#include "web_request.h"

#include "core/messages.h"

#include <QStringList>

namespace online {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

std::function<void(const QString&)>& browserOpener()
{
    static std::function<void(const QString&)> opener;
    return opener;
}

// The HamQTH request of the description: its headers on a new connection.
CallbookCall hamQthCall(const CallbookSession& session, const QString& pathAndQuery)
{
    CallbookCall c;
    c.url = callbookEndpoint(CallbookService::HamQthXml) + pathAndQuery;
    c.headers = {{"Accept", "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8"},
                 {"Accept-Language", "es-es,es;q=0.8,en-us;q=0.5,en;q=0.3"},
                 {"Connection", "close"},
                 {"User-Agent", session.program + session.version}};
    c.timeOutSeconds = session.timeOutSeconds;
    return c;
}

QString hamQthSearchQuery(const CallbookSession& session, const QString& call)
{
    return QStringLiteral("/xml.php?id=") + formValue(session.qthId) + QStringLiteral("&callsign=") +
           formValue(call) + QStringLiteral("&prg=") + formValue(session.program);
}

CallbookCall qrzXmlCall(const CallbookSession& session, const QByteArray& body, const QStringList& secrets)
{
    CallbookCall c;
    c.method = QStringLiteral("POST");
    c.url = callbookEndpoint(CallbookService::QrzXml) + QStringLiteral("/xml/");
    c.headers = {{"Content-Type", "application/x-www-form-urlencoded"}, {"Connection", "keep-alive"}};
    c.body = body;
    c.secrets = secrets;
    c.timeOutSeconds = session.timeOutSeconds;
    return c;
}

void connectionFailed(const CallbookAnswer& a)
{
    ui::messages().alert(QStringLiteral("Error de conexión") + kCrLf + (a.answered ? a.headers : a.failure));
}

int number(const QString& s) { return s.trimmed().toInt(); }

} // namespace

CallbookSession::CallbookSession() = default;
CallbookSession::~CallbookSession() = default;

CallbookSession& callbookSession()
{
    static CallbookSession session;
    return session;
}

QStringList callbookFields()
{
    return {"NAME", "QTH", "GRIDSQUARE", "DXCC", "CQZ", "ITUZ", "IOTA", "QSLVIA", "CODPRV", "CNTY", "COMMENT", "ADDRES"};
}

bool QRZFILL(CallbookQso& qso, const CallbookAccount& account, CallbookSession& session,
             const std::function<void()>& refresh, bool hamQth)
{
    const QString call = qso.value(QStringLiteral("CALL")).trimmed();
    if (call.size() < 3)
        return false;
    if (!internetConnected()) {
        ui::messages().alert(QStringLiteral("Se requiere conexión a internet"));
        return false;
    }
    bool filled = false;
    for (const char* f : {"NAME", "GRIDSQUARE", "CODPRV", "CNTY", "QSLVIA"})
        filled = filled || !qso.value(QString::fromLatin1(f)).trimmed().isEmpty();
    if (filled && !ui::messages().noYes(QStringLiteral("Existen campos que ya tienen datos. Desea sustituir su "
                                                       "contenido por el que se descargara de internet")))
        return false;
    if (hamQth)
        return HAMQTHXML(qso, account, session, call, refresh);
    if (account.qrzXml)
        return QRZXML(qso, account, session, refresh);
    return QRZGET(qso, account, session, call, refresh);
}

void QTHLOGIN(const CallbookAccount& account, CallbookSession& session)
{
    session.qthId.clear();
    const QString user = account.qthUser.trimmed();
    const QString password = account.qthPassword.trimmed();
    CallbookCall c = hamQthCall(session, QStringLiteral("/xml.php?u=") + formValue(user) + QStringLiteral("&p=") +
                                             formValue(password));
    c.secrets = {password};
    const CallbookAnswer a = sendCallbook(c);
    if (!a.answered) {
        connectionFailed(a);
        return;
    }
    const QString answer = a.body;
    if (answer.trimmed().isEmpty())
        return;
    if (answer.contains(QLatin1String("<error>"))) {
        ui::messages().info(hideSecrets(GETFLD(QStringLiteral("error"), answer), {password}) + kCrLf +
                            QStringLiteral("Revise configuración usuario/contraseña"));
        return;
    }
    if (answer.contains(QLatin1String("<session_id>"))) {
        session.qthId = GETFLD(QStringLiteral("session_id"), answer).trimmed();
        return;
    }
    ui::messages().info(QStringLiteral("error ") + hideSecrets(answer.left(500), {password}));
}

bool HAMQTHXML(CallbookQso& qso, const CallbookAccount& account, CallbookSession& session, const QString& call,
               const std::function<void()>& refresh)
{
    if (session.qthId.isEmpty())
        QTHLOGIN(account, session);
    const QString noId = QStringLiteral("No pudo recuperarse su id de ") + hamQthName();
    if (session.qthId.isEmpty()) {
        ui::messages().alert(noId);
        return false;
    }
    CallbookAnswer a = sendCallbook(hamQthCall(session, hamQthSearchQuery(session, call)));
    if (a.answered && a.body.contains(QLatin1String("Session does not exist or expired"))) {
        QTHLOGIN(account, session);
        if (session.qthId.isEmpty()) {
            ui::messages().alert(noId);
            return false;
        }
        a = sendCallbook(hamQthCall(session, hamQthSearchQuery(session, call)));
    }
    if (!a.answered) {
        connectionFailed(a);
        return false;
    }
    const QString answer = a.body;
    if (answer.contains(QLatin1String("<error>"))) {
        ui::messages().alert(QStringLiteral("Error ") + hamQthName() + kCrLf + GETFLD(QStringLiteral("error"), answer));
        return false;
    }
    if (a.status != 200 || !answer.contains(QLatin1String("<search"))) {
        // Not the service's answer: the QSO stays as it was.
        ui::messages().alert(QStringLiteral("Respuesta inesperada de ") + hamQthName());
        return false;
    }
    auto field = [&](const char* name) { return GETFLD(QString::fromLatin1(name), answer).trimmed(); };
    qso.set("DXCC", field("adif"));
    qso.set("NAME", field("nick"));
    qso.set("QTH", field("qth"));
    qso.set("CQZ", field("cq"));
    qso.set("ITUZ", field("itu"));
    qso.set("GRIDSQUARE", field("grid"));
    qso.set("QSLVIA", field("qsl_via"));
    qso.set("IOTA", field("iota"));
    const QString dxcc = qso.value("DXCC");
    if (dxcc == QLatin1String("291")) {
        qso.set("CNTY", field("us_county"));
        qso.set("CODPRV", field("us_state"));
    } else if (dxcc == QLatin1String("230")) {
        qso.set("CODPRV", field("dok"));
    }
    QString address = field("adr_name") + kCrLf + kCrLf;
    const QString province = qso.value("CODPRV").trimmed();
    const QString postal = province.isEmpty() || field("adr_zip").isEmpty()
                               ? (province.isEmpty() ? field("adr_zip") : province + QLatin1Char(','))
                               : province + QLatin1Char(',') + field("adr_zip");
    for (const QString& line : {field("adr_street1"), field("adr_street2"), field("adr_street3"), field("adr_city"),
                                postal, field("adr_country")})
        if (!line.isEmpty())
            address += line + kCrLf;
    qso.set("ADDRES", address);
    if (refresh)
        refresh();
    return true;
}

QString QRZGETKEY(const CallbookAccount& account, CallbookSession& session)
{
    const QString password = account.qrzPassword.trimmed();
    const QByteArray body = (QStringLiteral("username=") + formValue(account.qrzUser.trimmed()) +
                             QStringLiteral("&password=") + formValue(password))
                                .toLatin1();
    const CallbookAnswer a = sendCallbook(qrzXmlCall(session, body, {password}));
    if (!a.answered || a.status != 200) {
        connectionFailed(a);
        return {};
    }
    const QString title = QStringLiteral("Error al recuperar Key de ") + qrzName();
    if (a.body.contains(QLatin1String("<Error>"))) {
        ui::messages().stop(hideSecrets(GETFLD(QStringLiteral("Error"), a.body).trimmed(), {password}), title);
        return {};
    }
    const QString key = GETFLD(QStringLiteral("Key"), a.body).trimmed();
    if (key.isEmpty())
        ui::messages().stop(QStringLiteral("Respuesta inesperada del servidor"), title);
    return key;
}

bool QRZXML(CallbookQso& qso, const CallbookAccount& account, CallbookSession& session,
            const std::function<void()>& refresh)
{
    if (session.qrzKey.isEmpty())
        session.qrzKey = QRZGETKEY(account, session);
    if (session.qrzKey.isEmpty())
        return false;
    CallbookAnswer a;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const QByteArray body = (QStringLiteral("s=") + formValue(session.qrzKey) + QStringLiteral("&callsign=") +
                                 formValue(qso.value("CALL")))
                                    .toLatin1();
        a = sendCallbook(qrzXmlCall(session, body, {}));
        if (!a.answered || a.status != 200) {
            connectionFailed(a);
            return false;
        }
        if (attempt == 0 && (a.body.contains(QLatin1String("Invalid session key")) ||
                             a.body.contains(QLatin1String("Session Timeout")))) {
            session.qrzKey = QRZGETKEY(account, session);
            if (session.qrzKey.isEmpty())
                return false;
            continue;
        }
        break;
    }
    const QString answer = a.body;
    const QString error = GETFLD(QStringLiteral("Error"), answer).trimmed();
    if (!error.isEmpty() || answer.contains(QLatin1String("<Error>")) || !answer.contains(QLatin1String("<Callsign"))) {
        ui::messages().stop(error.isEmpty() ? QStringLiteral("Respuesta inesperada del servidor") : error,
                            QStringLiteral("Error al recuperar datos de ") + qrzName());
        return false;
    }
    auto field = [&](const char* name) { return GETFLD(QString::fromLatin1(name), answer).trimmed(); };
    qso.set("NAME", field("fname"));
    qso.set("GRIDSQUARE", field("grid"));
    qso.set("COMMENT", field("qslmgr"));
    if (!field("state").isEmpty())
        qso.set("CODPRV", field("state"));
    if (!field("county").isEmpty())
        qso.set("CNTY", field("county"));
    const int cq = number(field("cqzone"));
    if (cq != 0 && cq != number(qso.value("CQZ")))
        qso.set("CQZ", QString::number(cq));
    const int itu = number(field("ituzone"));
    if (itu != 0 && itu != number(qso.value("ITUZ")))
        qso.set("ITUZ", QString::number(itu));
    const QString iota = field("iota");
    if (!iota.isEmpty() && iota != qso.value("IOTA").trimmed())
        qso.set("IOTA", iota);
    if (refresh)
        refresh();
    return true;
}

void setBrowserOpener(std::function<void(const QString& url)> opener) { browserOpener() = std::move(opener); }

QString RUNEXPL(const QString& addressWithoutScheme)
{
    QString address = addressWithoutScheme.trimmed();
    for (const char* scheme : {"https://", "http://"})
        if (address.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            address = address.mid(int(qstrlen(scheme)));
    if (address.isEmpty())
        return {};
    const QString url = QStringLiteral("https://") + address;
    if (!browserOpener()) {
        ui::messages().alert(QStringLiteral("No hay navegador disponible para mostrar ") + url);
        return {};
    }
    browserOpener()(url);
    return url;
}

QString qrzPageAddress(const QString& qrzPrefix, const QString& call)
{
    QString prefix = qrzPrefix.trimmed();
    if (prefix.isEmpty())
        prefix = callbookEndpoint(CallbookService::QrzWeb) + QStringLiteral("/db/");
    for (const char* scheme : {"https://", "http://"})
        if (prefix.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            prefix = prefix.mid(int(qstrlen(scheme)));
    return prefix + call.trimmed();
}

QString hamQthPageAddress(const QString& call)
{
    QString base = callbookEndpoint(CallbookService::HamQthWeb);
    for (const char* scheme : {"https://", "http://"})
        if (base.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            base = base.mid(int(qstrlen(scheme)));
    return base + QLatin1Char('/') + call.trimmed();
}

} // namespace online
