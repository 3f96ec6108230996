#include "grid_worked.h"

#include "map_rules.h"

#include "store/work_area.h"

namespace maps {

void GRIDWRK(store::WorkArea& log, QMap<QString, QChar>* squares)
{
    const quint32 back = log.recNo();
    const bool wasEof = log.eof();
    for (log.goTop(); !log.eof(); log.skip()) {
        const QString square = log.str(QStringLiteral("GRIDSQUARE")).trimmed().left(4).toUpper();
        int lat = 0, lon = 0;
        if (!gridSquareCorner(square, &lat, &lon))
            continue;
        const bool confirmed = log.str(QStringLiteral("QSLRCVD")).trimmed() == QLatin1String("Y");
        if (confirmed)
            squares->insert(square, QLatin1Char('C'));
        else if (!squares->contains(square))
            squares->insert(square, QLatin1Char('W'));
    }
    if (wasEof)
        log.goBottom(), log.skip();
    else
        log.goTo(back);
}

} // namespace maps
