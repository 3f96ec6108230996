#include "record_dialog.h"

#include "ui/dialog_helpers.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace refdata {

RecordDialog::RecordDialog(const QString& name, const QString& title, QWidget* parent)
    : QDialog(parent), m_form(new QFormLayout), m_ok(nullptr)
{
    setObjectName(name);
    setWindowTitle(title);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(m_form);
    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("1"));
    m_ok->setDefault(true);
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    lay->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (m_save && m_save())
            accept();
    });
}

QLineEdit* RecordDialog::addLine(const QString& id, const QString& label, const QString& text, int maxLength, bool upper)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(id);
    edit->setMaxLength(maxLength);
    ui::fitChars(edit, qMin(maxLength + 2, 44));
    if (upper)
        ui::keepUpperCase(edit);
    edit->setText(upper ? text.toUpper() : text);
    edit->setCursorPosition(0);
    m_form->addRow(label, edit);
    return edit;
}

void RecordDialog::enableOkWhile(QLineEdit* edit, std::function<bool()> ready)
{
    auto update = [this, ready = std::move(ready)] { m_ok->setEnabled(ready()); };
    connect(edit, &QLineEdit::textChanged, m_ok, update);
    update();
}

bool RecordDialog::run(std::function<bool()> save)
{
    m_save = std::move(save);
    return exec() == QDialog::Accepted;
}

} // namespace refdata
