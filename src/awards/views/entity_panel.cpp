#include "entity_panel.h"

#include "entity_grid.h"

#include "awards/entity_status.h"
#include "awards/previous_qsos.h"
#include "logbook/views/entry_form.h"
#include "store/aliases.h"
#include "store/record_buffer.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QScreen>

#include <algorithm>
#include <QVBoxLayout>

namespace awards {

namespace {

QPointer<EntityPanel> g_panel;

QString field(const store::RecordBuffer& q, const char* name)
{
    return q.get(QString::fromLatin1(name)).toString();
}

} // namespace

EntityPanel::EntityPanel(QWidget* form, QWidget* parent)
    : QDialog(parent, Qt::Tool), m_form(form), m_state(std::make_unique<EntityPanelState>())
{
    setObjectName(QStringLiteral("DXCCINFO"));
    setWindowTitle(QStringLiteral("Entidad"));
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(6, 6, 6, 6);
    m_entity = new QLabel(this);
    m_entity->setObjectName(QStringLiteral("entity"));
    QFont bold = m_entity->font();
    bold.setBold(true);
    m_entity->setFont(bold);
    top->addWidget(m_entity);
    auto* figures = new QGridLayout;
    auto value = [this, figures](const QString& caption, int row, int column, const char* name) {
        figures->addWidget(new QLabel(caption, this), row, column);
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setStyleSheet(QStringLiteral("color: #0000A0;"));
        figures->addWidget(l, row, column + 1);
        return l;
    };
    m_bearing = value(QStringLiteral("Rumbo"), 0, 0, "bearing");
    m_lp = value(QStringLiteral("LP"), 0, 2, "lp");
    m_distance = value(QStringLiteral("Distancia"), 1, 0, "distance");
    m_qsos = value(QStringLiteral("Nº QSO"), 1, 2, "qsos");
    top->addLayout(figures);
    m_grid = new EntityGrid(this);
    top->addWidget(m_grid, 1);
    resize(360, 190);
    if (m_form)
        m_form->installEventFilter(this);
}

EntityPanel::~EntityPanel() = default;

QString EntityPanel::text(const char* label) const
{
    const auto* l = findChild<QLabel*>(QString::fromLatin1(label));
    return l ? l->text() : QString();
}

void EntityPanel::place()
{
    if (!m_form)
        return;
    const QRect f = m_form->frameGeometry();
    QPoint at(f.right() + 1, f.top() + 169);
    // kept on the screen: over the form's right side when there is no room beside it
    if (QScreen* screen = m_form->screen()) {
        const QRect room = screen->availableGeometry();
        at.setX(std::max(room.left(), std::min(at.x(), room.right() - frameGeometry().width())));
        at.setY(std::max(room.top(), std::min(at.y(), room.bottom() - frameGeometry().height())));
    }
    move(at);
}

bool EntityPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_form) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            place();
            break;
        case QEvent::Hide:
            hide();
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

int EntityPanel::DPLVIS(const store::RecordBuffer& q)
{
    const QString entity = field(q, "CODENT");
    const int counted = m_state->DPLVIS(entity);
    m_state->DPLCALL(field(q, "CALL"));
    QString station;
    if (store::WorkArea* cfg = store::Workspace::instance().area(store::alias::kCfg); cfg && !cfg->eof())
        station = cfg->str(QStringLiteral("QRA"));
    const InfoPanel info = infoFromQso(entity, field(q, "GRIDSQUARE"), field(q, "QRA"), station);
    m_entity->setText(info.entityName);
    m_bearing->setText(info.shortPathBearing().trimmed());
    m_lp->setText(info.longPathBearing());
    m_distance->setText(info.shortPathDistance().trimmed());
    m_qsos->setText(QString::number(m_state->status().qsos));
    m_grid->show(*m_state, field(q, "BAND"), field(q, "MODE"));
    const int wide = m_grid->fullWidth() + 2 * layout()->contentsMargins().left();
    if (width() != wide) {
        resize(std::max(wide, 240), height());
        place();
    }
    if (!m_state->status().definitionFound)
        m_grid->setToolTip(QStringLiteral("No hay diploma DXCCINFO: se usan las bandas y modos de fábrica"));
    return counted;
}

EntityPanel* DXCCINFO(QWidget* form, const store::RecordBuffer* qso)
{
    if (!g_panel)
        g_panel = new EntityPanel(form, form);   // a tool window of the form: above it when they meet
    if (qso)
        g_panel->DPLVIS(*qso);
    if (form && form->isVisible()) {
        g_panel->place();
        g_panel->show();
    }
    return g_panel;
}

EntityPanel* entityPanel() { return g_panel; }

void DPLVIS2()
{
    if (!g_panel || !g_panel->isVisible())
        return;
    if (logbook::EDTLOGVIS()) {
        if (const store::RecordBuffer* q = logbook::EDTLOGDBF())
            g_panel->DPLVIS(*q);
        return;
    }
    store::WorkArea* log2 = store::Workspace::instance().area(store::alias::kLog2);
    if (!log2 || log2->eof())
        return;
    store::RecordBuffer q(log2);
    q.load();
    g_panel->DPLVIS(q);
}

void DPLCALL(const QString& call)
{
    if (g_panel)
        g_panel->state().DPLCALL(call);
}

void closeEntityPanel()
{
    delete g_panel;
}

} // namespace awards
