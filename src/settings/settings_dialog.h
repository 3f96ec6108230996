#pragma once
// The settings dialog "CFG" over the one record of cfg. Its "&General" page
// holds the station call (required, upper case), the operator's name, the
// locator and the e-mail address; the other pages arrive with their features.

#include <QDialog>

namespace store {
class RecordBuffer;
class WorkArea;
}

class QLineEdit;

namespace settings {

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // cfg: the settings work area, positioned on its record.
    SettingsDialog(store::WorkArea* cfg, const QString& appName, QWidget* parent = nullptr);
    ~SettingsDialog() override;

    void accept() override;
    void reject() override;

private:
    bool callGiven();
    store::WorkArea* m_cfg;
    std::unique_ptr<store::RecordBuffer> m_buffer;
    QLineEdit* m_call = nullptr;
};

// Runs the dialog on the settings record; true when written back.
bool CFGPGM(store::WorkArea* cfg, const QString& appName, QWidget* parent = nullptr);

} // namespace settings
