#pragma once
// The context menu of the QSO grids (MNUPOP): QSL marking, the print spool,
// edit and delete of the QSO under the cursor or of the rows selected.

#include <QString>

#include <functional>
#include <vector>

class QMenu;
class QPoint;

namespace ui {
class tQ7Browse;
}

namespace logbook {

struct QsoMenuActions {
    std::function<void()> remove;   // deletion of the current QSO; the item is off without it
};

// The QSL items of the menu, in its order.
enum class QsoMenuItem { SentBureau, SentDirect, Received, ReceivedPrint, ReceivedQueue, Spool, Print };

// What the QSL items do on the records given (the selected rows, or the
// current one); the QSL part of the program installs it, and until it does
// the items stay off. After each the menu clears the selection and refreshes.
using QsoMenuQsl = std::function<void(ui::tQ7Browse* grid, const QString& alias, QsoMenuItem item,
                                      const std::vector<quint32>& records)>;
void setQsoMenuQsl(QsoMenuQsl run);

// The selected rows of the grid, or its current row when none is selected.
std::vector<quint32> menuRecords(ui::tQ7Browse* grid);

// Builds the menu of a QSO grid over the alias; the caller shows it.
QMenu* MNUPOP(ui::tQ7Browse* grid, const QString& alias, const QsoMenuActions& actions = {});

} // namespace logbook
