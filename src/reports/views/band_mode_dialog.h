#pragma once
// The selection dialog of the entity reports: ten band lists and six mode
// lists, all blank at opening (blank means every band or mode). "&OK" runs
// the report and leaves the dialog open, so it can be run again with another
// selection; "&Cancelar" closes it.

#include "reports/band_mode_choice.h"

#include <QDialog>

#include <functional>
#include <vector>

class QComboBox;

namespace reports {

class BandModeDialog : public QDialog {
    Q_OBJECT
public:
    BandModeDialog(const QString& title, std::function<void(const BandModeChoice&)> action, QWidget* parent = nullptr);
    BandModeChoice choice() const;
    QComboBox* bandList(int i) const { return m_bands[size_t(i)]; }   // 0..9
    QComboBox* modeList(int i) const { return m_modes[size_t(i)]; }   // 0..5

private:
    std::function<void(const BandModeChoice&)> m_action;
    std::vector<QComboBox*> m_bands, m_modes;
};

// Shows the dialog (modal) until it is cancelled.
void CMNPMT(const std::function<void(const BandModeChoice&)>& action, const QString& title, QWidget* parent = nullptr);

} // namespace reports
