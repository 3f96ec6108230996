#pragma once
// The ADIF import dialog "IMPADIF": default operator and locator, file, duplicate test.

#include "adif_import.h"
#include "qso_import_dialog.h"

namespace interchange {

class AdifImportDialog : public QsoImportDialog {
public:
    AdifImportDialog(const QString& appTitle, const QString& workDir, QWidget* parent = nullptr);
    // The dialog's choices; appl is the caller's.
    AdifImportOptions options() const;
};

// Shows the dialog; false when cancelled.
bool adifImportDialog(const QString& appTitle, const QString& workDir, AdifImportOptions* out, QWidget* parent = nullptr);

} // namespace interchange
