#pragma once
// The grid of an entity's status by mode and band (the panel beside the entry
// form, the previous-QSO window): the mode column, then a column per band of
// the "DXCCINFO" definition headed by its first three characters; blue text,
// green where the current call was already worked. A double click lists the
// QSOs behind the cell (DXCCWRKD).

#include "awards/entity_status.h"

#include <QTableWidget>

namespace awards {

class EntityGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit EntityGrid(QWidget* parent = nullptr);
    // Shows the state's status; selects the cell of band and mode when given (POSREG).
    void show(const EntityPanelState& state, const QString& band = QString(), const QString& mode = QString());
    QString entity() const { return m_entity; }
    // Wide enough for every column without scrolling.
    int fullWidth() const;

private:
    void listCell(int row, int column);
    QString m_entity;
    QStringList m_bands;
    QStringList m_modes;
};

} // namespace awards
