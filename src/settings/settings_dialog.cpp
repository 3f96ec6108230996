#include "settings_dialog.h"

#include "store/record_buffer.h"
#include "store/work_area.h"
#include "ui/dialog_helpers.h"
#include "core/messages.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace settings {

SettingsDialog::SettingsDialog(store::WorkArea* cfg, const QString& appName, QWidget* parent)
    : QDialog(parent), m_cfg(cfg), m_buffer(std::make_unique<store::RecordBuffer>(cfg))
{
    setObjectName(QStringLiteral("CFG"));
    setWindowTitle(QStringLiteral("Configuración ") + appName);
    m_buffer->load();
    auto* lay = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    auto* general = new QWidget(tabs);
    general->setObjectName(QStringLiteral("CFGGRAL"));
    auto* form = new QFormLayout(general);
    m_call = ui::addField(form, QStringLiteral("400"), QStringLiteral("Indicativo"), m_buffer.get(), QStringLiteral("CALL"),
                          {.upper = true});
    m_call->setMaxLength(12);
    ui::addField(form, QStringLiteral("401"), QStringLiteral("Nombre"), m_buffer.get(), QStringLiteral("NOMBRE"))->setMaxLength(12);
    ui::addField(form, QStringLiteral("402"), QStringLiteral("Locator"), m_buffer.get(), QStringLiteral("QRA"),
                 {.picture = QStringLiteral("!!99!!")});
    QLineEdit* email = ui::addField(form, QStringLiteral("403"), QStringLiteral("E-mail"), m_buffer.get(), QStringLiteral("EMAIL"));
    email->setMaxLength(25);
    ui::fitChars(email, 27);
    tabs->addTab(general, QStringLiteral("&General"));
    lay->addWidget(tabs);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("OK"));
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(buttons);
}

SettingsDialog::~SettingsDialog() = default;

bool SettingsDialog::callGiven()
{
    // the field writes back when it is left; take what it shows now
    m_buffer->set(QStringLiteral("CALL"), store::Value::text(m_call->text().trimmed().toUpper()));
    if (!m_call->text().trimmed().isEmpty())
        return true;
    ui::messages().stop(QStringLiteral("Debe introducir un indicativo"));
    m_call->setFocus();
    return false;
}

void SettingsDialog::accept()
{
    for (QLineEdit* e : findChildren<QLineEdit*>())
        emit e->editingFinished();
    if (!callGiven())
        return;
    if (store::Status s = m_buffer->save(); !s) {
        ui::messages().stop(s.text());
        return;
    }
    QDialog::accept();
}

void SettingsDialog::reject()
{
    // the dialog cannot be left while there is no call
    const QString stored = m_cfg->str(QStringLiteral("CALL")).trimmed();
    if (stored.isEmpty() && !callGiven())
        return;
    if (stored.isEmpty()) {
        accept();
        return;
    }
    QDialog::reject();
}

bool CFGPGM(store::WorkArea* cfg, const QString& appName, QWidget* parent)
{
    cfg->goTop();
    SettingsDialog d(cfg, appName, parent);
    return d.exec() == QDialog::Accepted;
}

} // namespace settings
