#pragma once
// What the bar buttons and keys of the reference-table windows do with their
// grid: open the table, run an edit dialog on the grid's record or on a new
// one, delete the grid's record.

#include <QString>

#include <functional>

class QWidget;

namespace store {
class WorkArea;
}
namespace ui {
class GridPanel;
}

namespace refdata {

// The work area of alias, opened shared from the table file (retrying for
// three seconds) when it is not open yet; null when it cannot be opened (the
// user was told why).
store::WorkArea* openMaintainedTable(const QString& file, const QString& alias);

// The width of a field of the area (the longest text its edit takes).
int fieldWidth(store::WorkArea* area, const char* field);

// The edit dialog of the table's current record (isNew false) or of a new one.
using EditDialog = std::function<bool(bool isNew, QWidget* parent)>;

// Runs the edit dialog from the panel: the grid then shows the record written,
// or, when nothing was written, stays on the record it was on.
void editFromPanel(ui::GridPanel* panel, bool isNew, const EditDialog& edit);

// Deletes the grid's record through remove (which asks first); the grid then
// stands one row higher.
void deleteFromPanel(ui::GridPanel* panel, const std::function<bool(store::WorkArea&)>& remove);

// The captions and tooltips of a window's bar buttons.
struct BarTexts {
    const char* newCaption;
    const char* newTip;
    const char* editCaption;
    const char* editTip;
    const char* deleteCaption = nullptr;   // no delete button when null
    const char* deleteTip = nullptr;
};

// The bar buttons and keys of a reference-table window: new and edit run the
// dialog, delete runs remove (or refuse, the key's action when the table's
// records cannot be deleted); the grid then shows its current record.
void addRecordActions(ui::GridPanel* panel, const EditDialog& dialog, const BarTexts& texts,
                      const std::function<bool(store::WorkArea&)>& remove, const std::function<void()>& refuse = {});

} // namespace refdata
