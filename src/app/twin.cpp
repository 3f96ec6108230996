#include "twin.h"

#include "tappl.h"
#include "window_names.h"

#include "core/messages.h"
#include "ui/q7browse.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>
#include <QToolBar>

namespace app {

namespace {
QMdiArea* g_area = nullptr;
}

tWin::tWin(WindowId id, const QString& title) : tWin(windowName(id), title) {}

void tWin::setArea(QMdiArea* area) { g_area = area; }
QMdiArea* tWin::area() { return g_area; }

tWin::tWin(const QString& name, const QString& title)
{
    if (name.trimmed().isEmpty()) {
        ui::messages().stop(QStringLiteral("cName es un parametro obligatorio"), QStringLiteral("Clase tWin"));
        QCoreApplication::exit(1);
    }
    cName = name.trimmed();
    setObjectName(cName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title.isEmpty() ? cName : title);
    IniFile& ini = oAppl->ini();
    const int top = ini.getInt(cName, QStringLiteral("Top"), 2);
    const int left = ini.getInt(cName, QStringLiteral("Left"), 2);
    const int bottom = ini.getInt(cName, QStringLiteral("Bottom"), 30);
    const int right = ini.getInt(cName, QStringLiteral("Right"), 90);
    cShow = ini.getString(cName, QStringLiteral("cShow"), QStringLiteral("NORMAL"));
    cBrwState = ini.getString(cName, QStringLiteral("BrwState"), QString());
    cBarMode = ini.getString(cName, QStringLiteral("BarMode"), QStringLiteral("TOP"));
    if (g_area)
        g_area->addSubWindow(this);
    setGeometry(left * 8, top * 16, (right - left) * 8, (bottom - top) * 16);
}

void tWin::Activate(const QString& show)
{
    const QString s = show.isEmpty() ? cShow : show;
    if (s == QLatin1String("MAXIMIZED"))
        showMaximized();
    else if (s == QLatin1String("ICONIZED"))
        showMinimized();
    else
        showNormal();
    if (g_area)
        g_area->setActiveSubWindow(this);
}

void tWin::saveState()
{
    if (m_saved || !oAppl)
        return;
    m_saved = true;
    IniFile& ini = oAppl->ini();
    if (m_browse)
        ini.Set(cName, QStringLiteral("BrwState"), m_browse->SaveState());
    if (m_bar)
        ini.Set(cName, QStringLiteral("BarMode"), cBarMode.isEmpty() ? QStringLiteral("TOP") : cBarMode);
    // the normal geometry: a maximised or minimised window reopens normal where it was
    const QRect g = (isMaximized() || isMinimized()) ? normalGeometry() : geometry();
    ini.Set(cName, QStringLiteral("Top"), g.top() / 16);
    ini.Set(cName, QStringLiteral("Left"), g.left() / 8);
    ini.Set(cName, QStringLiteral("Bottom"), (g.bottom() + 1) / 16);
    ini.Set(cName, QStringLiteral("Right"), (g.right() + 1) / 8);
    ini.Set(cName, QStringLiteral("cShow"), QStringLiteral("NORMAL"));
}

bool tWin::End()
{
    saveState();
    return close();
}

void tWin::closeEvent(QCloseEvent* e)
{
    saveState();
    QMdiSubWindow::closeEvent(e);
}

void tWin::refresh(bool deep)
{
    update();
    if (!deep)
        return;
    for (ui::tQ7Browse* b : findChildren<ui::tQ7Browse*>())
        b->refresh();
}

} // namespace app
