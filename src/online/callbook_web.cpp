// The QRZ web site read as HTML: log-in, the look-up page and the address
// label. Pages are read with the tolerant HTML reader and looked at by their
// labels; nothing of them or of the session is written to disk.
#include "callbook.h"

#include "callbook_endpoints.h"
#include "callbook_request.h"
#include "html_text.h"
#include "web_request.h"

#include "core/messages.h"

#include <QRegularExpression>
#include <QUrl>

namespace online {

namespace {

// A page of the site came whole; otherwise the user is told why.
bool pageArrived(const CallbookAnswer& a)
{
    if (!a.answered && a.failure.contains(QLatin1String("a tiempo"))) {
        ui::messages().stop(QStringLiteral("Tiempo de descarga superado"));
        return false;
    }
    if (!a.answered || a.status != 200) {
        ui::messages().alert(QStringLiteral("Respuesta inesperada del servidor ") +
                             (a.answered ? QString::number(a.status) : a.failure));
        return false;
    }
    return true;
}

QString siteHost() { return QUrl(callbookEndpoint(CallbookService::QrzWeb)).host(); }

CallbookCall siteCall(const CallbookSession& session, const QString& method, const QString& pathAndQuery)
{
    CallbookCall c;
    c.method = method;
    c.url = callbookEndpoint(CallbookService::QrzWeb) + pathAndQuery;
    c.timeOutSeconds = session.timeOutSeconds;
    return c;
}

QString sessionCookieOf(const QStringList& setCookies)
{
    for (const QString& c : setCookies)
        if (c.contains(QLatin1String("xf_session")))
            return c;
    return {};
}

// The name on the look-up page: the text just before the call's marker span.
QString nameBefore(const QList<HtmlToken>& tokens)
{
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const HtmlToken& t = tokens[i];
        if (!t.isTag || t.closing || t.name != QLatin1String("span"))
            continue;
        const QStringList classes = t.attributes.value(QStringLiteral("class")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!classes.contains(QLatin1String("csgnl")) || !classes.contains(QLatin1String("none")))
            continue;
        // The nearest text before it, across closing tags only.
        for (qsizetype j = i - 1; j >= 0; --j) {
            if (tokens[j].isTag && tokens[j].closing)
                continue;
            return tokens[j].isTag ? QString() : tokens[j].text;
        }
        return {};
    }
    return {};
}

} // namespace

void QRZLOGIN(CallbookAccount account, CallbookSession& session)
{
    QString user = account.qrzUser.trimmed();
    QString password = account.qrzPassword.trimmed();
    if ((user.isEmpty() || password.isEmpty()) &&
        !ui::messages().login(QStringLiteral("Login ") + qrzName().toUpper(), &user, &password))
        return;
    user = user.trimmed();
    if (user.isEmpty() || password.isEmpty())
        return;
    const QStringList secrets{password};
    const QString loginPage = callbookEndpoint(CallbookService::QrzWeb) + QStringLiteral("/login");

    CallbookCall c = siteCall(session, QStringLiteral("GET"), QStringLiteral("/login"));
    c.headers = {{"Cookie", QStringLiteral("QRZ_Cookie_Test=CoK; path=/; domain=") + siteHost()}};
    CallbookAnswer a = sendCallbook(c);
    if (!a.answered || a.status != 200) {
        ui::messages().alert(QStringLiteral("Respuesta inesperada del servidor ") +
                             (a.answered ? QString::number(a.status) : a.failure));
        return;
    }
    QString cookie = a.setCookies.value(0);
    static const QRegularExpression ticketRe(QStringLiteral(R"re(loginTicket\W*?['"]([^'"]+)['"])re"));
    const QString ticket = ticketRe.match(a.body).captured(1);
    if (ticket.isEmpty()) {
        ui::messages().alert(QStringLiteral("Respuesta inesperada del servidor ") + qrzName());
        return;
    }
    const QList<QPair<QString, QString>> handshake{
        {"Host", siteHost()}, {"Referer", loginPage}, {"Cookie", "QRZ_Cookie_Test=CoK+JSoK; QRZenabled=1"}};
    const QString base = QStringLiteral("/login-handshake?loginTicket=") + formValue(ticket) +
                         QStringLiteral("&username=") + formValue(user);
    for (const QString& step : {QStringLiteral("&step=1"),
                                QStringLiteral("&password=") + formValue(password) + QStringLiteral("&step=2")}) {
        c = siteCall(session, QStringLiteral("POST"), base + step);
        c.headers = handshake;
        c.secrets = secrets;
        a = sendCallbook(c);
        if (!a.answered) {
            ui::messages().alert(QStringLiteral("Error de conexión\r\n") + a.failure);
            return;
        }
        if (!a.setCookies.isEmpty())
            cookie = a.setCookies.first();
    }
    c = siteCall(session, QStringLiteral("POST"),
                 QStringLiteral("/login?login_ref=") + formValue(loginPage) + QStringLiteral("&username=") +
                     formValue(user) + QStringLiteral("&password=") + formValue(password) +
                     QStringLiteral("&2fcode=&target=/&flush=1"));
    c.headers = {{"Host", siteHost()},
                 {"Referer", loginPage},
                 {"Cookie", "QRZenabled=1; _gat=1; homestyle=grid; QRZenabled=1; QRZ_Cookie_Test=CoK+JSoK"}};
    c.secrets = secrets;
    a = sendCallbook(c);
    if (!a.answered) {
        ui::messages().alert(QStringLiteral("Error de conexión\r\n") + a.failure);
        return;
    }
    (void)cookie;
    session.qrzCookie = sessionCookieOf(a.setCookies);
}

bool QRZGET(CallbookQso& qso, CallbookAccount account, CallbookSession& session, const QString& call,
            const std::function<void()>& refresh)
{
    if (session.qrzCookie.isEmpty())
        QRZLOGIN(account, session);
    if (session.qrzCookie.isEmpty())
        return false;
    if (!session.web)
        session.web = CRTWINHTTP();
    CallbookCall c = siteCall(session, QStringLiteral("POST"), QStringLiteral("/lookup"));
    c.headers = {{"Cookie", session.qrzCookie}, {"Content-Type", "application/x-www-form-urlencoded"}};
    c.body = (QStringLiteral("tquery=") + formValue(call) + QStringLiteral("&mode=callsign")).toLatin1();
    const CallbookAnswer a = sendCallbook(c, session.web.get());
    if (!a.answered) {
        ui::messages().alert(QStringLiteral("Error de conexión\r\n") + a.failure);
        return false;
    }
    if (a.status != 200) {
        ui::messages().alert(QStringLiteral("Respuesta inesperada del servidor ") +
                             QString::number(a.status).rightJustified(10, QLatin1Char(' ')));
        return false;
    }
    if (a.body.trimmed().isEmpty()) {
        ui::messages().alert(QStringLiteral("Error al recuperar información del servidor"));
        return false;
    }
    if (a.body.contains(QLatin1String("produced no results"))) {
        ui::messages().alert(call + QStringLiteral(" no encontrado en ") + qrzName().toLower());
        return false;
    }
    const QList<HtmlToken> tokens = readHtml(a.body);
    const QString name = nameBefore(tokens).remove(QLatin1Char('\n')).trimmed();
    if (!name.isEmpty())
        qso.set("NAME", name);
    const QString grid = valueAfterLabel(tokens, QStringLiteral("Grid Square")).left(6);
    if (!grid.isEmpty())
        qso.set("GRIDSQUARE", grid);
    const QString state = valueAfterLabel(tokens, QStringLiteral("US State"));
    if (!state.isEmpty() && session.provinceCode) {
        const QString code = session.provinceCode(qso.value("CODENT"), state.toUpper());
        if (!code.isEmpty())
            qso.set("CODPRV", code);
    }
    const QString county = valueAfterLabel(tokens, QStringLiteral("US County"));
    if (!county.isEmpty())
        qso.set("CNTY", county);
    const QString qslInfo = valueAfterLabel(tokens, QStringLiteral("QSL Info"));
    if (!qslInfo.isEmpty()) {
        const QString comment = qso.value("COMMENT").trimmed();
        qso.set("COMMENT", comment.isEmpty() ? qslInfo : comment + QLatin1Char(' ') + qslInfo);
    }
    const QString iota = valueAfterLabel(tokens, QStringLiteral("IOTA"));
    if (!iota.isEmpty())
        qso.set("IOTA", iota);
    if (refresh)
        refresh();
    return true;
}

QString WEBQRZ(const QString& call, CallbookSession& session)
{
    CallbookCall c = siteCall(session, QStringLiteral("GET"), QStringLiteral("/callsign/") + formValue(call.trimmed()));
    if (!session.qrzCookie.isEmpty())
        c.headers = {{"Cookie", session.qrzCookie}};
    CallbookAnswer a = sendCallbook(c);
    if (!pageArrived(a))
        return {};
    static const QRegularExpression recordRe(QStringLiteral(R"re(QRZ Record\D{0,12}(\d+))re"));
    const QString id = recordRe.match(htmlBodyText(a.body)).captured(1);
    if (id.isEmpty()) {
        ui::messages().alert(call.trimmed() + QStringLiteral(" no encontrado en ") + qrzName().toLower());
        return {};
    }
    c = siteCall(session, QStringLiteral("GET"), QStringLiteral("/label/?id=") + id);
    if (!session.qrzCookie.isEmpty())
        c.headers = {{"Cookie", session.qrzCookie}};
    a = sendCallbook(c);
    if (!pageArrived(a))
        return {};
    const QString text = htmlBodyText(a.body);
    const qsizetype blank = text.indexOf(QStringLiteral("\r\n\r\n"));
    return blank < 0 ? text : text.left(blank);
}

} // namespace online
