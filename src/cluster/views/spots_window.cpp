#include "spots_window.h"

#include "spot_grid.h"
#include "telnet_window.h"

#include "cluster/spot_feed.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QPointer>
#include <QTimer>
#include <QToolBar>

namespace cluster {

ui::GridPanel* openSpotsPanel()
{
    store::Workspace& ws = store::Workspace::instance();
    const QString alias = QStringLiteral("SpotsWin");
    store::WorkArea* a = ws.area(alias);
    if (!a) {
        store::WorkArea* was = ws.current();
        const QString wasAlias = was ? was->alias() : QString();
        if (!ws.use(QStringLiteral("spots"), {.alias = alias}, &a).isOk())
            return nullptr;
        if (!wasAlias.isEmpty())
            ws.select(wasAlias);
    }
    a->setOrder(0);
    auto* panel = new ui::GridPanel(a);
    QObject::connect(panel, &QObject::destroyed, [alias] { store::Workspace::instance().close(alias); });
    panel->setObjectName(QStringLiteral("SpotsPanel"));
    setUpSpotGrid(panel->browse(), SpotGridKind::Standalone);
    panel->bar()->hide();
    auto chosen = [a] {
        // the new QSO reads the spot where the session's spots table stands
        store::WorkArea* spots = store::Workspace::instance().area(store::alias::kSpots);
        if (!spots || a->eof())
            return;
        spots->goTo(a->recNo());
        if (clusterHost().spotChosen)
            clusterHost().spotChosen();
    };
    panel->onDoubleClick(chosen);
    panel->onEdit(chosen);
    a->goBottom();
    panel->showCurrent();

    QPointer<ui::GridPanel> guard(panel);
    auto due = std::make_shared<bool>(false);
    QObject::connect(&spotFeed(), &SpotFeed::spotFiled, panel, [guard, due, a, alias] {
        if (*due)
            return;
        *due = true;
        QTimer::singleShot(150, guard, [guard, due, a, alias] {
            *due = false;
            // the tables may have closed under the window (a reorganisation)
            if (!guard || store::Workspace::instance().area(alias) != a)
                return;
            a->goBottom();
            guard->showCurrent();
        });
    });
    return panel;
}

} // namespace cluster
