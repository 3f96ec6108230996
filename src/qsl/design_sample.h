#pragma once
// What the designer works with besides the design: print data to preview it
// with (the first QSOs of the book, or a made-up QSO when the book has none),
// the starting points offered for a format without a design, and saving the
// design into the format record.

#include "qsl/rows.h"

#include <QString>
#include <QStringList>

namespace store {
class WorkArea;
}

namespace qsl {

struct DesignSample {
    RowSet d;                              // cards: QSOs; label formats: labels filled from them
    std::vector<store::FieldInfo> fFields; // the format record as "f"
    std::vector<store::Value> fRow;
};

// Up to `count` QSOs of `log` from its top (null or empty book: one made-up
// QSO), as cards or as labels of `qsosPerLabel` QSOs. `frm` at the format
// record gives "f" (null: blank texts).
DesignSample designSample(bool label, int qsosPerLabel, store::WorkArea* log, store::WorkArea* frm, int count = 24);

// An empty design of either kind: a card of 140 x 90 mm, or the A4 sheet of
// 3 x 8 labels of 70 x 37 mm, with no items.
QString emptyDesign(bool label);

// The choices offered for a format without a design: "Formato vacio", then
// the descriptions of the formats that have one, with their records.
struct DesignBases {
    QStringList choices;
    std::vector<quint32> records;          // records[i] for choices[i + 1]
};
DesignBases designBases(store::WorkArea& frm);
// The design of record `rec` (the area keeps its record).
QString designOf(store::WorkArea& frm, quint32 rec);

// Writes `text` into FORMATO of record `rec` under a record lock; false with
// a Spanish message when the record cannot be locked or written.
bool saveDesign(store::WorkArea& frm, quint32 rec, const QString& text, QString* error = nullptr);

} // namespace qsl
