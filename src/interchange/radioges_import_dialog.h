#pragma once
// The Radioges import dialog: the ADIF import's layout, retitled, choosing a ".mdb".

#include "qso_import_dialog.h"
#include "radioges_import.h"

namespace interchange {

class RadiogesImportDialog : public QsoImportDialog {
public:
    RadiogesImportDialog(const QString& appTitle, const QString& workDir, QWidget* parent = nullptr);
    RadiogesImportOptions options() const;
};

// Shows the dialog; false when cancelled.
bool radiogesImportDialog(const QString& appTitle, const QString& workDir, RadiogesImportOptions* out,
                          QWidget* parent = nullptr);

} // namespace interchange
