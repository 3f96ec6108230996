#pragma once
// The bookkeeping of the named child windows: which are open, refresh, close,
// find by name, the set reopened after a restart, positions, the progress box.

#include <QString>

#include <functional>

class tWin;
class QWidget;

namespace ui {
class Meter;
}

// The views that can be reopened at start, by window name; each issue that
// builds a view registers its opener here.
void registerView(const QString& name, std::function<void()> open);
bool viewRegistered(const QString& name);
void openView(const QString& name);

void SAVOPNWND();
void RSTOPNWND();
bool LOPNWND(const QString& name);
void REFWND(const QString& name, bool deep = false);
void CLSWND(const QString& name);
void CLSWNDALL();
tWin* HWND(const QString& name);
void WINSAVPOS(QWidget* window, const QString& section);
// The progress box; true when the user cancelled.
bool MSGMETER(const std::function<void(ui::Meter&)>& action, const QString& text = QStringLiteral("Procesando..."),
              const QString& title = QStringLiteral("Espere por favor ..."));
// Browser-control emulation: nothing to set on this platform.
void SETIE11();
