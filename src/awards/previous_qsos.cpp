#include "previous_qsos.h"

#include "geo/distance.h"
#include "geo/sun.h"
#include "refdata/names.h"
#include "refdata/resolve.h"
#include "refdata/session_areas.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QLocale>

namespace awards {

bool wildcardMatch(const QString& callIn, const QString& patternIn)
{
    const QString call = callIn.toUpper();
    const QString pattern = patternIn.toUpper();
    // iterative glob with one back-tracking point
    int c = 0, p = 0, star = -1, mark = 0;
    while (c < call.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == call[c])) {
            ++c;
            ++p;
        }
        else if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            mark = c;
        }
        else if (star >= 0) {
            p = star + 1;
            c = ++mark;
        }
        else
            return false;
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

void ACTQSOANT(store::WorkArea& log2, const QString& textIn, bool partial)
{
    const QString text = textIn.trimmed().toUpper();
    log2.setOrder(QStringLiteral("Call"));
    if (partial) {
        log2.clearScope();
        const QString pattern = u'*' + text + u'*';
        const int pCall = log2.fieldPos(QStringLiteral("CALL"));
        log2.setFilter([pattern, pCall](store::WorkArea& a) { return wildcardMatch(a.value(pCall).toString().trimmed(), pattern); });
    }
    else {
        log2.clearFilter();
        if (text.isEmpty())
            log2.clearScope();
        else {
            const store::Value key = store::Value::text(text);
            log2.setScope(key, key);
        }
    }
    log2.goTop();
}

namespace {

QString grouped(int n)
{
    QString digits = QString::number(std::abs(n));
    for (int i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u'.');
    return (n < 0 ? QStringLiteral("-") : QString()) + digits;
}

void fillFromEntity(InfoPanel& p)
{
    p.entityName = refdata::NOMENT(p.entity).trimmed();   // leaves ENT on the entity
    store::WorkArea* ent = refdata::detail::sessionArea(store::alias::kEnt);
    if (!ent || p.entityName.isEmpty())
        return;
    p.cqz = ent->str(QStringLiteral("CQZ")).trimmed();
    p.ituz = ent->str(QStringLiteral("ITUZ")).trimmed();
    p.utcDifference = ent->str(QStringLiteral("DHORA")).trimmed();
    if (p.farLocator.isEmpty())
        p.farLocator = ent->str(QStringLiteral("QRA")).trimmed();
}

void measure(InfoPanel& p)
{
    p.bearing = geo::RUMBO(p.ownLocator, p.farLocator);
    p.distance = geo::DIST(p.ownLocator, p.farLocator);
    geo::ORTOOCASO(p.farLocator, &p.sunrise, &p.sunset);
}

} // namespace

// No figures without both ends of the path.
QString InfoPanel::shortPathBearing() const
{
    return measured() ? QString::number(bearing).rightJustified(4, u' ') + u'º' : QString();
}
QString InfoPanel::shortPathDistance() const
{
    return measured() ? grouped(distance).rightJustified(6, u' ') + QStringLiteral(" Km") : QString();
}
QString InfoPanel::longPathBearing() const { return measured() ? QString::number(geo::longPathBearing(bearing)) + u'º' : QString(); }
QString InfoPanel::longPathDistance() const
{
    return measured() ? grouped(geo::longPathDistance(distance)) + QStringLiteral(" Km") : QString();
}

InfoPanel infoFromQso(const QString& entity, const QString& locator, const QString& ownLocator, const QString& stationLocator)
{
    InfoPanel p;
    p.entity = entity;
    p.farLocator = locator.trimmed().toUpper();
    p.ownLocator = ownLocator.trimmed().isEmpty() ? stationLocator.trimmed().toUpper() : ownLocator.trimmed().toUpper();
    fillFromEntity(p);
    measure(p);
    return p;
}

InfoPanel infoFromCall(const QString& call, const QString& stationLocator)
{
    InfoPanel p;
    p.entity = refdata::DXCC(call.trimmed().toUpper());
    p.ownLocator = stationLocator.trimmed().toUpper();
    if (!p.entity.trimmed().isEmpty() && p.entity.trimmed() != QLatin1String("0"))
        fillFromEntity(p);
    measure(p);
    return p;
}

} // namespace awards
