#include "settings/spot_rules_page.h"
#include "settings/flag_list.h"

#include "core/messages.h"
#include "core/version.h"
#include "store/aliases.h"
#include "store/record_buffer.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/file_chooser.h"
#include "ui/q7browse.h"
#include "ui/stored_colour.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSoundEffect>
#include <QUrl>
#include <QVBoxLayout>

namespace settings {

namespace {

const QString kAlias = QStringLiteral("CfgSpot2");

// "Resaltar": the part of a spot line a rule colours.
const std::pair<const char*, const char*> kHighlight[] = {
    {"*", "Toda la fila"}, {"C", "Inidicativo"}, {"M", "Modo"}, {"B", "Banda"}, {"BM", "Banda+Modo"}, {"CO", "Comentario"}};
// The statuses a rule matches.
const std::pair<const char*, const char*> kStatus[] = {{"", ""}, {"T", "Trabajado"}, {"C", "Confirmado"}, {"N", "Nuevo"}};
const char* const kStatusFields[] = {"STSENT", "STSMODE", "STSBAND", "STSBANDMOD", "STSIOTA"};
// The "Resaltar" choices under which each status list may be set.
const char* const kEnabledFor[] = {"C", "M", "B", "BM", "CO"};

QString field(store::WorkArea& a, const char* name)
{
    const QString n = QString::fromLatin1(name);
    return a.fieldPos(n) >= 0 ? a.str(n).trimmed() : QString();
}

} // namespace

SpotRulesList::SpotRulesList(QWidget* parent)
    : QWidget(parent)
{
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    m_area = openSecondArea(store::alias::kCfgSpot, kAlias);
    if (!m_area) {
        lay->addWidget(new QLabel(QStringLiteral("No está abierta la tabla de colores y sonidos del cluster."), this));
        return;
    }
    m_area->setOrder(QString());
    m_area->goTop();
    m_grid = new ui::tQ7Browse(m_area, this);
    m_grid->setObjectName(QStringLiteral("4001"));
    const std::pair<const char*, const char*> letters[] = {
        {"Ent", "STSENT"}, {"Mod", "STSMODE"}, {"Ban", "STSBAND"}, {"B/M", "STSBANDMOD"}};
    for (const auto& [header, name] : letters) {
        const char* f = name;
        m_grid->addColumn({.header = QString::fromLatin1(header), .text = [f](store::WorkArea& a) { return field(a, f); },
                           .align = Qt::AlignCenter, .width = 38});
    }
    m_grid->addColumn({.header = QStringLiteral("Descripción"), .text = [](store::WorkArea& a) { return field(a, "DESC"); }, .width = 240});
    m_grid->addColumn({.header = QStringLiteral("Color"),
                       .text = [](store::WorkArea&) { return QStringLiteral(" COLOR "); },
                       .align = Qt::AlignCenter,
                       .foreground = [](store::WorkArea& a) { return ui::storedColour(qint64(a.num(QStringLiteral("COLFOR")))); },
                       .background = [](store::WorkArea& a) { return ui::storedColour(qint64(a.num(QStringLiteral("COLBCK")))); },
                       .width = 80});
    m_grid->installEventFilter(this);
    connect(m_grid, &ui::tQ7Browse::recordActivated, this, [this] { editRule(false); });
    lay->addWidget(m_grid);
}

SpotRulesList::~SpotRulesList()
{
    if (m_area)
        store::Workspace::instance().close(kAlias);
}

bool SpotRulesList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Space: editRule(false); return true;
        case Qt::Key_Insert: editRule(true); return true;
        case Qt::Key_Delete: deleteRule(); return true;
        case Qt::Key_F5: m_grid->refresh(); return true;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SpotRulesList::editRule(bool fresh)
{
    if (!m_area)
        return;
    if (!fresh && m_area->eof())
        fresh = true;
    store::RecordBuffer buffer(m_area);
    if (fresh)
        buffer.blank();
    else
        buffer.load();
    SpotRuleDialog d(&buffer, this);
    // just below the chosen row, above it when it would leave the list
    const QRect row = m_grid->visualRect(m_grid->currentIndex());
    if (row.isValid()) {
        QPoint at = m_grid->viewport()->mapToGlobal(row.bottomLeft());
        const int bottom = m_grid->mapToGlobal(QPoint(0, m_grid->height())).y();
        d.adjustSize();
        if (at.y() + d.height() > bottom)
            at.setY(m_grid->viewport()->mapToGlobal(row.topLeft()).y() - d.height());
        d.move(at);
    }
    if (d.exec() != QDialog::Accepted || (!fresh && !buffer.modified()))
        return;
    if (store::Status s = buffer.save(fresh); !s.isOk()) {
        ui::messages().stop(s.text());
        return;
    }
    m_grid->refresh();
    m_grid->setCurrentRecord(m_area->recNo());
}

void SpotRulesList::deleteRule()
{
    if (!m_area || m_area->eof())
        return;
    if (!ui::messages().yesNo(QStringLiteral("Confirma eliminacion del registro")))
        return;
    if (!lockWithRetries(*m_area)) {
        ui::messages().alert(QStringLiteral("Registro no ha podido ser eliminado"));
        return;
    }
    m_area->deleteRecord();
    m_area->unlock();
    m_area->skip();
    if (m_area->eof())
        m_area->goTop();
    const quint32 next = m_area->recNo();
    m_grid->refresh();
    m_grid->setCurrentRecord(next);
}

SpotRuleDialog::SpotRuleDialog(store::RecordBuffer* buffer, QWidget* parent)
    : QDialog(parent)
    , m_buffer(buffer)
{
    setObjectName(QStringLiteral("SPOTCOLSND"));
    setWindowTitle(QStringLiteral("Configurar colores y sonidos"));
    auto* lay = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto text = [&](const char* name) { return m_buffer->get(QString::fromLatin1(name)).toString().trimmed(); };

    m_fld = new QComboBox(this);
    m_fld->setObjectName(QStringLiteral("606"));
    for (const auto& [code, caption] : kHighlight)
        m_fld->addItem(QString::fromUtf8(caption), QString::fromLatin1(code));
    m_fld->setCurrentIndex(std::max(0, m_fld->findData(text("FLD").isEmpty() ? QStringLiteral("*") : text("FLD"))));
    form->addRow(QStringLiteral("Resaltar"), m_fld);
    const char* labels[] = {"Entidad", "Modo", "Banda", "Banda+Modo", "IOTA"};
    const char* ids[] = {"600", "601", "602", "603", "607"};
    for (int i = 0; i < 5; ++i) {
        m_sts[i] = new QComboBox(this);
        m_sts[i]->setObjectName(QString::fromLatin1(ids[i]));
        for (const auto& [code, caption] : kStatus)
            m_sts[i]->addItem(QString::fromUtf8(caption), QString::fromLatin1(code));
        m_sts[i]->setCurrentIndex(std::max(0, m_sts[i]->findData(text(kStatusFields[i]))));
        form->addRow(QString::fromLatin1(labels[i]), m_sts[i]);
    }
    m_desc = new QLineEdit(text("DESC"), this);
    m_desc->setObjectName(QStringLiteral("604"));
    m_desc->setMaxLength(40);
    form->addRow(QStringLiteral("Descripción"), m_desc);

    auto* soundRow = new QHBoxLayout;
    m_sound = new QLineEdit(text("SND"), this);
    m_sound->setObjectName(QStringLiteral("605"));
    m_sound->setMaxLength(55);
    auto* choose = new QPushButton(QStringLiteral("..."), this);
    choose->setFixedWidth(32);
    m_play = new QPushButton(QIcon::fromTheme(QStringLiteral("media-playback-start")), QString(), this);
    m_play->setObjectName(QStringLiteral("702"));
    m_play->setToolTip(QStringLiteral("Reproducir"));
    soundRow->addWidget(m_sound, 1);
    soundRow->addWidget(choose);
    soundRow->addWidget(m_play);
    form->addRow(QStringLiteral("Sonido"), soundRow);
    lay->addLayout(form);

    m_fore = qint64(m_buffer->get(QStringLiteral("COLFOR")).toNumber());
    m_back = qint64(m_buffer->get(QStringLiteral("COLBCK")).toNumber());
    if (m_fore == 0 && m_back == 0)
        m_back = 0xFFFFFF;   // a new rule: black on white, not black on black
    auto* colours = new QHBoxLayout;
    auto* fore = new QPushButton(QStringLiteral("1erPlano"), this);
    fore->setObjectName(QStringLiteral("700"));
    auto* back = new QPushButton(QStringLiteral("Fondo"), this);
    back->setObjectName(QStringLiteral("701"));
    m_sample = new QLabel(QStringLiteral("COLOR ACTUAL"), this);
    m_sample->setObjectName(QStringLiteral("500"));
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setMinimumWidth(140);
    m_sample->setAutoFillBackground(true);
    colours->addWidget(fore);
    colours->addWidget(back);
    colours->addWidget(m_sample, 1);
    lay->addLayout(colours);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("1"));
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(buttons);

    connect(m_fld, &QComboBox::currentIndexChanged, this, &SpotRuleDialog::enableStatuses);
    connect(fore, &QPushButton::clicked, this, [this] {
        const QColor c = QColorDialog::getColor(ui::storedColour(m_fore), this, QStringLiteral("Color del texto"));
        if (c.isValid())
            m_fore = ui::storedValue(c);
        showColours();
    });
    connect(back, &QPushButton::clicked, this, [this] {
        const QColor c = QColorDialog::getColor(ui::storedColour(m_back), this, QStringLiteral("Color de fondo"));
        if (c.isValid())
            m_back = ui::storedValue(c);
        showColours();
    });
    connect(choose, &QPushButton::clicked, this, [this] {
        const QString path = ui::chooseFile(this, ui::ChooseMode::Open, QStringLiteral("sound"),
                                            QStringLiteral(ORLANLOG_NAME ORLANLOG_VERSION " Seleccione sonido a reproducir"),
                                            m_sound->text(), QString(), QStringLiteral("WAV (*.wav)"), QDir::homePath());
        if (!path.isEmpty())
            m_sound->setText(path);
    });
    auto playable = [this] { m_play->setEnabled(QFileInfo(m_sound->text().trimmed()).isFile()); };
    connect(m_sound, &QLineEdit::textChanged, this, playable);
    connect(m_play, &QPushButton::clicked, this, [this] {
        // played while the dialog goes on
        auto* effect = new QSoundEffect(this);
        effect->setSource(QUrl::fromLocalFile(m_sound->text().trimmed()));
        effect->play();
    });
    playable();
    enableStatuses();
    showColours();
}

void SpotRuleDialog::enableStatuses()
{
    const QString fld = m_fld->currentData().toString();
    for (int i = 0; i < 5; ++i) {
        const bool on = fld == QLatin1String("*") || fld == QLatin1String(kEnabledFor[i]);
        m_sts[i]->setEnabled(on);
        if (!on)
            m_sts[i]->setCurrentIndex(0);   // a rule for one part holds that part's status only
    }
}

void SpotRuleDialog::showColours()
{
    QPalette p = m_sample->palette();
    p.setColor(QPalette::Window, ui::storedColour(m_back));
    p.setColor(QPalette::WindowText, ui::storedColour(m_fore));
    m_sample->setPalette(p);
}

void SpotRuleDialog::accept()
{
    auto put = [this](const char* name, const QString& v) { m_buffer->set(QString::fromLatin1(name), store::Value::text(v)); };
    put("FLD", m_fld->currentData().toString());
    for (int i = 0; i < 5; ++i)
        put(kStatusFields[i], m_sts[i]->currentData().toString());
    put("DESC", m_desc->text().trimmed());
    put("SND", m_sound->text().trimmed());
    m_buffer->set(QStringLiteral("COLFOR"), store::Value::number(double(m_fore)));
    m_buffer->set(QStringLiteral("COLBCK"), store::Value::number(double(m_back)));
    QDialog::accept();
}

} // namespace settings
