#pragma once
// The ADIF import dialog "IMPADIF": default operator and locator, file, duplicate test.

#include "adif_import.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace interchange {

class AdifImportDialog : public QDialog {
public:
    AdifImportDialog(const QString& appTitle, const QString& workDir, QWidget* parent = nullptr);
    // The dialog's choices; appl and defaultOperator are the caller's.
    AdifImportOptions options() const;

private:
    QString m_appTitle, m_workDir, m_book, m_oprDef;
    QLineEdit* m_operator = nullptr;
    QLineEdit* m_locator = nullptr;
    QLineEdit* m_path = nullptr;
    QCheckBox* m_dup = nullptr;
    QPushButton* m_ok = nullptr;
};

// Shows the dialog; false when cancelled.
bool adifImportDialog(const QString& appTitle, const QString& workDir, AdifImportOptions* out, QWidget* parent = nullptr);

} // namespace interchange
