#pragma once
// The dialog of the Cabrillo import: the ADIF import's layout ("IMPADIF")
// titled "Importar Formato Cabrillo".

#include "cabrillo_import.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace interchange {

class CabrilloImportDialog : public QDialog {
public:
    CabrilloImportDialog(const QString& appTitle, const QString& workDir, QWidget* parent = nullptr);
    CabrilloImportOptions options() const;

private:
    QString m_appTitle, m_workDir, m_book;
    QLineEdit* m_operator = nullptr;
    QLineEdit* m_locator = nullptr;
    QLineEdit* m_path = nullptr;
    QCheckBox* m_dup = nullptr;
    QPushButton* m_ok = nullptr;
};

// Shows the dialog; false when cancelled.
bool cabrilloImportDialog(const QString& appTitle, const QString& workDir, CabrilloImportOptions* out,
                          QWidget* parent = nullptr);

} // namespace interchange
