#pragma once
// The rules of the entity and prefix forms, apart from their widgets: what a
// field becomes when it is left, which code a new entity gets, the lists the
// forms offer, and the empty prefix an entity without prefixes is given.

#include <QString>
#include <QStringList>

namespace store {
class RecordBuffer;
class WorkArea;
}

namespace refdata {

// "Cod Adif" as stored: blanks removed, right-aligned in three with zeros ("5" is "005").
QString adifNumberText(const QString& typed);
// A prefix as stored: blanks inside removed, left-aligned.
QString prefixText(const QString& typed);

// " 0" to "40" (CQ zones) or " 0" to "90" (ITU zones): two characters, right-aligned.
QStringList zoneList(int highest);
// The continents an entity may have.
QStringList continentCodes();

// The code a new entity gets: the highest code of the table (the last record
// in code order) plus one, right-aligned in three (" 99" gives "100"). The
// area keeps its order and record.
QString nextEntityCode(store::WorkArea& entities);

// Writes the form's buffer of an entity: a new one gets the next code and is
// appended; an edit is written over the current record under its lock. False
// when nothing was written (the user was told why).
bool saveEntity(store::WorkArea& entities, store::RecordBuffer& buffer, bool isNew);

// Limits the prefix table to the entity's prefixes (order CodEnt); when it has
// none, an empty prefix record with the entity's code is appended first so the
// list has a row to edit. releasePrefixes() puts the table back as everybody
// else expects it: no limits, order Pfx, at the top.
void holdPrefixesOf(store::WorkArea& prefixes, const QString& entityCode);
void releasePrefixes(store::WorkArea& prefixes);

} // namespace refdata
