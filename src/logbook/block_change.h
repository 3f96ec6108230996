#pragma once
// The block change of the log window (LOGCHGBLQ): the values typed in its
// dialog are written into every QSO of the current selection. Only the values
// given are written; an empty text, an invalid date, a zero number or a
// logical left false never overwrites what a QSO holds.

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace store {
class WorkArea;
}

namespace ui {
class Meter;
}

namespace logbook {

// The fields the block-change dialog offers, by their QSO-table names.
struct BlockChange {
    // the station and its own locator
    std::optional<QString> operatorCall, qra;   // OPERATOR, QRA
    // page 1
    std::optional<QDate> qsoDate;               // QSODATE
    std::optional<QString> timeOn;              // TIMEON
    std::optional<double> freq;                 // FREQ
    std::optional<QString> band, mode, call, rstSent, rstReceived, qslVia, grid, name, qth, iota;
    std::optional<bool> longPath;               // LP
    std::optional<QString> entity, province, subdivision, propagation, satellite, comment;   // CODENT CODPRV CNTY PROPMODE SATNAME COMMENT
    // page 2
    std::optional<bool> noQsl;                  // NOQSL
    std::optional<QString> qslReceived, qslSent, qslMode;          // QSLRCVD QSLSENT QSLMODE
    std::optional<QDate> qslReceivedDate, qslSentDate;             // QSLRDATE QSLSDATE
    std::optional<double> qslSentCount;                            // NQSLTX
    std::optional<QString> eqslReceived, eqslSent, lotwReceived, lotwSent;
    std::optional<QDate> lotwReceivedDate, lotwSentDate;
    // page 3
    std::optional<QString> cqZone, ituZone, jcc, jcg, contest;     // CQZ ITUZ JCC JCG CONTESTID
};

// The QSO-table names of the fields above, in the dialog's order.
QStringList blockChangeFields();

// Sets one field by its QSO-table name from text (codes and calls upper-cased
// as the dialog types them; dates YYYYMMDD, logicals
// "S"/"SI"/"Y"/"T"/"N"/"NO"/"F", numbers with a point). False, with a Spanish
// *error, for a field the block change does not offer or a value that cannot be.
bool setBlockChangeField(BlockChange* change, const QString& field, const QString& text, QString* error);

// True when no value would be written.
bool isEmpty(const BlockChange& change);

struct BlockChangeResult {
    int changed = 0;          // QSOs written
    int skipped = 0;          // QSOs whose lock was refused
    bool cancelled = false;   // stopped from the meter
};

// LOGCHGBLQ: writes the values given into every QSO of log in its current
// order, scope and filter (the selection, when filtered), each under its record
// lock (one second of retries, then the retry question; a QSO whose lock is
// refused is skipped). The selection keeps every QSO whose date or time
// changed. log returns to the record that was current. meter may be null.
BlockChangeResult LOGCHGBLQ(store::WorkArea& log, const BlockChange& change, ui::Meter* meter = nullptr);

} // namespace logbook
