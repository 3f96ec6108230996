#pragma once
// The maintenance windows: a named child window around a grid panel.

#include "command_ids.h"

#include <QString>

#include <functional>
#include <utility>

class QWidget;

namespace ui {
class GridPanel;
}

namespace app {

class tWin;

// Brings the window of that id and title forward when it is open (two windows
// may share a name, as bands and modes do); otherwise makes the panel, puts it
// into a new window of that name with the grid layout and bar place the window
// kept, and shows it. The panel may refuse (make returns nullptr): then no window opens.
tWin* openPanelWindow(WindowId id, const QString& title, const std::function<ui::GridPanel*()>& make);

// The same for a window whose content holds the panel among other things (the
// log window's pages). With sameTitle false an open window of that id is
// found whatever its title (one whose title follows the cursor). The window,
// or null when make refused.
tWin* openContentWindow(WindowId id, const QString& title, const std::function<std::pair<QWidget*, ui::GridPanel*>()>& make,
                        bool sameTitle = true);

} // namespace app
