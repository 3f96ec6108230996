#pragma once
// The bookkeeping of the named child windows: which are open, refresh, close,
// find by name, the set reopened after a restart, positions, the progress box.

#include "command_ids.h"

#include <QString>

#include <functional>

class QWidget;

namespace ui {
class Meter;
}

namespace app {

class tWin;

// The views that can be reopened at start; each feature that builds a view
// registers its opener here.
void registerView(WindowId id, std::function<void()> open);
// An opener that the features' own registrations do not replace (tests).
void standInView(WindowId id, std::function<void()> open);
bool viewRegistered(WindowId id);
void openView(WindowId id);

void SAVOPNWND();
void RSTOPNWND();
// Windows by id; the forms that take a name compare it exactly with the
// name the window carries (tWin::cName).
bool LOPNWND(WindowId id);
bool LOPNWND(const QString& name);
void REFWND(WindowId id, bool deep = false);
void REFWND(const QString& name, bool deep = false);
void CLSWND(WindowId id);
void CLSWND(const QString& name);
void CLSWNDALL();
tWin* HWND(WindowId id);
tWin* HWND(const QString& name);
void WINSAVPOS(QWidget* window, const QString& section);
// The progress box; true when the user cancelled.
bool MSGMETER(const std::function<void(ui::Meter&)>& action, const QString& text = QStringLiteral("Procesando..."),
              const QString& title = QStringLiteral("Espere por favor ..."));

} // namespace app
