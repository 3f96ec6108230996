#pragma once
// The rig settings "CATCFG": for rig 1 or 2, either a Hamlib model (chosen from
// every model Hamlib knows, with a search box), serial port and speed, or the
// host and port of a running rigctld. "Probar" opens the rig once on a thread
// of its own and shows its frequency or why it could not be read.

#include "station/rig_config.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;

namespace station {

class RigDialog : public QDialog {
public:
    explicit RigDialog(int rig, QWidget* parent = nullptr);

    int rig() const { return m_rig; }
    // The configuration as the controls show it.
    RigConfig config() const;
    void setConfig(const RigConfig& c);
    // Opens the rig with what is shown and reports on m_result when done.
    void probe();
    QLabel* result() const { return m_resultLabel; }
    bool probing() const { return m_probing; }

    void accept() override;

private:
    void filterModels(const QString& text);
    void showKind();
    int m_rig;
    QRadioButton* m_direct = nullptr;
    QRadioButton* m_network = nullptr;
    QStackedWidget* m_pages = nullptr;
    QLineEdit* m_search = nullptr;
    QListWidget* m_models = nullptr;
    QComboBox* m_device = nullptr;
    QComboBox* m_speed = nullptr;
    QLineEdit* m_host = nullptr;
    QSpinBox* m_tcpPort = nullptr;
    QPushButton* m_probe = nullptr;
    QLabel* m_resultLabel = nullptr;
    bool m_probing = false;
};

// Runs the dialog for the rig; true when the configuration was saved. Rig
// control restarts on it when it is the rig in use.
bool RIGCFG(int rig, QWidget* parent = nullptr);

} // namespace station
