#include "qsl/spool.h"

#include "qsl/marking.h"

#include "store/qso_record.h"
#include "store/work_area.h"

#include <set>
#include <utility>

namespace qsl {

namespace {

bool putIn(store::WorkArea& a, int seconds)
{
    // a record without a call (a new book's blank one) has no card to print
    if (!store::isQso(a) || !lockCurrent(a, seconds))
        return false;
    a.put(QStringLiteral("PRNQSL"), true);
    a.put(QStringLiteral("QSLSENT"), "Q");
    a.unlock();
    return true;
}

bool takeOut(store::WorkArea& a, int seconds)
{
    if (!lockCurrent(a, seconds))
        return false;
    a.put(QStringLiteral("QSLSENT"), "N");
    a.put(QStringLiteral("PRNQSL"), false);
    a.unlock();
    return true;
}

// Record numbers of the area's view in its order.
std::vector<quint32> viewRecords(store::WorkArea& a)
{
    std::vector<quint32> recs;
    for (a.goTop(); !a.eof(); a.skip())
        recs.push_back(a.recNo());
    return recs;
}

} // namespace

int spoolAdd(store::WorkArea& log, const std::vector<quint32>& recs)
{
    if (recs.size() < 2) {
        if (log.eof() || log.recNo() == 0)
            return 0;
        return putIn(log, 3) ? 1 : 0;
    }
    const quint32 back = log.recNo();
    int n = 0;
    for (quint32 r : recs)
        if (log.goTo(r).isOk() && !log.eof() && putIn(log, 3))
            ++n;
    log.goTo(back);
    return n;
}

int spoolAddView(store::WorkArea& log)
{
    const quint32 back = log.recNo();
    const std::vector<quint32> recs = viewRecords(log);
    for (quint32 r : recs)
        if (log.goTo(r).isOk() && !log.logical(QStringLiteral("PRNQSL")))
            putIn(log, 3);
    log.goTo(back);
    return int(recs.size());
}

bool spoolTakeOut(store::WorkArea& log)
{
    if (log.eof() || log.recNo() == 0)
        return false;
    return takeOut(log, 3);
}

int spoolEmpty(store::WorkArea& spool)
{
    int n = 0;
    for (quint32 r : viewRecords(spool))
        if (spool.goTo(r).isOk() && takeOut(spool, 2))
            ++n;
    spool.goTop();
    return n;
}

int spoolRemoveDuplicates(store::WorkArea& spool)
{
    int n = 0;
    QString call;
    std::set<std::pair<QString, QString>> seen;
    for (quint32 r : viewRecords(spool)) {
        if (!spool.goTo(r).isOk())
            continue;
        const QString c = spool.str(QStringLiteral("CALL"));
        if (c != call) {
            call = c;
            seen.clear();
        }
        const auto key = std::make_pair(spool.str(QStringLiteral("BAND")), spool.str(QStringLiteral("MODE")));
        if (seen.insert(key).second)
            continue;
        if (takeOut(spool, 2))
            ++n;
    }
    spool.goTop();
    return n;
}

} // namespace qsl
