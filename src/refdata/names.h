#pragma once
// Look-ups from codes to the names shown beside them. They seek in the session
// work areas "ENT", "prv", "subprv" and "iota" (opened when needed) and return
// the stored field, blank-padded to its width, or blanks of that width when
// there is nothing to show. Entity codes may be given without their leading
// blanks ("89" is " 89"); the other codes are sought over their whole field
// width, so "B" is Barcelona and never Badajoz.

#include <QString>

namespace refdata {

// Entity name of a DXCC number ("281", or "5" for "005"); ENT's order is restored.
QString NOMDXCC(const QString& number);

// Province name; "!!" when mark is set and the entity has provinces but not
// this one.
QString NOMPRV(const QString& entity, const QString& province, bool mark = false);

// Sub-division name; "!!" when the province has sub-divisions but not this one.
QString NOMSUBPRV(const QString& entity, const QString& province, const QString& subdivision);

// "EUROPA", "S.AMERICA", "OCEANIA", "N.AMERICA", "AFRICA", "ASIA", or "".
QString NOMCON(const QString& code);

// Island-group name of an IOTA reference.
QString NOMIOTA(const QString& reference);

// Display text of a QSL state: "Si ", "No ", "Ign", "Sol", "Cola", else three blanks.
QString INFOQSL(const QString& code);

// Name and reference locator of an entity; "" when the code is unknown. Both
// leave ENT on the entity, where callers read its other fields.
QString NOMENT(const QString& code);
QString ENTQRA(const QString& code);

} // namespace refdata
