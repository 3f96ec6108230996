#include "panel_windows.h"

#include "tappl.h"
#include "twin.h"
#include "window_names.h"

#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QHeaderView>
#include <QMdiArea>
#include <QScrollBar>
#include <QToolBar>

namespace app {

tWin* openPanelWindow(WindowId id, const QString& title, const std::function<ui::GridPanel*()>& make)
{
    return openContentWindow(id, title, [&make]() -> std::pair<QWidget*, ui::GridPanel*> {
        ui::GridPanel* p = make();
        return {p, p};
    });
}

tWin* openContentWindow(WindowId id, const QString& title, const std::function<std::pair<QWidget*, ui::GridPanel*>()>& make,
                        bool sameTitle)
{
    if (QMdiArea* area = tWin::area())
        for (QMdiSubWindow* s : area->subWindowList())
            if (auto* w = qobject_cast<tWin*>(s); w && w->objectName() == w->cName && w->cName == windowName(id)
                                                   && (!sameTitle || w->windowTitle() == title)) {
                w->Activate(w->isMinimized() ? QStringLiteral("NORMAL") : QString());
                return w;
            }
    const auto [content, panel] = make();
    if (!content || !panel)
        return nullptr;
    const bool placed = !oAppl->ini().getString(windowName(id), QStringLiteral("Right")).isEmpty();
    auto* w = new tWin(id, title);
    w->setWidget(content);
    w->setBrowse(panel->browse());
    w->setButtonBar(panel->bar());
    if (!w->cBrwState.isEmpty())
        panel->browse()->RestoreState(w->cBrwState);
    if (!placed) {
        // the first time, wide enough for every column where the frame allows
        ui::tQ7Browse* grid = panel->browse();
        int width = grid->verticalHeader()->width() + grid->verticalScrollBar()->sizeHint().width() + 4 * grid->frameWidth();
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            width += grid->columnWidth(c);
        width += 24;   // the window's frame and the panel's margins
        if (QMdiArea* area = tWin::area())
            width = std::min(width, area->width() - w->x() - 8);
        w->resize(std::max(width, w->width()), w->height());
    }
    w->Activate();
    panel->browse()->setFocus();
    return w;
}

} // namespace app
