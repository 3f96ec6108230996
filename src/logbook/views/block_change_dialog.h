#pragma once
// "Modificación en bloque de los registros filtrados.": the fields of the
// entry form on three pages, all empty; what is typed is written into every
// QSO of the selection.

#include "logbook/block_change.h"

#include <QDialog>

namespace logbook {

class BlockChangeDialog : public QDialog {
    Q_OBJECT
public:
    explicit BlockChangeDialog(QWidget* parent = nullptr);
    // What was typed; false (with the reason told) when a value cannot be.
    bool change(BlockChange* out) const;
};

} // namespace logbook
