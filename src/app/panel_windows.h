#pragma once
// The maintenance windows: a named child window around a grid panel.

#include "command_ids.h"

#include <QString>

#include <functional>

namespace ui {
class GridPanel;
}

namespace app {

// Brings the window of that id and title forward when it is open (two windows
// may share a name, as bands and modes do); otherwise makes the panel, puts it
// into a new window of that name with the grid layout and bar place the window
// kept, and shows it. The panel may refuse (make returns nullptr): then no window opens.
void openPanelWindow(WindowId id, const QString& title, const std::function<ui::GridPanel*()>& make);

} // namespace app
