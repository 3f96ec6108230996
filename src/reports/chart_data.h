#pragma once
// The statistics behind the five charts: QSOs of a selection of the current
// log book counted per entity (the top N), mode, band, continent and hour.
// Each count gives one series: values, category labels and titles.

#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

namespace store {
class WorkArea;
}

namespace reports {

// The QSOs a chart counts: a range of dates (both given, whole days) and a
// band, a mode and an operator, each applied only when given.
struct QsoSelection {
    QDate from, to;
    QString band, mode, op;
};

struct ChartData {
    QString title;                                  // "QSO por Modos"
    QString axisTitle = QStringLiteral("Contactos");    // also the series' legend
    QString categoryTitle;                          // "Modo"
    std::vector<double> values;
    QStringList labels;
    int qsos = 0;                                   // QSOs read that passed the selection
};

// A read-only work area "LogGrf" on the session's log book, limited to the
// selection and at its first record; null when no book is open or the
// selection cannot be applied (the reason in *error).
store::WorkArea* openSelection(const QsoSelection& sel, QString* error = nullptr);
void closeSelection();

// The counts over the area's visible records (from its top).
ChartData GRFENT(store::WorkArea& qsos, int top, bool withRest, store::WorkArea* ent);
ChartData GRFMODOS(store::WorkArea& qsos);
ChartData GRFBAND(store::WorkArea& qsos, const QStringList& bandCodes);
ChartData GRFCONT(store::WorkArea& qsos);
ChartData GRFHOR(store::WorkArea& qsos);

enum class ChartKind { Entities, Modes, Bands, Continents, Hours };

struct ChartRequest {
    ChartKind kind = ChartKind::Modes;
    QsoSelection selection;
    int top = 10;               // entities: how many; 0 means 10
    bool withRest = false;      // entities: one more column with the rest
};

// The whole chart over the session's book: opens the selection, counts, closes.
// The band codes come from the session's band table, the entity names from
// its entity table. False with a Spanish message when there is no book.
bool chartOf(const ChartRequest& request, ChartData* out, QString* error = nullptr);

} // namespace reports
