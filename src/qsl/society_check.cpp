#include "qsl/society_check.h"

#include "qsl/marking.h"

#include "app/tappl.h"
#include "core/messages.h"
#include "online/http_client.h"
#include "online/reachability.h"
#include "store/work_area.h"

#include <QUrl>

#include <memory>

namespace qsl {

namespace {

const QString kSection = QStringLiteral("Servicios");

struct Server {
    QString host;
    int port = 80;
};

Server serverOf(const QString& base)
{
    const QUrl url(base.contains(QLatin1String("://")) ? base : QStringLiteral("http://") + base);
    return {url.host(), url.port(80)};
}

std::unique_ptr<online::THTTPold> connectTo(const Server& s, double timeOut)
{
    auto c = std::make_unique<online::THTTPold>(s.host, 1234, s.port, timeOut);
    c->lMensajes = false;
    c->lAvisa = false;
    c->setTimeOut(timeOut);
    return c;
}

} // namespace

QString societyEndpointKey() { return QStringLiteral("SociosURE"); }
QString societyEndpointDefault() { return QStringLiteral("http://www.ure.es"); }

QString societyEndpoint()
{
    QString value = societyEndpointDefault();
    if (app::oAppl) {
        auto& ini = app::oAppl->ini();
        value = ini.getString(kSection, societyEndpointKey(), QString());
        if (value.trimmed().isEmpty()) {
            value = societyEndpointDefault();
            ini.Set(kSection, societyEndpointKey(), value);
        }
    }
    value = value.trimmed();
    while (value.endsWith(QLatin1Char('/')))
        value.chop(1);
    return value;
}

bool isSocietyEntity(const QString& codEnt)
{
    return codEnt == QLatin1String(" 89") || codEnt == QLatin1String(" 90") || codEnt == QLatin1String(" 91")
        || codEnt == QLatin1String(" 92");
}

QString societyCall(const QString& call)
{
    QString c = call;
    c.remove(QLatin1Char(' '));
    const qsizetype slash = c.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return c;
    const QString before = c.left(slash), after = c.mid(slash + 1);
    return before.size() > after.size() ? before : after;
}

SocietyCheckResult CHKSOCIOURE(store::WorkArea& spool, const SocietyCheckOptions& o)
{
    SocietyCheckResult r;
    ui::Messages& msg = ui::messages();
    if (!online::internetConnected() || online::offlineForced()) {
        r.error = QStringLiteral("Se neceista conexión a internet para poder ejecutar esta opción");
        msg.stop(r.error);
        return r;
    }
    msg.info(QStringLiteral("Solo se comprueba EA, EA6, EA8 y EA9.\r\nresto de contactos se mantienen."));
    const Server server = serverOf(o.base.isEmpty() ? societyEndpoint() : o.base);
    auto http = connectTo(server, o.timeOutSeconds);
    if (!http->lSocket) {
        r.error = QStringLiteral("No se ha creado el socket en la dirección ") + server.host;
        msg.stop(r.error);
        return r;
    }
    const qint64 total = std::max<qint64>(1, spool.keyCount());
    qint64 counter = 0;
    spool.goTop();
    int tries = 0;
    while (!spool.eof()) {
        const QString call = spool.str(QStringLiteral("CALL")).trimmed();
        if (tries == 0)
            ++counter;
        if (o.progress && !o.progress(int(std::min<qint64>(100, counter * 100 / total)), call)) {
            r.error = QStringLiteral("Comprobación interrumpida");
            break;
        }
        if (!isSocietyEntity(spool.str(QStringLiteral("CODENT")))) {
            spool.skip();
            tries = 0;
            continue;
        }
        const QString looked = societyCall(call);
        const QByteArray answer =
            http->get(server.host, QStringLiteral("/ure/qrz/?callsign=") + looked, true);
        const int status = http->status();
        if (http->isTimeOut() || status == 298 || status < 0) {
            // a silent or dropped connection: a new one, and the same row again, a few times at most
            if (++tries > o.retriesPerRow) {
                r.error = QStringLiteral("El servidor no responde al consultar ") + looked
                        + QStringLiteral(". Comprobación detenida.");
                msg.stop(r.error);
                break;
            }
            http->End();
            http = connectTo(server, o.timeOutSeconds);
            continue;
        }
        tries = 0;
        if (status != 200) {
            r.error = QStringLiteral("Error ") + QString::number(status);
            msg.stop(r.error);
            msg.stop(QString::fromUtf8(http->getHeader()));
            break;
        }
        ++r.looked;
        // taking a row out moves it out of the spool's order: the next row is found first
        const bool out = answer.contains("Not member");
        if (out) {
            const quint32 here = spool.recNo();
            spool.skip();
            const quint32 next = spool.eof() ? 0 : spool.recNo();
            spool.goTo(here);
            if (lockCurrent(spool, 2)) {
                spool.put(QStringLiteral("QSLSENT"), "N");
                spool.put(QStringLiteral("PRNQSL"), false);
                spool.unlock();
                ++r.removed;
            } else {
                spool.skip();
                continue;
            }
            if (next == 0)
                break;
            spool.goTo(next);
            continue;
        }
        spool.skip();
    }
    if (r.error.isEmpty())
        r.completed = true;
    if (http->lSocket)
        http->get(server.host, QStringLiteral("/ure/qrz/?callsign=ORLAN"), false);
    http->End();
    spool.goTop();
    if (r.completed)
        msg.info(QStringLiteral("Elilminados ") + QString::number(r.removed)
                 + QStringLiteral(" registros de no socios de URE"));
    return r;
}

} // namespace qsl
