#pragma once
// An award definition: one record of the award table DplCfg (or of its working
// copy DplTmp), read into memory, and the few look-ups around it.

#include <QString>
#include <QStringList>

namespace store {
class WorkArea;
}

namespace awards {

struct AwardDef {
    QString code;            // CODDPL, trimmed
    QString description;     // DESCRI, trimmed
    QString field;           // FLD, trimmed upper case: a QSO field, or a reference list (noStandard)
    QStringList entities;    // CODENT1..5 that are not blank, as stored (3 characters)
    QStringList bands;       // BAND1..10 that are not blank, trimmed upper case, each once, in order
    QStringList modes;       // MODE1..6 that are not blank, trimmed upper case
    bool mixed = false;
    bool fiveBands = false;  // CINCOB
    bool digital = false;    // DIG
    bool noStandard = false; // NOSTD
};

// The definition of the current record of an area with DplCfg's structure.
AwardDef readDefinition(store::WorkArea& area);
// Writes every field of the definition into the current record (locked by the caller).
void writeDefinition(store::WorkArea& area, const AwardDef& def);
// The definition with this code from the award table (the session's area when
// open, its position kept; else opened for the look-up). False when none.
bool findDefinition(const QString& code, AwardDef* out);
// Every definition of the award table, in its order (code, description).
QList<QPair<QString, QString>> definitionList();

// The QSO fields a standard award may count, in list order, and their labels.
const QStringList& standardFields();
QString fieldLabel(const QString& field);          // "DXCC" -> "DXCC", "GRIDSQUARE" -> "Locator"; "" when unknown

// The entity panel's definition, and the one the panel falls back on when the
// award table has none: the entity (DXCC) on 160 to 6 metres, CW, SSB and the
// digital modes together.
inline const QString kEntityPanelCode = QStringLiteral("DXCCINFO");
AwardDef defaultEntityPanelDefinition();

// Name of a reference of a reference list (DplDet), or blanks of the width of
// DESC when the list does not hold it.
QString DPLDES(const QString& list, const QString& reference);

// The award code check of the edit dialog: true when the code is free. A code
// already in the award table is refused with the stop message code + " ya esta
// dado de alta". The area's position is kept.
bool CHK(store::WorkArea& dplCfg, const QString& code);

} // namespace awards
