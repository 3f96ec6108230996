#include "panel_windows.h"

#include "twin.h"
#include "window_names.h"

#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QMdiArea>
#include <QToolBar>

namespace app {

void openPanelWindow(WindowId id, const QString& title, const std::function<ui::GridPanel*()>& make)
{
    if (QMdiArea* area = tWin::area())
        for (QMdiSubWindow* s : area->subWindowList())
            if (auto* w = qobject_cast<tWin*>(s); w && w->objectName() == w->cName && w->cName == windowName(id)
                                                   && w->windowTitle() == title) {
                w->Activate(w->isMinimized() ? QStringLiteral("NORMAL") : QString());
                return;
            }
    ui::GridPanel* panel = make();
    if (!panel)
        return;
    auto* w = new tWin(id, title);
    w->setWidget(panel);
    w->setBrowse(panel->browse());
    w->setButtonBar(panel->bar());
    if (!w->cBrwState.isEmpty())
        panel->browse()->RestoreState(w->cBrwState);
    w->Activate();
    panel->browse()->setFocus();
}

} // namespace app
