#pragma once
// The settings dialog "CFG" over the one record of cfg: the station, the log
// and QSL window colours and call-book accounts, the previous-QSO colours,
// rig control, the digital modes, the cluster's colour and sound rules and
// voice, and the bands and modes the cluster shows. The record is written on
// "OK" only; the lists of modes, bands and rules write to their tables at once.

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
class QSpinBox;
class QTabWidget;

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

// What the rest of the dialog asks of the program: windows refreshed after
// their colours changed ("ManLog", "LogQsl", "QsoAnt"); the voice test.
struct SettingsHooks {
    std::function<void(const QString& window)> refreshWindow;
    std::function<void(const QString& text, int rate, int pitch)> speak;
};
void setSettingsHooks(SettingsHooks hooks);

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // cfg: the settings work area, positioned on its record.
    SettingsDialog(store::WorkArea* cfg, const QString& appName, QWidget* parent = nullptr);
    ~SettingsDialog() override;

    void accept() override;
    void reject() override;

    QTabWidget* tabs() const { return m_tabs; }

private:
    bool callGiven();
    QWidget* buildGeneralPage(QWidget* parent);
    QWidget* buildLogPage(QWidget* parent);
    QWidget* buildQslPage(QWidget* parent);
    QWidget* buildPreviousPage(QWidget* parent);
    QWidget* buildCatPage(QWidget* parent);
    QWidget* buildClusterPage(QWidget* parent);
    void showCatState();
    // A check box bound to a logical field of the buffer, a colour button
    // bound to a colour field: both change the buffer only.
    QCheckBox* check(QWidget* page, const char* id, const QString& label, const char* field);
    QPushButton* colourButton(QWidget* page, const char* id, const char* field);
    void voiceTest();
    store::WorkArea* m_cfg;
    std::unique_ptr<store::RecordBuffer> m_buffer;
    QTabWidget* m_tabs = nullptr;
    QCheckBox* m_voice = nullptr;
    QSpinBox* m_rate = nullptr;
    QSpinBox* m_pitch = nullptr;
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
