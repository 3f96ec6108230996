#include "qsl/marking.h"

#include "core/messages.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

namespace qsl {

namespace {

QString trimmedStr(store::WorkArea& a, const char* f)
{
    QString s = a.str(QString::fromLatin1(f));
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s;
}

QString dateText(const QDate& d)
{
    return QString::fromLatin1(store::formatDate(d.isValid() ? d.toJulianDay() : 0));
}

// Restores a work area's order and record when it goes out of scope.
class KeepPlace {
public:
    explicit KeepPlace(store::WorkArea& a) : m_a(a), m_order(QString::fromLatin1(a.orderName())), m_rec(a.recNo()) {}
    ~KeepPlace()
    {
        m_a.setOrder(m_order);
        if (m_rec > 0)
            m_a.goTo(m_rec);
    }

private:
    store::WorkArea& m_a;
    QString m_order;
    quint32 m_rec;
};

QString entityName(const QString& codEnt)
{
    store::WorkArea* ent = store::Workspace::instance().area(store::alias::kEnt);
    if (!ent)
        return codEnt.trimmed();
    KeepPlace keep(*ent);
    for (ent->goTop(); !ent->eof(); ent->skip())
        if (ent->str(QStringLiteral("CODENT")) == codEnt)
            return ent->str(QStringLiteral("NOMBRE")).trimmed();
    return codEnt.trimmed();
}

} // namespace

bool lockCurrent(store::WorkArea& area, int seconds)
{
    store::Workspace::instance().select(area.alias());
    if (store::Workspace::instance().current() != &area)
        return area.lockRecord().isOk();
    return store::RECLOCK(seconds);
}

NewConfirmation newConfirmation(store::WorkArea& log, const QString& codEnt, const QString& band, const QString& mode)
{
    NewConfirmation n{true, true, true};
    KeepPlace keep(log);
    const bool ordered = log.setOrder(QStringLiteral("CodEnt")).isOk();
    if (ordered)
        log.seek(store::Value::text(codEnt), true);
    else
        log.goTop();
    const QString b = band.trimmed(), m = mode.trimmed();
    for (; !log.eof() && n.any(); log.skip()) {
        if (log.str(QStringLiteral("CODENT")) != codEnt) {
            if (ordered)
                break;
            continue;
        }
        if (log.str(QStringLiteral("QSLRCVD")) != QLatin1String("Y"))
            continue;
        n.entity = false;
        if (trimmedStr(log, "BAND") == b)
            n.band = false;
        if (trimmedStr(log, "MODE") == m)
            n.mode = false;
    }
    return n;
}

QString newConfirmationText(const NewConfirmation& n, const QString& entityName, const QString& band,
                            const QString& mode)
{
    QString s;
    if (n.entity)
        s += entityName.trimmed() + QStringLiteral(" nueva entidad confirmada\r\n");
    if (n.band)
        s += band.trimmed() + QStringLiteral(" Banda nueva\r\n");
    if (n.mode)
        s += mode.trimmed() + QStringLiteral(" Modo nuevo\r\n");
    return s;
}

void checkNewConfirmation(store::WorkArea& log)
{
    const QString codEnt = log.str(QStringLiteral("CODENT"));
    const QString band = log.str(QStringLiteral("BAND"));
    const QString mode = log.str(QStringLiteral("MODE"));
    const QString call = trimmedStr(log, "CALL");
    const NewConfirmation n = newConfirmation(log, codEnt, band, mode);
    if (!n.any())
        return;
    ui::messages().alert(newConfirmationText(n, entityName(codEnt), band, mode), call);
}

ReceivedResult markReceived(store::WorkArea& log, const ReceivedOptions& opt)
{
    if (log.eof() || log.recNo() == 0)
        return ReceivedResult::Unchanged;
    if (opt.checkNew)
        checkNewConfirmation(log);
    const QString call = trimmedStr(log, "CALL");
    const QString date = dateText(log.date(QStringLiteral("QSODATE")));
    if (log.str(QStringLiteral("QSLRCVD")) == QLatin1String("Y")) {
        if (!ui::messages().noYes(QStringLiteral("QSL ya esta marcado como recibida\r\nQuires desmarcarla")))
            return ReceivedResult::Unchanged;
        if (!lockCurrent(log, 1))
            return ReceivedResult::Unchanged;
        log.put(QStringLiteral("QSLRCVD"), "N");
        log.put(QStringLiteral("QSLRDATE"), QDate());
        log.put(QStringLiteral("PRNQSL"), false);
        log.unlock();
        ui::messages().wait(QStringLiteral("QSL de %1 de%2 desmarcada.").arg(call, date), QString(),
                            [] { ui::messages().pause(1000); });
        return ReceivedResult::Unmarked;
    }
    if (!lockCurrent(log, 1))
        return ReceivedResult::Unchanged;
    log.put(QStringLiteral("QSLRCVD"), "Y");
    log.put(QStringLiteral("QSLRDATE"), opt.date);
    if (opt.queue) {
        if (log.str(QStringLiteral("QSLSENT")) == QLatin1String("Y")) {
            const bool again = ui::messages().yesNo(
                QStringLiteral("Qsl ya ha sido enviada\r\nquieres marcarla para volver a enviarla"));
            log.put(QStringLiteral("PRNQSL"), again);
        } else {
            log.put(QStringLiteral("PRNQSL"), true);
            log.put(QStringLiteral("QSLSENT"), "Q");
        }
    }
    if (opt.print) {
        log.commit();
        // a card that did not print has not been sent
        if (!opt.printCard || opt.printCard(log)) {
            log.put(QStringLiteral("QSLSDATE"), QDate::currentDate());
            log.put(QStringLiteral("QSLSENT"), "Y");
        }
    }
    log.unlock();
    ui::messages().wait(QStringLiteral("QSL de %1 de %2 recibida.").arg(call, date), QString(),
                        [] { ui::messages().pause(2000); });
    return ReceivedResult::Marked;
}

bool markSent(store::WorkArea& log, const QDate& date, QChar mode)
{
    if (log.eof() || log.recNo() == 0 || !lockCurrent(log, 2))
        return false;
    log.put(QStringLiteral("QSLSENT"), "Y");
    log.put(QStringLiteral("QSLSDATE"), date);
    log.put(QStringLiteral("QSLMODE"), QString(mode));
    log.put(QStringLiteral("NQSLTX"), std::min(9.0, log.num(QStringLiteral("NQSLTX")) + 1));
    log.unlock();
    return true;
}

} // namespace qsl
