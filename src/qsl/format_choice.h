#pragma once
// Choosing the QSL format used for printing (QSLSELFRM): the formats that
// have a design, in table order, and the DEFAULT mark moved to the one chosen.

#include <QString>
#include <QStringList>

#include <vector>

namespace store {
class WorkArea;
}

namespace qsl {

struct FormatList {
    QStringList descriptions;        // trimmed
    std::vector<quint32> records;
    int current = -1;                // the first with DEFAULT set, -1 when none
};

FormatList formatsWithDesign(store::WorkArea& frm);
// Moves DEFAULT to record `rec` (cleared on every other record that has it),
// each change under a record lock. False when a lock was refused.
bool makeDefault(store::WorkArea& frm, quint32 rec);
// Asks with the list box ("Selecciona formato de QSL") and applies the choice.
// With no format that has a design it says so and changes nothing.
bool selectFormat(store::WorkArea& frm);

} // namespace qsl
