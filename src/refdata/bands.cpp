#include "bands.h"

#include "store/value.h"
#include "store/work_area.h"
#include "store/workspace.h"

namespace refdata {

namespace {

struct BandEdge {
    double from, to;
    const char* name;
};

constexpr BandEdge kBands[] = {
    {1.8, 2.0, "160M"},   {3.5, 3.8, "80M"},    {5.2, 5.5, "60M"},       {7.0, 7.2, "40M"},
    {10.0, 10.15, "30M"}, {14.0, 14.35, "20M"}, {18.0, 18.168, "17M"},   {21.0, 21.45, "15M"},
    {24.0, 24.99, "12M"}, {28.0, 29.7, "10M"},  {50.0, 52.0, "6M"},      {70.0, 70.5, "4M"},
    {144.0, 146.0, "2M"}, {430.0, 440.0, "70CM"}, {1240.0, 1300.0, "23CM"},
};

} // namespace

QString BAND(double mhz)
{
    for (const BandEdge& b : kBands)
        if (mhz >= b.from && mhz <= b.to)
            return QString::fromLatin1(b.name);
    return QString();
}

bool BANDMODE(double mhz)
{
    store::WorkArea* map = store::Workspace::instance().area(QStringLiteral("BandMap"));
    if (!map)
        return false;
    if (map->orderName().compare("BAND", Qt::CaseInsensitive) != 0 && !map->setOrder(QStringLiteral("Band")))
        return false;

    const QString band = BAND(mhz).leftJustified(6);
    if (!map->seek(store::Value::text(band)) || !map->found())
        return false;

    quint32 best = 0;
    double bestWidth = 0;
    while (!map->eof() && map->str(QStringLiteral("BAND")) == band) {
        const double from = map->num(QStringLiteral("FREQINI"));
        const double to = map->num(QStringLiteral("FREQFIN"));
        if (mhz >= from && mhz <= to && (best == 0 || to - from < bestWidth)) {
            best = map->recNo();
            bestWidth = to - from;
        }
        if (!map->skip())
            return false;
    }
    return best != 0 && map->goTo(best).isOk();
}

} // namespace refdata
