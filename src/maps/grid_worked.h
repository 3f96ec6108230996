#pragma once
// GRIDWRK: the grid squares of the log book, worked or confirmed.

#include <QChar>
#include <QMap>
#include <QString>

namespace store {
class WorkArea;
}

namespace maps {

// Walks log (its current order and filter; the record is put back) and
// fills squares: the first four characters of every GRIDSQUARE, 'C' when any
// QSO in the square has QSLRCVD "Y", else 'W'. Texts that are no square are
// left out.
void GRIDWRK(store::WorkArea& log, QMap<QString, QChar>* squares);

} // namespace maps
