#pragma once
// The report designer of the format window's "Editor" button. Until the
// designer is built, the format's design is shown read-only, drawn by the
// report engine with sample print data.

class QWidget;

namespace store {
class WorkArea;
}

namespace qsl {

// Opens the designer on the current record of `frm` (a view of FrmQsl).
void openDesigner(store::WorkArea& frm, QWidget* parent = nullptr);

} // namespace qsl
