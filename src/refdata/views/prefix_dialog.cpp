#include "prefix_dialog.h"

#include "refdata/entity_maintenance.h"
#include "refdata/views/zone_box.h"

#include "store/access.h"
#include "store/record_buffer.h"
#include "store/work_area.h"
#include "ui/dialog_helpers.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace refdata {

struct PrefixDialog::Form {
    store::WorkArea* prefixes;
    bool isNew;
    store::RecordBuffer buffer;
    Form(store::WorkArea* p, bool n) : prefixes(p), isNew(n), buffer(p) {}
};

PrefixDialog::PrefixDialog(store::WorkArea* prefixes, bool isNew, const QString& entityCode, QWidget* parent)
    : QDialog(parent), m_form(new Form(prefixes, isNew))
{
    setObjectName(QStringLiteral("PFXEDT"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    // without a frame of its own, a line marks where it ends over the list
    setStyleSheet(QStringLiteral("QDialog#PFXEDT { border: 1px solid palette(shadow); }"));
    if (isNew)
        m_form->buffer.set(QStringLiteral("CODENT"), store::Value::text(entityCode));
    else
        m_form->buffer.load();
    store::RecordBuffer* buf = &m_form->buffer;

    auto* lay = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    lay->addLayout(form);
    QLineEdit* pfx = ui::addField(form, QStringLiteral("600"), QStringLiteral("Prefijo"), buf, QStringLiteral("PFX"),
                                  {.upper = true, .leave = prefixText});
    pfx->setMaxLength(10);
    ui::fitChars(pfx, 12);
    form->addRow(QStringLiteral("CQ Z"), zoneBox(this, QStringLiteral("601"), buf, QStringLiteral("CQZ"), zoneList(40)));
    form->addRow(QStringLiteral("ITU Z"), zoneBox(this, QStringLiteral("602"), buf, QStringLiteral("ITUZ"), zoneList(90)));
    QLineEdit* qra = ui::addField(form, QStringLiteral("603"), QStringLiteral("Locator"), buf, QStringLiteral("QRA"),
                                  {.picture = QStringLiteral("AA99AA"), .upper = true});
    ui::fitChars(qra, 8);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("&Ok"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    buttons->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(buttons);
}

PrefixDialog::~PrefixDialog() { delete m_form; }

bool PrefixDialog::run()
{
    if (exec() != QDialog::Accepted)
        return false;
    if (!m_form->isNew && !m_form->buffer.modified())
        return false;
    return store::saveBuffer(m_form->buffer, m_form->isNew);
}

} // namespace refdata
