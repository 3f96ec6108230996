#pragma once
// The settings dialog "CFG" over the one record of cfg. Its "&General" page
// holds the station call (required, upper case), the operator's name, the
// locator and the e-mail address; its "CAT" page the rig control switches and
// the "Configurar COM" button; the other pages arrive with their features.

#include <QDialog>

#include <functional>

namespace store {
class RecordBuffer;
class WorkArea;
}

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace settings {

// What the "CAT" page asks of rig control, installed by the program: ticking
// "CAT activo" starts it on the rig chosen, clearing it stops it; "Configurar
// COM" opens the rig settings; the rig type and state are shown while on.
struct CatHooks {
    std::function<void(bool on, int rig)> switched;
    std::function<void(int rig, QWidget* parent)> configure;
    std::function<QString()> rigType;
    std::function<QString()> status;
};
void setCatHooks(CatHooks hooks);

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
    QWidget* buildCatPage(QWidget* parent);
    void showCatState();
    store::WorkArea* m_cfg;
    std::unique_ptr<store::RecordBuffer> m_buffer;
    QLineEdit* m_call = nullptr;
    QCheckBox* m_catOn = nullptr;
    QRadioButton* m_rig2 = nullptr;
    QCheckBox* m_catCluster = nullptr;
    QCheckBox* m_catButtons = nullptr;
    QPushButton* m_configureCom = nullptr;
    QLabel* m_rigType = nullptr;
    QLabel* m_rigStatus = nullptr;
};

// Runs the dialog on the settings record; true when written back.
bool CFGPGM(store::WorkArea* cfg, const QString& appName, QWidget* parent = nullptr);

} // namespace settings
