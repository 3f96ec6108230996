#pragma once
// The status of an award over a log book: per reference and mode key, which
// bands are worked ("T") and which confirmed ("C"), the five-band and total
// columns, and per mode key the pair of totals rows. Computed in memory from
// one pass over the book (or over the award's entities through the book's
// entity order); the status table Dpl is filled from it in one go
// (status_table.h).

#include "award_definition.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

namespace awards {

// The QSO table of a log book and its table of award references (paths).
struct BookFiles {
    QString log;
    QString refs;
};
// The book the session has open (work areas "Log" and "DplLog").
BookFiles sessionBook();
// Book `name` in the data directory; empty paths for tables that do not exist.
BookFiles namedBook(const QString& name);

// Which QSOs count by the situation of their entity.
enum class EntitySet { All = 1, Active = 2, Deleted = 3 };
// The entity situation that marks an entity deleted (ENT's SIT), and the active one.
inline constexpr char kDeletedSituation = 'B';
inline constexpr char kActiveSituation = 'A';

inline const QString kWorkedTotals = QStringLiteral("·Trabajados");
inline const QString kConfirmedTotals = QStringLiteral("··Confirmados");

struct StatusRow {
    QByteArray ref;          // the reference as the status table's FLD holds it (Windows-1252, fixed width)
    QString desc;            // description (the table keeps its first 20 characters)
    QString mode;            // mode key: the QSO mode, "DIG" or "MIXED"
    QStringList cells;       // one per column after MODO: bands, then CincoB and Total when present
    bool totals = false;     // one of the two totals rows of its mode key
};

struct AwardStatus {
    AwardDef def;
    QStringList bands;       // the band columns
    bool hasFiveBands = false;
    bool hasTotal = false;
    char refType = 'C';      // type and width of FLD in the status table
    int refWidth = 10;
    std::vector<StatusRow> rows;   // in the view's order: ordinary rows by description, totals rows last
    int qsos = 0;            // QSOs counted

    // Column headings after MODO, in order (band codes, "CincoB", "Total").
    QStringList columns() const;
};

// Which QSOs an award takes: the band and mode codes of the definition and,
// with its digital option, every mode marked digital in the mode table.
struct Selection {
    explicit Selection(const AwardDef& def);
    bool digitalMode(const QString& mode) const { return digital.contains(mode); }
    // The QSO's band and mode (trimmed, upper case) pass.
    bool takes(const QString& band, const QString& mode) const
    {
        return bands.contains(band) && (modes.contains(mode) || digitalMode(mode));
    }
    // Mode key of a QSO: "MIXED", "DIG" or the mode itself.
    QString modeKey(const QString& mode) const;

    QSet<QString> bands, modes, digital;
    bool mixed = false;
};
// Every mode code marked digital in the mode table (session area "Modo").
QSet<QString> digitalModes();

// Standard award (DPLVISCRT): the reference is the QSO field named by the
// definition. False with the reason when the book cannot be read or the field
// is not one of its fields.
bool DPLVISCRT(const AwardDef& def, EntitySet set, const BookFiles& book, AwardStatus* out, QString* error);
// Award over a reference list (DPLVISCRTNS): the references attached to the QSOs.
bool DPLVISCRTNS(const AwardDef& def, EntitySet set, const BookFiles& book, AwardStatus* out, QString* error);
// The one that fits the definition.
bool computeAward(const AwardDef& def, EntitySet set, const BookFiles& book, AwardStatus* out, QString* error);

// The message of an award whose field the log book does not have.
QString badFieldMessage();

} // namespace awards
