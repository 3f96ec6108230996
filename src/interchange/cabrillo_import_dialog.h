#pragma once
// The dialog of the Cabrillo import: the ADIF import's layout ("IMPADIF")
// titled "Importar Formato Cabrillo".

#include "cabrillo_import.h"
#include "qso_import_dialog.h"

namespace interchange {

class CabrilloImportDialog : public QsoImportDialog {
public:
    CabrilloImportDialog(const QString& appTitle, const QString& workDir, QWidget* parent = nullptr);
    CabrilloImportOptions options() const;
};

// Shows the dialog; false when cancelled.
bool cabrilloImportDialog(const QString& appTitle, const QString& workDir, CabrilloImportOptions* out,
                          QWidget* parent = nullptr);

} // namespace interchange
