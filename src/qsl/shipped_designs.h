#pragma once
// The designs the program ships: a QSL card of 140 x 90 mm for one QSO, and
// labels for an A4 sheet of 3 x 8 labels of 70 x 37 mm with three QSOs each.

#include <QString>

namespace qsl {

QString shippedCardDesign();
QString shippedLabelDesign();

} // namespace qsl
