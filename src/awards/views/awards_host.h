#pragma once
// What the award windows need from the program around them: windows put
// into the frame by name, and the QSO entry form.

#include <QString>

#include <functional>

class QWidget;

namespace ui {
class GridPanel;
}

namespace awards {

struct AwardsHost {
    // Shows content as the named window ("EstDpl", "DxccWrkd"), replacing the
    // content of one already open under that name, with the title.
    std::function<void(const QString& windowName, const QString& title, QWidget* content, ui::GridPanel* panel)> showWindow;
    // Brings the named window forward; false when it is not open.
    std::function<bool(const QString& windowName)> raiseWindow;
    // Opens the QSO of the log book's record in the entry form.
    std::function<void(quint32 record)> editQso;
    std::function<void()> newQso;
    // The time-zone service (scheme and host) of the local time.
    std::function<QString()> timeZoneService;
};

void setAwardsHost(AwardsHost host);
const AwardsHost& awardsHost();

} // namespace awards
