#pragma once
// Printing cards and labels from the QSOs of a view of the log with a QSL
// format of FrmQsl: the print data (one record per card, or labels filled
// from the QSOs), the report, and the sheet position kept in ULTETI.

#include "qsl/rows.h"

#include <QString>

#include <functional>
#include <optional>

class QPagedPaintDevice;

namespace store {
class WorkArea;
}

namespace qsl {

struct Format {
    quint32 rec = 0;                  // record in FrmQsl
    QString description;
    bool label = false;
    int qsosPerLabel = 1;
    int perSheet = 0;                 // ETIXPAG
    int used = 0;                     // ULTETI
    QString design;                   // FORMATO
    std::vector<store::Value> fRow;   // as "f" sees it (formatFields())
};

// The format for printing: the first record in table order with DEFAULT set
// and a design; when none is set, the first with a design. Nothing, with the
// message in *error, when no format has a design.
std::optional<Format> defaultFormat(store::WorkArea& frm, QString* error = nullptr);
// The format whose description is `description` (trimmed, without regard to case).
std::optional<Format> formatNamed(store::WorkArea& frm, const QString& description, QString* error = nullptr);
Format formatOf(store::WorkArea& frm);   // the current record

// The QSOs of the area's view from its top (fields of "log.dbf"); `accept`
// may drop records. With `byIdx1` they are ordered as IDX1 orders them:
// operator, entity, call, date and time.
RowSet collectQsos(store::WorkArea& log, const std::function<bool(store::WorkArea&)>& accept = {},
                   bool byIdx1 = false);

struct PrintResult {
    int qsos = 0;
    int records = 0;      // cards or labels
    int pages = 0;
    int usedAfter = 0;    // labels used on the sheet afterwards
};

// Prints `qsos` with `format` to a PDF file (or, with `device`, to a printer),
// labels starting at position `startAt` of the sheet (1-based). False with a
// Spanish message when the design is damaged or the file cannot be written.
bool printQsos(const Format& format, const RowSet& qsos, int startAt, const QString& pdfPath, PrintResult* result,
               QString* error = nullptr, QPagedPaintDevice* device = nullptr);

// Stores ULTETI in the format record (two-second lock); false when refused.
bool storeLabelsUsed(store::WorkArea& frm, quint32 rec, int used);

} // namespace qsl
