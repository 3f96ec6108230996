#include "settings_dialog.h"
#include "settings/flag_list.h"
#include "settings/font_text.h"
#include "settings/spot_rules_page.h"

#include "cluster/spot_rules.h"
#include "online/callbook_endpoints.h"
#include "store/aliases.h"
#include "ui/stored_colour.h"

#include "store/record_buffer.h"
#include "store/work_area.h"
#include "ui/dialog_helpers.h"
#include "core/messages.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QGridLayout>
#include <QSpinBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace settings {

namespace {

CatHooks& catHooks()
{
    static CatHooks h;
    return h;
}

SettingsHooks& settingsHooks()
{
    static SettingsHooks h;
    return h;
}

} // namespace

void setCatHooks(CatHooks hooks) { catHooks() = std::move(hooks); }
void setSettingsHooks(SettingsHooks hooks) { settingsHooks() = std::move(hooks); }


SettingsDialog::SettingsDialog(store::WorkArea* cfg, const QString& appName, QWidget* parent)
    : QDialog(parent), m_cfg(cfg), m_buffer(std::make_unique<store::RecordBuffer>(cfg))
{
    setObjectName(QStringLiteral("CFG"));
    setWindowTitle(QStringLiteral("Configuración ") + appName);
    m_buffer->load();
    auto* lay = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    m_tabs = tabs;
    tabs->addTab(buildGeneralPage(tabs), QStringLiteral("&General"));
    tabs->addTab(buildLogPage(tabs), QStringLiteral("&Log"));
    tabs->addTab(buildQslPage(tabs), QStringLiteral("Gestion QSL"));
    tabs->addTab(buildPreviousPage(tabs), QStringLiteral("QSO anteriores"));
    tabs->addTab(buildCatPage(tabs), QStringLiteral("CAT"));
    auto* digital = new FlagList(store::alias::kModo, QStringLiteral("ModoDig"), "CODMOD", QStringLiteral("Modo"), "DIG",
                                 QStringLiteral("Digital"), tabs);
    digital->setObjectName(QStringLiteral("CFGDIG"));
    tabs->addTab(digital, QStringLiteral("Modos Digitales"));
    tabs->addTab(buildClusterPage(tabs), QStringLiteral("Anuncios DX Cluster"));
    auto* bands = new FlagList(store::alias::kBand, QStringLiteral("BandCls"), "CODBAN", QStringLiteral("Banda"), "CLUSIN",
                               QStringLiteral("Incluir"), tabs);
    bands->setObjectName(QStringLiteral("CFGCLSBAND"));
    tabs->addTab(bands, QStringLiteral("Cluster Sel.Bandas"));
    auto* modes = new FlagList(store::alias::kModo, QStringLiteral("ModoCls"), "CODMOD", QStringLiteral("Modo"), "CLUSIN",
                               QStringLiteral("Incluir"), tabs);
    modes->setObjectName(QStringLiteral("CFGCLSMODE"));
    tabs->addTab(modes, QStringLiteral("Cluster Sel.Modos"));
    lay->addWidget(tabs);
    // wide enough for every tab's caption
    setMinimumWidth(tabs->tabBar()->sizeHint().width() + 40);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("OK"));
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(buttons);
}

SettingsDialog::~SettingsDialog() = default;

QCheckBox* SettingsDialog::check(QWidget* page, const char* id, const QString& label, const char* field)
{
    auto* b = new QCheckBox(label, page);
    b->setObjectName(QString::fromLatin1(id));
    const QString f = QString::fromLatin1(field);
    b->setChecked(m_buffer->get(f).toBool());
    connect(b, &QCheckBox::toggled, this, [this, f](bool on) { m_buffer->set(f, store::Value::logical(on)); });
    return b;
}

QPushButton* SettingsDialog::colourButton(QWidget* page, const char* id, const char* field)
{
    auto* b = new QPushButton(page);
    b->setObjectName(QString::fromLatin1(id));
    b->setMinimumWidth(120);
    b->setToolTip(QStringLiteral("Cambiar el color"));
    const QString f = QString::fromLatin1(field);
    auto show = [this, b, f] {
        const QColor c = ui::storedColour(qint64(m_buffer->get(f).toNumber()));
        b->setText(c.name().toUpper());
        b->setStyleSheet(QStringLiteral("background-color: %1; color: %2").arg(c.name(), c.lightness() < 128 ? QStringLiteral("white") : QStringLiteral("black")));
    };
    show();
    connect(b, &QPushButton::clicked, this, [this, f, show] {
        const QColor c = QColorDialog::getColor(ui::storedColour(qint64(m_buffer->get(f).toNumber())), this, QStringLiteral("Color"));
        if (!c.isValid())
            return;
        m_buffer->set(f, store::Value::number(double(ui::storedValue(c))));
        show();
    });
    return b;
}

QWidget* SettingsDialog::buildGeneralPage(QWidget* parent)
{
    auto* general = new QWidget(parent);
    general->setObjectName(QStringLiteral("CFGGRAL"));
    auto* outer = new QVBoxLayout(general);
    auto* form = new QFormLayout;
    m_call = ui::addField(form, QStringLiteral("400"), QStringLiteral("Indicativo"), m_buffer.get(), QStringLiteral("CALL"),
                          {.upper = true});
    m_call->setMaxLength(12);
    ui::addField(form, QStringLiteral("401"), QStringLiteral("Nombre"), m_buffer.get(), QStringLiteral("NOMBRE"))->setMaxLength(12);
    ui::addField(form, QStringLiteral("402"), QStringLiteral("Locator"), m_buffer.get(), QStringLiteral("QRA"),
                 {.picture = QStringLiteral("!!99!!")});
    QLineEdit* email = ui::addField(form, QStringLiteral("403"), QStringLiteral("E-mail"), m_buffer.get(), QStringLiteral("EMAIL"));
    email->setMaxLength(25);
    ui::fitChars(email, 27);
    outer->addLayout(form);
    outer->addWidget(check(general, "501", QStringLiteral(" Auto altas"), "AUTOADD"));
    outer->addWidget(check(general, "502", QStringLiteral("Entorno MDI"), "MDI"));
    outer->addWidget(check(general, "503", QStringLiteral("Chequear Entidad al recibir QSL"), "CHKCFM"));
    auto* fonts = new QGroupBox(QStringLiteral("Tipos de letra"), general);
    auto* fl = new QFormLayout(fonts);
    auto fontRow = [&](const char* buttonId, const char* showId, const QString& label, const char* field) {
        const QString f = QString::fromLatin1(field);
        auto* shown = new QLineEdit(m_buffer->get(f).toString().trimmed(), fonts);
        shown->setObjectName(QString::fromLatin1(showId));
        shown->setReadOnly(true);
        ui::fitChars(shown, 30);
        auto* change = new QPushButton(QStringLiteral("Cambiar"), fonts);
        change->setObjectName(QString::fromLatin1(buttonId));
        auto* row = new QHBoxLayout;
        row->addWidget(shown, 1);
        row->addWidget(change);
        fl->addRow(label, row);
        connect(change, &QPushButton::clicked, this, [this, f, shown] {
            const QString chosen = SELFONT(m_buffer->get(f).toString().trimmed(), this);
            m_buffer->set(f, store::Value::text(chosen));
            shown->setText(chosen);
        });
    };
    fontRow("301", "601", QStringLiteral("Principal"), "FONTPRI");
    fontRow("302", "602", QStringLiteral("Dialog entrada datos"), "FONTENT");
    outer->addWidget(fonts);
    outer->addStretch(1);
    return general;
}

QWidget* SettingsDialog::buildLogPage(QWidget* parent)
{
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("CFGLOG"));
    auto* lay = new QVBoxLayout(page);
    lay->addWidget(check(page, "500", QStringLiteral("Alternar colores"), "LOGPAUTADO"));
    auto* colours = new QFormLayout;
    colours->addRow(QStringLiteral("Color fondo 1"), colourButton(page, "502", "LOGBCK1"));
    colours->addRow(QStringLiteral("Color fondo 2"), colourButton(page, "504", "LOGBCK2"));
    lay->addLayout(colours);
    auto* qrz = new QGroupBox(online::qrzName(), page);
    auto* ql = new QFormLayout(qrz);
    ql->addRow(check(qrz, "505", QStringLiteral("Rellenar automaticamente datos desde ") + online::qrzName(), "QRZFILL"));
    ql->addRow(check(qrz, "506", QStringLiteral("Soy usuario registrado XML"), "QRZXML"));
    ui::addField(ql, QStringLiteral("507"), QStringLiteral("Usuario"), m_buffer.get(), QStringLiteral("QRZUSR"))->setMaxLength(30);
    QLineEdit* qrzPass = ui::addField(ql, QStringLiteral("508"), QStringLiteral("Contraseña"), m_buffer.get(), QStringLiteral("QRZPSW"));
    qrzPass->setMaxLength(30);
    qrzPass->setEchoMode(QLineEdit::Password);
    QLineEdit* prefix = ui::addField(ql, QStringLiteral("509"), QStringLiteral("Prefijo "), m_buffer.get(), QStringLiteral("QRZPFX"));
    prefix->setMaxLength(50);
    ui::fitChars(prefix, 40);
    lay->addWidget(qrz);
    auto* qth = new QGroupBox(online::hamQthName(), page);
    auto* tl = new QFormLayout(qth);
    ui::addField(tl, QStringLiteral("510"), QStringLiteral("Usuario"), m_buffer.get(), QStringLiteral("QTHUSR"))->setMaxLength(30);
    QLineEdit* qthPass = ui::addField(tl, QStringLiteral("511"), QStringLiteral("Contraseña"), m_buffer.get(), QStringLiteral("QTHPSW"));
    qthPass->setMaxLength(30);
    qthPass->setEchoMode(QLineEdit::Password);
    lay->addWidget(qth);
    lay->addWidget(check(page, "512", QStringLiteral("Activar fichero de conocidos"), "KNOW"));
    lay->addStretch(1);
    return page;
}

QWidget* SettingsDialog::buildQslPage(QWidget* parent)
{
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("CFGQSL"));
    auto* lay = new QVBoxLayout(page);
    lay->addWidget(check(page, "500", QStringLiteral("Alternar colores"), "QSLPAUTADO"));
    auto* colours = new QFormLayout;
    colours->addRow(QStringLiteral("Color fondo 1"), colourButton(page, "502", "QSLBCK1"));
    colours->addRow(QStringLiteral("Color fondo 2"), colourButton(page, "504", "QSLBCK2"));
    lay->addLayout(colours);
    lay->addWidget(check(page, "505", QStringLiteral("Considerar QSL recibida via LOTW como confirmado"), "LOTWCFM"));
    lay->addStretch(1);
    return page;
}

QWidget* SettingsDialog::buildPreviousPage(QWidget* parent)
{
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("CFGANT"));
    auto* lay = new QVBoxLayout(page);
    lay->addWidget(check(page, "500", QStringLiteral("Activar colores para identificar estao de QSL"), "ACOLACT"));
    auto group = [&](const QString& title, const char* foreId, const char* fore, const char* backId, const char* back) {
        auto* g = new QGroupBox(title, page);
        auto* f = new QFormLayout(g);
        f->addRow(QStringLiteral("Color letras"), colourButton(g, foreId, fore));
        f->addRow(QStringLiteral("Color fondo 2"), colourButton(g, backId, back));
        lay->addWidget(g);
    };
    group(QStringLiteral("QSL Recibida"), "501", "AQSLRXFOR", "502", "AQSLRXBCK");
    group(QStringLiteral("QSL Enviada no Recibida"), "503", "AQSLTXFOR", "504", "AQSLTXBCK");
    lay->addStretch(1);
    return page;
}

QWidget* SettingsDialog::buildClusterPage(QWidget* parent)
{
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("CFGCLUS"));
    auto* lay = new QVBoxLayout(page);
    auto* top = new QGridLayout;
    top->addWidget(check(page, "500", QStringLiteral("Activar colores"), "CCOLACT"), 0, 0);
    top->addWidget(check(page, "501", QStringLiteral("Alarmas sonoras activas"), "CSNDACT"), 1, 0);
    top->addWidget(check(page, "502", QStringLiteral("Chequear IOTA"), "CIOTAACT"), 2, 0);
    m_voice = check(page, "503", QStringLiteral("Activar Voz"), "CLSVOICE");
    top->addWidget(m_voice, 0, 1);
    auto spin = [&](const char* id, int lo, int hi, const char* field) {
        auto* b = new QSpinBox(page);
        b->setObjectName(QString::fromLatin1(id));
        b->setRange(lo, hi);
        const QString f = QString::fromLatin1(field);
        b->setValue(int(m_buffer->get(f).toNumber()));
        connect(b, &QSpinBox::valueChanged, this, [this, f](int v) { m_buffer->set(f, store::Value::number(v)); });
        return b;
    };
    m_rate = spin("504", 0, 9, "VOICERATE");
    m_pitch = spin("505", -25, 25, "VOICEPITCH");
    auto* voice = new QFormLayout;
    voice->addRow(QStringLiteral("Voice Rate( 0 a 9)"), m_rate);
    voice->addRow(QStringLiteral("Voice Pitch( -25 a 25)"), m_pitch);
    top->addLayout(voice, 1, 1, 2, 1);
    top->setColumnStretch(2, 1);
    lay->addLayout(top);
    connect(m_voice, &QCheckBox::toggled, this, [this] { voiceTest(); });
    auto* rules = new SpotRulesList(page);
    lay->addWidget(rules, 1);
    return page;
}

void SettingsDialog::voiceTest()
{
    // the station's call spelt out, with the rate and pitch on the page
    const QString call = m_call->text().trimmed().toUpper();
    if (settingsHooks().speak)
        settingsHooks().speak(QStringLiteral("hello ") + cluster::ALPHA(call), m_rate->value(), m_pitch->value());
}

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
    // the windows whose colours may have changed
    if (settingsHooks().refreshWindow)
        for (const char* w : {"ManLog", "LogQsl", "QsoAnt"})
            settingsHooks().refreshWindow(QString::fromLatin1(w));
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
