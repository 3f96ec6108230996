#include "reports/views/chart_selection_dialog.h"

#include "core/messages.h"
#include "store/aliases.h"
#include "ui/dialog_helpers.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace reports {

ChartSelectionDialog::ChartSelectionDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Selector de QSO para gráficos"));
    auto* lay = new QVBoxLayout(this);
    auto* dates = new QGroupBox(QStringLiteral("Rango de fechas"), this);
    auto* df = new QFormLayout(dates);
    m_from = ui::dateEdit(dates, QStringLiteral("600"));
    m_to = ui::dateEdit(dates, QStringLiteral("601"));
    df->addRow(QStringLiteral("Desde"), m_from);
    df->addRow(QStringLiteral("Hasta"), m_to);
    lay->addWidget(dates);
    m_to->installEventFilter(this);

    auto* form = new QFormLayout;
    m_band = new QComboBox(this);
    m_band->setObjectName(QStringLiteral("604"));
    ui::fillCodes(m_band, ui::tableCodes(store::alias::kBand, "CODBAN", "CODBAN"));
    m_mode = new QComboBox(this);
    m_mode->setObjectName(QStringLiteral("603"));
    ui::fillCodes(m_mode, ui::tableCodes(store::alias::kModo, "CODMOD", "CODMOD"));
    m_op = ui::lineEdit(this, QStringLiteral("614"), QString(), true, 14);
    m_op->setMaxLength(12);
    form->addRow(QStringLiteral("Banda"), m_band);
    form->addRow(QStringLiteral("Modo"), m_mode);
    form->addRow(QStringLiteral("Operador"), m_op);
    lay->addLayout(form);
    ui::addOkCancel(this, lay);
}

void ChartSelectionDialog::accept()
{
    if (ui::datesReadable({m_from, m_to}) && datesInOrder())
        QDialog::accept();
}

bool ChartSelectionDialog::datesInOrder()
{
    const QDate from = ui::dialogDate(m_from->text()), to = ui::dialogDate(m_to->text());
    if (from.isValid() && to.isValid() && to < from) {
        ui::messages().alert(QStringLiteral("Fecha hasta debes se mayor que desde"));
        m_to->setFocus();
        return false;
    }
    return true;
}

bool ChartSelectionDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_to && event->type() == QEvent::FocusOut && isVisible()) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::MouseFocusReason)
            datesInOrder();
    }
    return QDialog::eventFilter(watched, event);
}

QsoSelection ChartSelectionDialog::selection() const
{
    QsoSelection s;
    s.from = ui::dialogDate(m_from->text());
    s.to = ui::dialogDate(m_to->text());
    s.band = m_band->currentData().toString();
    s.mode = m_mode->currentData().toString();
    s.op = m_op->text().trimmed().toUpper();
    return s;
}

bool GRFSEL(QsoSelection* out, QWidget* parent)
{
    ChartSelectionDialog d(parent);
    if (d.exec() != QDialog::Accepted)
        return false;
    *out = d.selection();
    return true;
}

} // namespace reports
