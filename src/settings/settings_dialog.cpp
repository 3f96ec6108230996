#include "settings_dialog.h"

#include "store/record_buffer.h"
#include "store/work_area.h"
#include "ui/dialog_helpers.h"
#include "core/messages.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace settings {

namespace {

CatHooks& catHooks()
{
    static CatHooks h;
    return h;
}

} // namespace

void setCatHooks(CatHooks hooks) { catHooks() = std::move(hooks); }

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
    tabs->addTab(buildCatPage(tabs), QStringLiteral("CAT"));
    lay->addWidget(tabs);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("OK"));
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(buttons);
}

SettingsDialog::~SettingsDialog() = default;

QWidget* SettingsDialog::buildCatPage(QWidget* parent)
{
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("CFGCAT"));
    auto* lay = new QVBoxLayout(page);
    auto logical = [this](const char* field) { return m_buffer->get(QString::fromLatin1(field)).toBool(); };
    auto check = [page, lay](const char* id, const QString& label, bool on) {
        auto* b = new QCheckBox(label, page);
        b->setObjectName(QString::fromLatin1(id));
        b->setChecked(on);
        lay->addWidget(b);
        return b;
    };
    m_catOn = check("500", QStringLiteral("CAT activo"), logical("CATON"));
    auto* rigs = new QGroupBox(QStringLiteral("Equipo"), page);
    auto* rl = new QHBoxLayout(rigs);
    auto* rig1 = new QRadioButton(QStringLiteral("Equipo 1"), rigs);
    rig1->setObjectName(QStringLiteral("501"));
    m_rig2 = new QRadioButton(QStringLiteral("Equipo 2"), rigs);
    m_rig2->setObjectName(QStringLiteral("502"));
    (int(m_buffer->get(QStringLiteral("CATRIG")).toNumber()) == 2 ? m_rig2 : rig1)->setChecked(true);
    rl->addWidget(rig1);
    rl->addWidget(m_rig2);
    rl->addStretch(1);
    lay->addWidget(rigs);
    m_catCluster = check("503", QStringLiteral("Enviar frecuencia al equipo cuando seleccionamos estación del cluster"),
                         logical("CATCLUS"));
    m_catButtons = check("504", QStringLiteral("Botones para manejo de frecuencia +-"), logical("CATBTN"));
    m_configureCom = new QPushButton(QStringLiteral("Configurar COM"), page);
    m_configureCom->setObjectName(QStringLiteral("600"));
    auto* row = new QHBoxLayout;
    row->addWidget(m_configureCom);
    row->addStretch(1);
    lay->addLayout(row);
    m_rigType = new QLabel(page);
    m_rigType->setObjectName(QStringLiteral("700"));
    m_rigStatus = new QLabel(page);
    m_rigStatus->setObjectName(QStringLiteral("701"));
    lay->addWidget(m_rigType);
    lay->addWidget(m_rigStatus);
    lay->addStretch(1);

    auto rigNumber = [this] { return m_rig2->isChecked() ? 2 : 1; };
    connect(m_catOn, &QCheckBox::toggled, this, [this, rigNumber](bool on) {
        if (catHooks().switched)
            catHooks().switched(on, rigNumber());
        showCatState();
    });
    connect(m_configureCom, &QPushButton::clicked, this, [this, rigNumber] {
        if (catHooks().configure)
            catHooks().configure(rigNumber(), this);
        showCatState();
    });
    showCatState();
    return page;
}

void SettingsDialog::showCatState()
{
    const bool on = m_catOn->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(m_catCluster), static_cast<QWidget*>(m_catButtons),
                       static_cast<QWidget*>(m_configureCom)})
        w->setEnabled(on);
    m_rigType->setVisible(on);
    m_rigStatus->setVisible(on);
    m_rigType->setText(on && catHooks().rigType ? QStringLiteral("Equipo: ") + catHooks().rigType() : QString());
    m_rigStatus->setText(on && catHooks().status ? catHooks().status() : QString());
}

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
    m_buffer->set(QStringLiteral("CATON"), store::Value::logical(m_catOn->isChecked()));
    m_buffer->set(QStringLiteral("CATRIG"), store::Value::number(m_rig2->isChecked() ? 2 : 1));
    m_buffer->set(QStringLiteral("CATCLUS"), store::Value::logical(m_catCluster->isChecked()));
    m_buffer->set(QStringLiteral("CATBTN"), store::Value::logical(m_catButtons->isChecked()));
    if (store::Status s = m_buffer->save(); !s) {
        ui::messages().stop(s.text());
        return;
    }
    QDialog::accept();
}

void SettingsDialog::reject()
{
    // the dialog cannot be left while there is no call
    // rig control as it was before the box was ticked or cleared
    const bool wasOn = m_cfg->logical(QStringLiteral("CATON"));
    if (m_catOn->isChecked() != wasOn && catHooks().switched)
        catHooks().switched(wasOn, int(m_cfg->num(QStringLiteral("CATRIG"))) == 2 ? 2 : 1);
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
