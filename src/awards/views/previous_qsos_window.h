#pragma once
// QSOANT: the previous-QSO window ("QsoAnt", "Qso Anteriores"): the earlier
// QSOs of a call over the log cursor Log2, its own search field, the
// information panel (entity, paths, zones, sun times, local time) and the
// entity's status grid. It follows whatever limits Log2: every refresh of its
// grid (REFWND) brings the panel and the status grid up to date.

#include "awards/previous_qsos.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {
class GridPanel;
}

namespace awards {

class EntityGrid;
class EntityPanelState;

class PreviousQsosWindow : public QWidget {
    Q_OBJECT
public:
    // Over the session's Log2, limited to the call of Log's current QSO; null without a book.
    static PreviousQsosWindow* open(QWidget* parent = nullptr);
    ~PreviousQsosWindow() override;

    ui::GridPanel* panel() const { return m_panel; }
    QLineEdit* searchField() const { return m_search; }
    QCheckBox* partialBox() const { return m_partial; }
    EntityGrid* statusGrid() const { return m_grid; }
    const InfoPanel& info() const { return m_info; }
    QString shown(const char* label) const;     // the text of a panel value, by its object name

    // ACTUALIZA and DPLVIS2 for this window.
    void refreshPanel();
    // The search field's text was typed (ACTQSOANT).
    void search();
    // "Hora local".
    void askLocalTime();

private:
    explicit PreviousQsosWindow(QWidget* parent);
    QLabel* value(const char* name);
    ui::GridPanel* m_panel = nullptr;
    QLineEdit* m_search = nullptr;
    QCheckBox* m_partial = nullptr;
    EntityGrid* m_grid = nullptr;
    std::unique_ptr<EntityPanelState> m_state;
    InfoPanel m_info;
    bool m_fromSearch = false;
    bool m_pending = false;
};

} // namespace awards
