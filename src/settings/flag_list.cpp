#include "settings/flag_list.h"

#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/q7browse.h"

#include <QEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QThread>
#include <QVBoxLayout>

namespace settings {

store::WorkArea* openSecondArea(const QString& sessionAlias, const QString& ownAlias)
{
    store::Workspace& ws = store::Workspace::instance();
    store::WorkArea* src = ws.area(sessionAlias);
    if (!src)
        return nullptr;
    ws.close(ownAlias);
    store::WorkArea* current = ws.current();
    store::WorkArea* area = nullptr;
    if (!ws.use(src->table().path(), {.alias = ownAlias, .shared = true}, &area).isOk())
        area = nullptr;
    else
        area->setOrder(QString::fromLatin1(src->orderName()));
    if (current)
        ws.select(current->alias());
    if (area)
        area->goTop();
    return area;
}

bool lockWithRetries(store::WorkArea& area)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (area.lockRecord().isOk())
            return true;
        QThread::msleep(100);
    }
    return false;
}

FlagList::FlagList(const QString& sessionAlias, const QString& ownAlias, const char* codeField, const QString& codeHeader,
                   const char* flagField, const QString& flagHeader, QWidget* parent)
    : QWidget(parent)
    , m_alias(ownAlias)
    , m_flag(QString::fromLatin1(flagField))
{
    auto* lay = new QVBoxLayout(this);
    m_area = openSecondArea(sessionAlias, ownAlias);
    if (!m_area)
        return;
    m_grid = new ui::tQ7Browse(m_area, this);
    m_grid->setObjectName(QStringLiteral("4001"));
    const QString code = QString::fromLatin1(codeField);
    m_grid->addColumn({.header = codeHeader, .text = [code](store::WorkArea& a) { return a.str(code).trimmed(); }, .width = 120});
    const QString flag = m_flag;
    m_grid->addColumn({.header = flagHeader,
                       .text = [flag](store::WorkArea& a) { return a.logical(flag) ? QStringLiteral("Si") : QStringLiteral("No"); },
                       .width = 90,
                       .icon = [flag](store::WorkArea& a) {
                           static const QIcon on = QIcon::fromTheme(QStringLiteral("checkbox"));
                           return a.logical(flag) ? on : QIcon();
                       }});
    m_grid->installEventFilter(this);
    connect(m_grid, &ui::tQ7Browse::recordActivated, this, [this] { toggle(); });
    lay->addWidget(m_grid);
}

FlagList::~FlagList()
{
    if (m_area)
        store::Workspace::instance().close(m_alias);
}

bool FlagList::toggle()
{
    if (!m_area || m_area->eof())
        return false;
    if (!lockWithRetries(*m_area))
        return false;
    m_area->put(m_flag, !m_area->logical(m_flag));
    m_area->unlock();
    m_grid->refresh();
    return true;
}

bool FlagList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        toggle();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace settings
