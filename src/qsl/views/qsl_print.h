#pragma once
// Printing cards and labels from the windows: straight to the default printer
// (PRNQSL), the filtered view with a preview (PRNQSLFIL) and the spool with its
// selection dialog and a preview (PRNQSLPEN), with the questions around them.

#include "qsl/print_job.h"
#include "qsl/spool_print.h"

#include <QDialog>

#include <functional>
#include <vector>

class QComboBox;
class QLineEdit;

namespace store {
class WorkArea;
}

namespace qsl {

// What tests put in place of the printer and of the preview window: each gets
// the format, the QSOs and the first label, and says whether it printed.
struct PrintSeams {
    std::function<bool(const Format&, const RowSet&, int startAt)> direct;
    std::function<bool(const Format&, const RowSet&, int startAt)> preview;
};
void setPrintSeams(PrintSeams seams);

// "Empezar a imprimir en etiqueta", starting from ULTETI + 1; 0 when cancelled.
int askStartLabel(const Format& format);

// PRNQSL: the cards of `records` of `log` (the current QSO when fewer than two)
// to the default printer; says so in Spanish when there is none. True when printed.
bool PRNQSL(store::WorkArea& log, const std::vector<quint32>& records = {}, QWidget* parent = nullptr);
// PRNQSLFIL: every QSO of the view, preview, then "Marcar QSLs como enviadas".
void PRNQSLFIL(store::WorkArea& log, QWidget* parent = nullptr);
// PRNQSLPEN: the spool with the PRNSPOOL selection, preview, then the marking
// questions ("Marcar QSLs como enviadas", "Enviadas via").
void PRNQSLPEN(store::WorkArea& spool, QWidget* parent = nullptr);

// The dialog PRNSPOOL: "Impresión QSL en cola".
class SpoolSelectionDialog : public QDialog {
public:
    explicit SpoolSelectionDialog(QWidget* parent = nullptr);
    SpoolSelection selection() const;
    QComboBox* combo(int id) const;   // 603, 604, 613, 617
    QLineEdit* edit(int id) const;    // 614, 616

private:
    QComboBox *m_band, *m_mode, *m_prop, *m_entity;
    QLineEdit *m_oper, *m_via;
};

} // namespace qsl
