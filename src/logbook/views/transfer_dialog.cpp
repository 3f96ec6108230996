#include "transfer_dialog.h"

#include "logbook/book_name.h"
#include "logbook/books.h"

#include "core/messages.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/dialog_helpers.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace logbook {

namespace {

QComboBox* comboBox(QWidget* parent, const QString& id)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(id);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    box->setMinimumContentsLength(12);   // the lists line up with the operator's field
    return box;
}

// An empty entry, then every record of a session table: the code as the
// value, the name as shown. The table's pointer stays where it was.
void fillFromTable(QComboBox* box, const QString& alias, const QString& codeField, const QString& nameField)
{
    box->addItem(QString(), QString());
    store::WorkArea* a = store::Workspace::instance().area(alias);
    if (!a)
        return;
    const bool eof = a->eof();
    const quint32 rec = a->recNo();
    for (a->goTop(); !a->eof(); a->skip())
        box->addItem(a->str(nameField).trimmed(), a->str(codeField).trimmed());
    if (eof)
        a->goTo(0);
    else
        a->goTo(rec);
}

QComboBox* yesNoBox(QWidget* parent, const QString& id)
{
    QComboBox* box = comboBox(parent, id);
    box->addItems({QStringLiteral(" "), QStringLiteral("SI"), QStringLiteral("NO")});
    return box;
}

} // namespace

TransferDialog::TransferDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LIBTRAS"));
    setWindowTitle(QStringLiteral("Traspaso entre Libros de guardia"));
    auto* lay = new QVBoxLayout(this);

    auto* dates = new QGroupBox(QStringLiteral("Rango de fechas a exportar"), this);
    auto* dateRow = new QFormLayout(dates);
    dateRow->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    m_from = ui::dateEdit(dates, QStringLiteral("600"));
    m_until = ui::dateEdit(dates, QStringLiteral("601"));
    dateRow->addRow(QStringLiteral("Desde"), m_from);
    dateRow->addRow(QStringLiteral("Hasta"), m_until);
    lay->addWidget(dates);

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    lay->addLayout(form);
    m_band = comboBox(this, QStringLiteral("603"));
    fillFromTable(m_band, store::alias::kBand, QStringLiteral("CODBAN"), QStringLiteral("BANDA"));
    form->addRow(QStringLiteral("Banda"), m_band);
    m_mode = comboBox(this, QStringLiteral("604"));
    fillFromTable(m_mode, store::alias::kModo, QStringLiteral("CODMOD"), QStringLiteral("MODO"));
    form->addRow(QStringLiteral("Modo"), m_mode);
    m_qslReceived = yesNoBox(this, QStringLiteral("610"));
    form->addRow(QStringLiteral("QSL Rec"), m_qslReceived);
    m_qslSent = yesNoBox(this, QStringLiteral("611"));
    form->addRow(QStringLiteral("QSL Env"), m_qslSent);
    m_operator = new QLineEdit(this);
    m_operator->setObjectName(QStringLiteral("614"));
    m_operator->setMaxLength(12);
    ui::keepUpperCase(m_operator);
    ui::fitChars(m_operator, 14);
    form->addRow(QStringLiteral("Operador"), m_operator);

    auto* target = new QGroupBox(QStringLiteral("Libro destino"), this);
    auto* targetRow = new QHBoxLayout(target);
    m_destination = comboBox(target, QStringLiteral("615"));
    m_destination->addItem(QString());
    for (const BookRow& b : listBooks())
        m_destination->addItem(b.name);
    m_destination->setMinimumContentsLength(kNameWidth);
    targetRow->addWidget(m_destination, 1);
    lay->addWidget(target);

    ui::addOkCancel(this, lay);
}

TransferCriteria TransferDialog::criteria() const
{
    TransferCriteria c;
    c.from = ui::dialogDate(m_from->text());
    c.until = ui::dialogDate(m_until->text());
    c.band = m_band->currentData().toString();
    c.mode = m_mode->currentData().toString();
    c.qslReceived = m_qslReceived->currentText().trimmed();
    c.qslSent = m_qslSent->currentText().trimmed();
    c.operatorCall = m_operator->text().trimmed().toUpper();
    c.destination = m_destination->currentText().trimmed();
    return c;
}

void TransferDialog::accept()
{
    if (ui::datesReadable({m_from, m_until}))
        QDialog::accept();
}

void LIBTRAS(QWidget* parent)
{
    TransferDialog d(parent);
    if (d.exec() != QDialog::Accepted)
        return;
    const TransferCriteria c = d.criteria();
    if (!transferAllowed(c))
        return;
    TransferResult result;
    ui::messages().meter([&](ui::Meter& m) { result = transferQsos(m, c); }, QString(), QStringLiteral("Traspasando datos..."));
    if (result.ran)
        ui::messages().info(transferMessage(result.copied));
}

} // namespace logbook
