#pragma once
// The context menu of the QSO grids (MNUPOP): QSL marking, the print spool,
// edit and delete of the QSO under the cursor or of the rows selected.

#include <QString>

#include <functional>

class QMenu;
class QPoint;

namespace ui {
class tQ7Browse;
}

namespace logbook {

struct QsoMenuActions {
    std::function<void()> remove;   // deletion of the current QSO; the item is off without it
};

// Builds the menu of a QSO grid over the alias; the caller shows it.
QMenu* MNUPOP(ui::tQ7Browse* grid, const QString& alias, const QsoMenuActions& actions = {});

} // namespace logbook
