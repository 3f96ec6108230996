#pragma once
// The dialog of the Cabrillo export ("EXPCABRILLO") and the export command.

#include "cabrillo_export.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace interchange {

class CabrilloExportDialog : public QDialog {
public:
    // appTitle: application name + " " + version; workDir: where the file is proposed.
    CabrilloExportDialog(const QString& appTitle, const QString& workDir, QWidget* parent = nullptr);
    // What the dialog holds now, as an export job (province not asked yet).
    CabrilloExport job() const;

protected:
    void accept() override;   // refuses a date it cannot read

private:

    QString m_appTitle;
    QLineEdit* m_from = nullptr;
    QLineEdit* m_to = nullptr;
    QComboBox* m_contest = nullptr;
    QComboBox* m_category = nullptr;
    QComboBox* m_band = nullptr;
    QComboBox* m_power = nullptr;
    QLineEdit* m_call = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_address[2] = {};
    QLineEdit* m_soapbox[2] = {};
    QLineEdit* m_path = nullptr;
    QPushButton* m_ok = nullptr;
};

// The export command: dialog, province for "EA-MAJESTAD-SSB", file, and the
// offer to open the editor. Returns the number of QSO lines written, -1 when
// nothing was written.
int EXPCABRILLO(const QString& appName, const QString& appVersion, const QString& workDir, QWidget* parent = nullptr);

} // namespace interchange
