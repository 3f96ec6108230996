#include "freq_panel.h"

#include "station/cat.h"
#include "station/rig_control.h"
#include "station/rig_modes.h"
#include "core/messages.h"

#include <QDoubleValidator>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace station {

namespace {

struct Step {
    const char* name;
    std::int64_t hz;
    const char* tip;
};
const Step kSteps[] = {{"100M", 100000000, "100 MHz"}, {"10M", 10000000, "10 MHz"}, {"1M", 1000000, "1 MHz"},
                       {"100K", 100000, "100 kHz"},    {"10K", 10000, "10 kHz"},    {"1K", 1000, "1 kHz"},
                       {"100", 100, "100 Hz"},         {"10", 10, "10 Hz"}};

QToolButton* smallButton(QWidget* parent, const QString& text, const QString& name, int width)
{
    auto* b = new QToolButton(parent);
    b->setText(text);
    b->setObjectName(name);
    b->setFixedSize(width, 20);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

FreqPanel::FreqPanel(bool stepButtons, QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("CATCTRL"));
    setFixedWidth(395);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(2, 0, 2, 0);
    lay->setSpacing(2);

    auto* top = new QHBoxLayout;
    top->setSpacing(4);
    m_freq = new QLabel(QStringLiteral("000.000.00"), this);
    m_freq->setObjectName(QStringLiteral("cFreq"));
    QFont big(QStringLiteral("Monospace"));
    big.setStyleHint(QFont::TypeWriter);
    big.setBold(true);
    big.setPixelSize(30);
    m_freq->setFont(big);
    m_freq->setStyleSheet(QStringLiteral("color: #000080;"));   // dark blue
    top->addWidget(m_freq);
    top->addStretch(1);
    auto* steps = new QGridLayout;
    steps->setSpacing(1);
    int col = 0;
    for (const Step& s : kSteps) {
        for (int sign : {1, -1}) {
            const QString name = (sign > 0 ? QStringLiteral("+") : QStringLiteral("-")) + QString::fromLatin1(s.name);
            QToolButton* b = smallButton(this, sign > 0 ? QStringLiteral("+") : QStringLiteral("-"), name, 22);
            b->setToolTip((sign > 0 ? QStringLiteral("Subir ") : QStringLiteral("Bajar ")) + QString::fromLatin1(s.tip));
            b->setVisible(stepButtons);
            const std::int64_t delta = sign * s.hz;
            connect(b, &QToolButton::clicked, this, [this, delta] { step(delta); });
            steps->addWidget(b, sign > 0 ? 0 : 1, col);
            m_buttons << b;
        }
        ++col;
    }
    top->addLayout(steps);
    lay->addLayout(top);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(1);
    m_set = smallButton(this, QStringLiteral("Set Frq."), QStringLiteral("SetFrq"), 58);
    m_set->setToolTip(QStringLiteral("Poner el equipo en una frecuencia"));
    connect(m_set, &QToolButton::clicked, this, [this] { showSetFrequency(); });
    bottom->addWidget(m_set);
    m_buttons << m_set;
    int count = 0;
    const ModeRow* rows = modeTable(&count);
    for (int i = 0; i < count; ++i) {
        const QString caption = QString::fromLatin1(rows[i].button);
        QToolButton* b = smallButton(this, caption, caption, 40);
        b->setCheckable(true);
        b->setToolTip(QStringLiteral("Modo ") + caption);
        const std::uint32_t code = rows[i].code;
        connect(b, &QToolButton::clicked, this, [this, b, code] {
            // the check follows the rig, not the click
            b->setChecked(catRig() && catRig()->Mode() == code);
            if (RigControl* rig = catRig())
                rig->SetMode(code);
        });
        bottom->addWidget(b);
        m_modes << b;
        m_buttons << b;
    }
    bottom->addStretch(1);
    lay->addLayout(bottom);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("oCatTmr2"));
    m_timer->setInterval(500);
    connect(m_timer, &QTimer::timeout, this, [this] { refresh(); });
    m_timer->start();
    refresh();
}

QString FreqPanel::cFreq() const { return m_freq->text(); }

void FreqPanel::refresh()
{
    RigControl* rig = catRig();
    for (QToolButton* b : m_buttons)
        b->setEnabled(rig != nullptr);
    m_freq->setToolTip(CATSTATUS());
    if (!rig || rig->Status() != kOnline)
        return;
    m_freq->setText(frequencyText(rig->GetRxFrequency()));
    for (QToolButton* b : m_modes)
        b->setChecked(modeFromButton(b->objectName()).value_or(0) == rig->Mode());
}

void FreqPanel::step(std::int64_t delta)
{
    RigControl* rig = catRig();
    if (!rig || rig->Status() != kOnline || rig->GetRxFrequency() <= 0)
        return;
    const std::int64_t hz = rig->GetRxFrequency() + delta;
    if (hz > 0)
        rig->SetSimplexMode(hz);
}

void FreqPanel::showSetFrequency()
{
    if (!m_popup) {
        m_popup = new QFrame(this, Qt::Popup);
        m_popup->setObjectName(QStringLiteral("SetFrqPopup"));
        m_popup->setFrameShape(QFrame::Box);
        auto* l = new QHBoxLayout(m_popup);
        l->setContentsMargins(4, 4, 4, 4);
        l->addWidget(new QLabel(QStringLiteral("MHz"), m_popup));
        m_popupEdit = new QLineEdit(m_popup);
        m_popupEdit->setObjectName(QStringLiteral("SetFrqValue"));
        m_popupEdit->setFixedWidth(90);
        m_popupEdit->setAlignment(Qt::AlignRight);
        l->addWidget(m_popupEdit);
        auto* set = new QPushButton(QStringLiteral("Set"), m_popup);
        set->setObjectName(QStringLiteral("Set"));
        set->setDefault(true);
        connect(set, &QPushButton::clicked, this, [this] { setFromPopup(); });
        connect(m_popupEdit, &QLineEdit::returnPressed, this, [this] { setFromPopup(); });
        l->addWidget(set);
    }
    RigControl* rig = catRig();
    const double mhz = rig ? std::round(double(rig->GetRxFrequency()) / 1000.0) / 1000.0 : 0;
    m_popupEdit->setText(QString::number(mhz, 'f', 3));
    m_popup->adjustSize();
    m_popup->move(m_set->mapToGlobal(QPoint(0, m_set->height())));
    m_popup->show();
    m_popupEdit->setFocus();
    m_popupEdit->selectAll();
}

void FreqPanel::setFromPopup()
{
    bool ok = false;
    const double mhz = m_popupEdit->text().trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !(mhz > 0) || mhz > 100000) {
        ui::messages().stop(QStringLiteral("Frecuencia errónea: \"%1\"\nEscriba los MHz, p. ej. 14.025").arg(m_popupEdit->text()));
        return;
    }
    if (RigControl* rig = catRig())
        rig->SetSimplexMode(std::llround(mhz * 1000000.0));
    m_popup->hide();
}

FreqPanel* CATCTRL(QToolBar* bar)
{
    if (!bar)
        return nullptr;
    const bool steps = catFlags().buttons;
    if (auto* p = bar->findChild<FreqPanel*>(QStringLiteral("CATCTRL"))) {
        for (QToolButton* b : p->findChildren<QToolButton*>())
            if (b->objectName().startsWith(QLatin1Char('+')) || b->objectName().startsWith(QLatin1Char('-')))
                b->setVisible(steps);
        p->refresh();
        return p;
    }
    auto* spacer = new QWidget(bar);
    spacer->setObjectName(QStringLiteral("CATSPACER"));
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(spacer);
    auto* panel = new FreqPanel(steps, bar);
    bar->addWidget(panel);
    return panel;
}

} // namespace station
