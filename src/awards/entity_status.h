#pragma once
// The entity panel's status: for the entity of the QSO being entered (or of
// the log's current row), per mode key which bands of the "DXCCINFO"
// definition are worked ("T"), confirmed by card ("C"), confirmed
// electronically ("L") or both ("CL"); with electronic confirmation counting
// as confirmation (the settings' LOTWCFM) only blank, "T" or "C". Each cell
// also says whether the current call was worked there.

#include "award_definition.h"
#include "award_status.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace store {
class WorkArea;
}

namespace awards {

struct EntityRow {
    QByteArray ref;          // the definition's field on the QSOs of the row
    QString mode;            // mode key
    QStringList cells;       // one per band: "", "T", "C", "L" or "CL"
    std::vector<bool> worked;   // per band: the current call was worked on that band and mode key
};

struct EntityStatus {
    QString entity;          // CODENT, as stored
    AwardDef def;
    bool definitionFound = false;   // false: the default definition stands in
    std::vector<EntityRow> rows;    // by reference and mode key
    int qsos = 0;
};

// Keeps the panel's computation between refreshes: the log book read through
// its own read-only work area, the last entity and its status.
class EntityPanelState {
public:
    EntityPanelState();
    ~EntityPanelState();

    // DPLVIS: the status of the entity (recomputed only when it changed, or
    // with force); returns the QSOs counted, 0 when nothing was recomputed.
    // An empty entity ("", "  0") empties the status.
    int DPLVIS(const QString& entity, bool force = false);
    // DPLCALL: marks the cells already worked by the call (trimmed, more than
    // three characters; otherwise nothing is marked).
    void DPLCALL(const QString& call);

    const EntityStatus& status() const { return m_status; }
    // Row and band column of a QSO's mode and band (POSREG); -1 when none.
    std::pair<int, int> position(const QString& band, const QString& mode) const;
    // Mode key of a QSO's mode under the panel's definition.
    QString modeKey(const QString& mode) const;

    // Settings read on each computation: LOTWCFM of cfg.
    static bool lotwConfirms();
    void forget() { m_lastEntity = QStringLiteral("\x01"); }

private:
    store::WorkArea* logArea();
    EntityStatus m_status;
    QString m_lastEntity = QStringLiteral("\x01");
    QString m_call;
};

// DXCCWRKD: record numbers of the QSOs behind a panel cell (entity, mode
// key, band or "" for every band), in date order, and how many of them are
// confirmed (card, or electronic with LOTWCFM).
struct CellList {
    std::vector<quint32> records;
    int confirmed = 0;
};
CellList DXCCWRKD(const QString& entity, const QString& modeKey, const QString& band, const BookFiles& book);

// The title of the list behind a panel cell: entity name, band, mode,
// "Trabjados" n, "Confirmados" m and the percentage.
QString entityCellTitle(const QString& entityName, const QString& band, const QString& mode, const CellList& list);

} // namespace awards
