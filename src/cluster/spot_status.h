#pragma once
// How a spot stands against the current log book (work area "Log"): status
// letters "N" new, "T" worked but not confirmed, "C" confirmed (a QSO whose
// QSLRCVD is "Y"), blank when not worked out.

#include <QString>

namespace cluster {

struct SpotStatus {
    QString ent = QStringLiteral(" ");       // STSENT
    QString band = QStringLiteral(" ");      // STSBAND
    QString mode = QStringLiteral(" ");      // STSMODE
    QString bandMode = QStringLiteral(" ");  // STSBANDMOD
    QString iota = QStringLiteral(" ");      // STSIOTA
};

// Entity, band, mode and band+mode letters of entity code `codEnt` on band
// and mode. An entity never worked gives "N" and three blanks. The log keeps
// its order and record.
//
// A busy cluster brings thousands of spots a minute and a book may hold
// thousands of QSOs of one entity, so the answers come from a summary of the
// log (entity -> band, mode, confirmed; each entity read once, when first
// asked for) kept while the log's file is unchanged; while the file is being
// written the log is read as spotStatusByWalk does. Both give the same
// letters. CHKIOTA keeps the IOTA references of the log likewise.
SpotStatus SPOTACTSTS(const QString& codEnt, const QString& band, const QString& mode);
// The same letters read through the log's "CodEnt" order, stopping as soon as
// all four are known confirmed.
SpotStatus spotStatusByWalk(const QString& codEnt, const QString& band, const QString& mode);

// IOTA letter of an upper-cased comment naming a reference ("EU-005",
// "EU 005", "EU005"): empty when it names none or one the IOTA table does
// not hold; else "C", "T" or "N" from the log's IOTA field.
QString CHKIOTA(const QString& comment);

// The reference CHKIOTA reads in a comment, before any table is asked
// ("EU-005"); empty when none.
QString iotaReference(const QString& comment);

} // namespace cluster
