#include "qsl/spool_print.h"

#include "qsl/marking.h"

#include "store/work_area.h"

#include <algorithm>
#include <vector>

namespace qsl {

namespace {

bool sameTrimmed(store::WorkArea& a, const char* field, const QString& want)
{
    if (want.trimmed().isEmpty())
        return true;
    QString v = a.str(QString::fromLatin1(field));
    while (v.endsWith(QLatin1Char(' ')))
        v.chop(1);
    QString w = want;
    while (w.endsWith(QLatin1Char(' ')))
        w.chop(1);
    return v == w;
}

std::vector<quint32> viewRecords(store::WorkArea& a, const SpoolSelection* s)
{
    std::vector<quint32> recs;
    for (a.goTop(); !a.eof(); a.skip())
        if (!s || s->passes(a))
            recs.push_back(a.recNo());
    return recs;
}

} // namespace

bool SpoolSelection::passes(store::WorkArea& log) const
{
    return sameTrimmed(log, "BAND", band) && sameTrimmed(log, "MODE", mode)
        && sameTrimmed(log, "OPERATOR", operatorCall) && sameTrimmed(log, "PROPMODE", propagation)
        && sameTrimmed(log, "CODENT", entity) && sameTrimmed(log, "QSLVIA", qslVia);
}

int markViewSent(store::WorkArea& log, const QDate& date)
{
    const quint32 back = log.recNo();
    int n = 0;
    for (quint32 r : viewRecords(log, nullptr)) {
        if (!log.goTo(r).isOk() || !lockCurrent(log, 2))
            continue;
        log.put(QStringLiteral("PRNQSL"), false);
        log.put(QStringLiteral("QSLSENT"), "Y");
        log.put(QStringLiteral("QSLSDATE"), date);
        log.unlock();
        ++n;
    }
    log.goTo(back);
    return n;
}

int markSpoolSent(store::WorkArea& spool, const SpoolSelection& selection, const QDate& date, QChar mode)
{
    const quint32 back = spool.recNo();
    int n = 0;
    for (quint32 r : viewRecords(spool, &selection)) {
        if (!spool.goTo(r).isOk() || !spool.logical(QStringLiteral("PRNQSL")) || !lockCurrent(spool, 2))
            continue;
        spool.put(QStringLiteral("PRNQSL"), false);
        spool.put(QStringLiteral("QSLSENT"), "Y");
        spool.put(QStringLiteral("QSLSDATE"), date);
        spool.put(QStringLiteral("QSLMODE"), QString(mode));
        spool.put(QStringLiteral("NQSLTX"), std::min(9.0, spool.num(QStringLiteral("NQSLTX")) + 1));
        spool.unlock();
        ++n;
    }
    spool.goTo(back);
    return n;
}

} // namespace qsl
