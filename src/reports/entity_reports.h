#pragma once
// The two entity reports over the current log book: the entities worked but
// not confirmed, with the QSOs that would confirm them, and the entities
// never worked. Each is limited to chosen bands and modes; the rows are
// gathered in a table of the reports directory, read back for printing, and
// the table erased.

#include "reports/band_mode_choice.h"

#include "qsl/report.h"
#include "qsl/rows.h"
#include "store/status.h"

#include <QString>

#include <memory>
#include <optional>

namespace store {
class WorkArea;
}

namespace reports {

enum class EntityReport { WorkedNotConfirmed, NotWorked };

// "Informe Entidades trabajadas, no confirmadas", "Informe Entidades no trabajadas".
QString reportTitle(EntityReport kind);

// Fills the report table at `path` (created anew): for every entity of `ent`
// in its order, the qualifying QSOs of `log` (order CodEnt) when none of them
// is confirmed.
store::Status CRTNOTCONF(store::WorkArea& ent, store::WorkArea& log, const BandModeChoice& choice, const QString& path);
// One row per entity that counts for the award lists (deleted ones too with
// includeDeleted) and has no qualifying QSO, in order of entity name.
store::Status CRTNOTWRK(store::WorkArea& ent, store::WorkArea& log, const BandModeChoice& choice, bool includeDeleted,
                        const QString& path);

// A report ready to draw: its rows, the heading record the design reads as
// "f" (TITULO, SELECCION, FECHA) and the compiled design.
struct PreparedReport {
    QString title;
    qsl::RowSet rows;
    std::vector<store::Value> heading;
    std::unique_ptr<qsl::Report> report;
    int pages() const { return report->pageCount(int(rows.rows.size())); }
};

// Gathers the report over the session's log book and entity table (read
// through work areas of their own, so the session's cursors stay where they
// are); nothing, with a Spanish message, when the tables are not open or
// the report table cannot be written.
std::optional<PreparedReport> prepareEntityReport(EntityReport kind, const BandModeChoice& choice, bool includeDeleted,
                                                  QString* error);

// The shipped designs: A4 lists with a heading, column titles and page numbers.
QString entityReportDesign(EntityReport kind);

} // namespace reports
