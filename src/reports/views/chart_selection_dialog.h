#pragma once
// "Selector de QSO para gráficos": the dates, band, mode and operator a chart
// counts. Leaving "Hasta" with a date before "Desde" says so and keeps the
// focus there.

#include "reports/chart_data.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace reports {

class ChartSelectionDialog : public QDialog {
    Q_OBJECT
public:
    explicit ChartSelectionDialog(QWidget* parent = nullptr);
    QsoSelection selection() const;
    void accept() override;   // only with readable dates in order

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool datesInOrder();
    QLineEdit* m_from;
    QLineEdit* m_to;
    QComboBox* m_band;
    QComboBox* m_mode;
    QLineEdit* m_op;
};

// The dialog; true on "&Ok" with the selection in *out.
bool GRFSEL(QsoSelection* out, QWidget* parent = nullptr);

} // namespace reports
