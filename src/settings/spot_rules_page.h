#pragma once
// The cluster's colour and sound rules in the settings: the list of rules
// (the statuses they match, the description and a sample of their colours),
// the rule editor "Configurar colores y sonidos" and the deletion of a rule.
// The list works on its own work area "CfgSpot2" and writes at once.

#include <QDialog>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace store {
class RecordBuffer;
class WorkArea;
}

namespace ui {
class tQ7Browse;
}

namespace settings {

class SpotRulesList : public QWidget {
    Q_OBJECT
public:
    explicit SpotRulesList(QWidget* parent = nullptr);
    ~SpotRulesList() override;

    ui::tQ7Browse* grid() const { return m_grid; }
    store::WorkArea* area() const { return m_area; }
    void editRule(bool fresh);     // COLSNDEDT on the current rule, or a new one
    void deleteRule();             // COLSNDDLT

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    store::WorkArea* m_area = nullptr;
    ui::tQ7Browse* m_grid = nullptr;
};

// The rule editor over a buffer of a CfgSpot record (a new rule: blank).
class SpotRuleDialog : public QDialog {
    Q_OBJECT
public:
    SpotRuleDialog(store::RecordBuffer* buffer, QWidget* parent = nullptr);
    void accept() override;        // the controls into the buffer

    QComboBox* highlight() const { return m_fld; }
    QComboBox* status(int i) const { return m_sts[i]; }   // entity, mode, band, band+mode, IOTA

private:
    void enableStatuses();
    void showColours();
    store::RecordBuffer* m_buffer;
    QComboBox* m_fld = nullptr;
    QComboBox* m_sts[5] = {};
    QLineEdit* m_desc = nullptr;
    QLineEdit* m_sound = nullptr;
    QPushButton* m_play = nullptr;
    QLabel* m_sample = nullptr;
    qint64 m_fore = 0, m_back = 0;
};

} // namespace settings
