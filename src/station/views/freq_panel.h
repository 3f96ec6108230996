#pragma once
// The frequency panel at the right end of the main button bar: the rig's
// frequency in large digits, the "+"/"-" step buttons (when CATBTN is set),
// the eight mode buttons and "Set Frq.". It reads the session's rig every
// 500 ms and only ever hands orders to it, so a silent rig never holds it up.

#include <QFrame>

#include <cstdint>

class QLabel;
class QLineEdit;
class QTimer;
class QToolBar;
class QToolButton;

namespace station {

class FreqPanel : public QFrame {
public:
    explicit FreqPanel(bool stepButtons, QWidget* parent = nullptr);

    // Shows the rig's last reading: the frequency text and the checked mode.
    void refresh();
    // The frequency text as shown ("014.025.30").
    QString cFreq() const;
    // Opens the "Set Frq." pop-up beside its button.
    void showSetFrequency();

private:
    void step(std::int64_t hz);
    void setFromPopup();
    QLabel* m_freq = nullptr;
    QList<QToolButton*> m_buttons;     // every button, enabled while a rig exists
    QList<QToolButton*> m_modes;
    QToolButton* m_set = nullptr;
    QFrame* m_popup = nullptr;
    QLineEdit* m_popupEdit = nullptr;
    QTimer* m_timer = nullptr;
};

// Builds the panel on the bar once (later calls refresh it and show or hide
// its step buttons as CATBTN says); returns it. With rig control off the
// panel stays, its buttons disabled.
FreqPanel* CATCTRL(QToolBar* bar);

} // namespace station
