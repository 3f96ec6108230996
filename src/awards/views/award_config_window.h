#pragma once
// DPLCFGMAN: the award management window ("DplCfg", "Gestion de diplomas"):
// the award table in a grid with the buttons to create, edit, delete and view.

namespace ui {
class GridPanel;
}

class QMenu;
class QWidget;

namespace awards {

// The panel of the window over the session's award table; null when the table cannot be opened.
ui::GridPanel* openAwardConfigPanel();

// MNUDPL: one item per award in the table's order, its description as text;
// choosing one computes and shows it (DPLVIS). Fills menu (emptied first).
void MNUDPL(QMenu* menu);

} // namespace awards
