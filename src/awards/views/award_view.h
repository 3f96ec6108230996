#pragma once
// DPLVIS: an award computed and shown. The definition is copied into the
// working copy DplTmp and shown in view mode, the entity set asked for a DXCC
// award, the status computed and written to the status table Dpl, and the
// window "EstDpl" shows it in description order, with print and spreadsheet
// export; a double click lists the QSOs behind a cell (DPLDETALLE).

#include "awards/award_status.h"

#include <QString>
#include <QWidget>

namespace store {
class WorkArea;
}

namespace ui {
class GridPanel;
}

namespace awards {

// The award with this code, or the award table's current record when empty.
void DPLVIS(const QString& code = QString(), QWidget* parent = nullptr);

// The status window's content over the open status table (alias "Dpl"); it
// closes and erases the table when it goes.
class AwardStatusView : public QWidget {
    Q_OBJECT
public:
    AwardStatusView(const AwardStatus& status, store::WorkArea* dpl, const QString& dplPath, QWidget* parent = nullptr);
    ~AwardStatusView() override;
    ui::GridPanel* panel() const { return m_panel; }
    static QString title(const AwardDef& def) { return QStringLiteral("Estadísticas diploma ") + def.description; }

private:
    void cellChosen();
    void print();
    void exportSheet(bool calc);
    AwardStatus m_status;
    ui::GridPanel* m_panel;
    QString m_path;
};

// The QSOs of the log book's records as a list ("DxccWrkd" content).
QWidget* qsoList(const std::vector<quint32>& records, bool withBand, bool withMode, bool withLotw, QWidget* parent = nullptr,
                 ui::GridPanel** panel = nullptr);

} // namespace awards
