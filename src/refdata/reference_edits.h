#pragma once
// What the edit dialogs of the small reference tables write: known stations,
// IOTA references, bands and modes. An entry is read from the current record of
// its work area; saving writes it back under the record's lock, taken in one
// attempt ("Record in use" when another user holds it, and nothing is written),
// or appends it as a new record.

#include <QString>

#include <vector>

namespace store {
class WorkArea;
}

namespace refdata {

struct KnownStation {
    QString call, note;                 // CALL, NOTA
};
struct IotaReference {
    QString reference, name, entity;    // IOTA ("EU-004"), NOMBRE, CODENT
};
struct BandEntry {
    QString code, name;                 // CODBAN, BANDA
};
struct ModeEntry {
    QString code, name, rst;            // CODMOD (its ADIF name), MODO, RSTDEF
    bool digital = false;               // DIG
};

// The fields of the current record, trimmed; empty ones at the end of the table.
KnownStation readKnownStation(store::WorkArea& area);
IotaReference readIotaReference(store::WorkArea& area);
BandEntry readBand(store::WorkArea& area);
ModeEntry readMode(store::WorkArea& area);

// Writes the entry into the current record, or into a new one. False when
// nothing was written (the user was told why).
bool saveKnownStation(store::WorkArea& area, const KnownStation& e, bool isNew);
// Writes IOTA, NOMBRE, CODENT and the NOMBRE2 derived from them. The
// reference of an existing record is kept whatever e.reference says.
bool saveIotaReference(store::WorkArea& area, const IotaReference& e, bool isNew);
bool saveBand(store::WorkArea& area, const BandEntry& e, bool isNew);
bool saveMode(store::WorkArea& area, const ModeEntry& e, bool isNew);

// The entities an IOTA reference may belong to: every record of ENT, by name
// (codes as stored, names trimmed). ENT keeps its order and record.
struct EntityChoice {
    QString code, name;
};
std::vector<EntityChoice> entityChoices();

// The search text NOMBRE2 of an IOTA reference: its first two characters, its
// characters 4 to 6, one blank and the name ("EU-004", "ISLAS BALEARES" give
// "EU004 ISLAS BALEARES").
QString iotaSearchText(const QString& reference, const QString& name);

// Ask before deleting the current record (No preselected) and, on yes, delete
// it under its lock, waiting for the lock without a time limit. True when deleted.
bool deleteKnownStation(store::WorkArea& area);
bool deleteIotaReference(store::WorkArea& area);

} // namespace refdata
