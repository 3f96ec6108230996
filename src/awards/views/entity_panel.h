#pragma once
// DXCCINFO: the entity panel beside the QSO entry form: the entity's name,
// bearing, long-path bearing, distance, the QSOs counted and its status by
// band and mode, the cells the current call already worked in green. It
// follows the form (placed beside it, shown and hidden with it) and the log
// window's cursor (DPLVIS2).

#include <QDialog>

class QLabel;

namespace store {
class RecordBuffer;
}

namespace awards {

class EntityGrid;
class EntityPanelState;

class EntityPanel : public QDialog {
    Q_OBJECT
public:
    EntityPanel(QWidget* form, QWidget* parent = nullptr);
    ~EntityPanel() override;

    // DPLVIS: the QSO's entity (recomputed only when it changed), the call's
    // cells and the cell of its band and mode; the QSOs counted, 0 when
    // nothing was recomputed.
    int DPLVIS(const store::RecordBuffer& qso);
    EntityGrid* grid() const { return m_grid; }
    EntityPanelState& state() { return *m_state; }
    QString text(const char* label) const;       // "entity", "bearing", "lp", "distance", "qsos"
    // Beside the form: its left side at the form's right edge, 169 pixels below its top.
    void place();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_form;
    EntityGrid* m_grid;
    std::unique_ptr<EntityPanelState> m_state;
    QLabel *m_entity, *m_bearing, *m_lp, *m_distance, *m_qsos;
};

// Opens the panel beside the form for the QSO it holds, or refreshes it; the
// program's one panel (oDlgDxcc).
EntityPanel* DXCCINFO(QWidget* form, const store::RecordBuffer* qso);
EntityPanel* entityPanel();       // null until opened
// DPLVIS2: the panel follows the entry form's QSO when the form is visible,
// else the log cursor Log2's current QSO, without the call's cells.
void DPLVIS2();
// DPLCALL: the panel marks the cells of the call.
void DPLCALL(const QString& call);
void closeEntityPanel();

} // namespace awards
