#pragma once
// The ADIF export dialog "EXPADIF": date range, band, mode, QSL choices,
// operator, confirmation date and target file.

#include "adif_export.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace interchange {

class AdifExportDialog : public QDialog {
public:
    AdifExportDialog(const QString& appTitle, const QString& proposedPath, QWidget* parent = nullptr);
    AdifSelection selection() const;
    QString path() const;

protected:
    void accept() override;   // refuses a date it cannot read

private:
    QString m_appTitle;
    QLineEdit *m_from = nullptr, *m_to = nullptr, *m_oper = nullptr, *m_confirmed = nullptr, *m_path = nullptr;
    QComboBox *m_band = nullptr, *m_mode = nullptr, *m_qslRcvd = nullptr, *m_qslSent = nullptr;
    QPushButton* m_ok = nullptr;
};

// ADIFEXP from the menu: dialog, then the export. Returns false when cancelled.
bool adifExportCommand(const AdifIdentity& id, const QString& workDir, const QString& book, QWidget* parent = nullptr);
// ADIEXPSPOOL from the print queue: file chooser, export, marking questions.
void adifSpoolCommand(const AdifIdentity& id, const QString& workDir, const QString& book, QWidget* parent = nullptr);

} // namespace interchange
