#include "grid_panel.h"

#include "q7browse.h"

#include "store/work_area.h"

#include <QAction>
#include <QIcon>
#include <QKeyEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace ui {

GridPanel::GridPanel(store::WorkArea* area, QWidget* parent)
    : QWidget(parent), m_area(area), m_bar(new QToolBar(this)), m_browse(new tQ7Browse(area, this))
{
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    m_bar->setObjectName(QStringLiteral("bar"));
    m_bar->setIconSize(QSize(22, 22));
    m_bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    lay->addWidget(m_bar);
    lay->addWidget(m_browse, 1);
    m_browse->setObjectName(QStringLiteral("grid"));
    m_browse->setRecordSelector(true);
    m_browse->installEventFilter(this);
    // Enter is taken by the key filter below: what reaches here is a double click
    connect(m_browse, &tQ7Browse::recordActivated, this, [this](quint32) {
        if (m_doubleClick)
            m_doubleClick();
        else if (m_edit)
            m_edit();
    });
}

QAction* GridPanel::addButton(const QString& id, const QString& caption, const QString& tooltip,
                              const QStringList& iconNames, std::function<void()> run)
{
    QIcon icon;
    for (const QString& n : iconNames)
        if (icon = QIcon::fromTheme(n); !icon.isNull())
            break;
    QAction* a = m_bar->addAction(icon, caption);
    a->setObjectName(id);
    a->setToolTip(tooltip);
    connect(a, &QAction::triggered, this, [run = std::move(run)] { run(); });
    if (auto* b = qobject_cast<QToolButton*>(m_bar->widgetForAction(a))) {
        b->setObjectName(id);
        if (icon.isNull())
            b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    if (m_captions)
        setCaptionsShown(true);
    return a;
}

void GridPanel::setCaptionsShown(bool on)
{
    m_captions = on;
    m_bar->setToolButtonStyle(on ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
}

void GridPanel::showCurrent()
{
    const quint32 rec = m_area->eof() ? 0 : m_area->recNo();
    m_browse->refresh();
    if (rec)
        m_browse->setCurrentRecord(rec);
    m_browse->setFocus();
}

bool GridPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_browse || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* k = static_cast<QKeyEvent*>(event);
    const auto mods = k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    std::function<void()>* act = nullptr;
    if (k->key() == Qt::Key_F && mods == Qt::ControlModifier)
        act = &m_search;
    else if (mods == Qt::NoModifier && k->key() == Qt::Key_Space)
        act = &m_edit;
    else if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && m_browse->currentIndex().isValid())
        act = &m_edit;
    else if (mods == Qt::NoModifier && k->key() == Qt::Key_Insert)
        act = &m_create;
    else if (mods == Qt::NoModifier && k->key() == Qt::Key_Delete)
        act = &m_delete;
    if (!act)
        return false;
    if (*act)
        (*act)();
    return true;
}

} // namespace ui
