#include "rig_dialog.h"

#include "station/cat.h"
#include "station/rig_control.h"
#include "station/rig_link.h"
#include "station/rig_modes.h"
#include "core/messages.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

namespace station {

namespace {

QStringList serialPorts()
{
    QStringList ports;
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QString& f : byId.entryList(QDir::Files | QDir::System))
        ports << byId.absoluteFilePath(f);
    const QDir dev(QStringLiteral("/dev"));
    for (const QString& f : dev.entryList({QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")}, QDir::System))
        ports << dev.absoluteFilePath(f);
    for (int i = 0; i < 4; ++i)
        ports << QStringLiteral("/dev/ttyS%1").arg(i);
    return ports;
}

} // namespace

RigDialog::RigDialog(int rig, QWidget* parent) : QDialog(parent), m_rig(rig == 2 ? 2 : 1)
{
    setObjectName(QStringLiteral("CATCFG"));
    setWindowTitle(QStringLiteral("Configurar equipo %1 (CAT)").arg(m_rig));
    auto* lay = new QVBoxLayout(this);

    auto* kind = new QHBoxLayout;
    m_direct = new QRadioButton(QStringLiteral("Equipo en puerto serie (Hamlib)"), this);
    m_direct->setObjectName(QStringLiteral("Directo"));
    m_network = new QRadioButton(QStringLiteral("Servidor rigctld"), this);
    m_network->setObjectName(QStringLiteral("Rigctld"));
    kind->addWidget(m_direct);
    kind->addWidget(m_network);
    kind->addStretch(1);
    lay->addLayout(kind);

    m_pages = new QStackedWidget(this);
    auto* direct = new QWidget(m_pages);
    auto* dl = new QFormLayout(direct);
    m_search = new QLineEdit(direct);
    m_search->setObjectName(QStringLiteral("Buscar"));
    m_search->setPlaceholderText(QStringLiteral("fabricante, modelo o número"));
    m_search->setClearButtonEnabled(true);
    dl->addRow(QStringLiteral("Buscar"), m_search);
    m_models = new QListWidget(direct);
    m_models->setObjectName(QStringLiteral("Modelos"));
    m_models->setMinimumSize(380, 200);
    for (const RigModel& m : knownModels()) {
        auto* item = new QListWidgetItem(QStringLiteral("%1 %2  (%3)").arg(m.manufacturer, m.name).arg(m.model), m_models);
        item->setData(Qt::UserRole, m.model);
    }
    dl->addRow(QStringLiteral("Modelo"), m_models);
    m_device = new QComboBox(direct);
    m_device->setObjectName(QStringLiteral("Puerto"));
    m_device->setEditable(true);
    m_device->addItems(serialPorts());
    m_device->lineEdit()->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    dl->addRow(QStringLiteral("Puerto"), m_device);
    m_speed = new QComboBox(direct);
    m_speed->setObjectName(QStringLiteral("Velocidad"));
    m_speed->addItem(QStringLiteral("la del modelo"), 0);
    for (int s : {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200})
        m_speed->addItem(QString::number(s), s);
    dl->addRow(QStringLiteral("Velocidad (baudios)"), m_speed);
    m_pages->addWidget(direct);

    auto* network = new QWidget(m_pages);
    auto* nl = new QFormLayout(network);
    m_host = new QLineEdit(network);
    m_host->setObjectName(QStringLiteral("Servidor"));
    nl->addRow(QStringLiteral("Servidor"), m_host);
    m_tcpPort = new QSpinBox(network);
    m_tcpPort->setObjectName(QStringLiteral("PuertoTCP"));
    m_tcpPort->setRange(1, 65535);
    nl->addRow(QStringLiteral("Puerto TCP"), m_tcpPort);
    auto* hint = new QLabel(QStringLiteral("rigctld debe estar en marcha, p. ej.:\n    rigctld -m 1035 -r /dev/ttyUSB0 -s 19200"), network);
    hint->setObjectName(QStringLiteral("Ayuda"));
    nl->addRow(hint);
    m_pages->addWidget(network);
    lay->addWidget(m_pages, 1);

    auto* probeRow = new QHBoxLayout;
    m_probe = new QPushButton(QStringLiteral("Probar"), this);
    m_probe->setObjectName(QStringLiteral("Probar"));
    m_probe->setToolTip(QStringLiteral("Lee la frecuencia del equipo una vez"));
    probeRow->addWidget(m_probe);
    m_resultLabel = new QLabel(this);
    m_resultLabel->setObjectName(QStringLiteral("Resultado"));
    m_resultLabel->setWordWrap(true);
    probeRow->addWidget(m_resultLabel, 1);
    lay->addLayout(probeRow);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("OK"));
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(buttons);

    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& t) { filterModels(t); });
    connect(m_direct, &QRadioButton::toggled, this, [this] { showKind(); });
    connect(m_probe, &QPushButton::clicked, this, [this] { probe(); });
    setConfig(loadRigConfig(m_rig));
}

void RigDialog::filterModels(const QString& text)
{
    const QStringList words = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int i = 0; i < m_models->count(); ++i) {
        QListWidgetItem* item = m_models->item(i);
        bool all = true;
        for (const QString& w : words)
            all = all && item->text().contains(w, Qt::CaseInsensitive);
        item->setHidden(!all);
    }
    if (m_models->currentItem() && !m_models->currentItem()->isHidden())
        m_models->scrollToItem(m_models->currentItem());
}

void RigDialog::showKind() { m_pages->setCurrentIndex(m_network->isChecked() ? 1 : 0); }

RigConfig RigDialog::config() const
{
    RigConfig c;
    c.network = m_network->isChecked();
    c.model = m_models->currentItem() ? m_models->currentItem()->data(Qt::UserRole).toInt() : 0;
    c.device = m_device->currentText().trimmed();
    c.speed = m_speed->currentData().toInt();
    c.host = m_host->text().trimmed();
    c.tcpPort = m_tcpPort->value();
    return c;
}

void RigDialog::setConfig(const RigConfig& c)
{
    (c.network ? m_network : m_direct)->setChecked(true);
    showKind();
    for (int i = 0; i < m_models->count(); ++i)
        if (m_models->item(i)->data(Qt::UserRole).toInt() == c.model) {
            m_models->setCurrentRow(i);
            m_models->scrollToItem(m_models->item(i), QAbstractItemView::PositionAtCenter);
        }
    m_device->setCurrentText(c.device);
    const int s = m_speed->findData(c.speed);
    m_speed->setCurrentIndex(s >= 0 ? s : 0);
    m_host->setText(c.host);
    m_tcpPort->setValue(c.tcpPort);
}

void RigDialog::probe()
{
    const RigConfig c = config();
    if (!c.configured()) {
        m_resultLabel->setText(c.network ? QStringLiteral("Indique el servidor y el puerto de rigctld")
                                         : QStringLiteral("Elija el modelo del equipo"));
        return;
    }
    m_probing = true;
    m_probe->setEnabled(false);
    m_resultLabel->setText(QStringLiteral("Probando ") + c.describe() + QStringLiteral(" ..."));
    auto reading = std::make_shared<RigReading>();
    // Hamlib may wait for its time-out: never on the window's thread
    QThread* t = QThread::create([c, reading] {
        RigLink link;
        *reading = link.open(c);
    });
    connect(t, &QThread::finished, t, &QObject::deleteLater);
    QPointer<RigDialog> self(this);
    connect(t, &QThread::finished, this, [self, reading] {
        if (!self)
            return;
        self->m_probing = false;
        self->m_probe->setEnabled(true);
        if (reading->status == kOnline)
            self->m_resultLabel->setText(QStringLiteral("%1 (%2): %3 %4")
                                             .arg(statusText(reading->status), reading->rigType,
                                                  frequencyText(reading->hz), modeButton(reading->mode)));
        else
            self->m_resultLabel->setText(statusText(reading->status) + QStringLiteral(". ") + reading->error);
    });
    t->start();
}

void RigDialog::accept()
{
    const RigConfig c = config();
    if (!c.network && c.model <= 0) {
        ui::messages().stop(QStringLiteral("Elija el modelo del equipo en la lista"));
        return;
    }
    if (c.network && c.host.isEmpty()) {
        ui::messages().stop(QStringLiteral("Indique el servidor de rigctld (p. ej. localhost)"));
        return;
    }
    saveRigConfig(m_rig, c);
    QDialog::accept();
}

bool RIGCFG(int rig, QWidget* parent)
{
    RigDialog d(rig, parent);
    if (d.exec() != QDialog::Accepted)
        return false;
    // the rig in use takes the new configuration at once
    if (catRig() && catFlags().rig == d.rig())
        CATON();
    return true;
}

} // namespace station
