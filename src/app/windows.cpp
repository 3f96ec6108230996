#include "windows.h"

#include "tappl.h"
#include "twin.h"
#include "window_names.h"

#include "core/messages.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>
#include <map>
#include <set>

namespace app {

namespace {

std::map<WindowId, std::function<void()>>& openers()
{
    static std::map<WindowId, std::function<void()>> m;
    return m;
}

QList<tWin*> windows()
{
    QList<tWin*> out;
    if (QMdiArea* a = tWin::area())
        for (QMdiSubWindow* w : a->subWindowList(QMdiArea::CreationOrder))
            if (auto* t = qobject_cast<tWin*>(w))
                out << t;
    return out;
}

std::set<WindowId>& standIns()
{
    static std::set<WindowId> s;
    return s;
}

} // namespace

void registerView(WindowId id, std::function<void()> open)
{
    if (!standIns().count(id))
        openers()[id] = std::move(open);
}

void standInView(WindowId id, std::function<void()> open)
{
    standIns().insert(id);
    openers()[id] = std::move(open);
}
bool viewRegistered(WindowId id) { return openers().count(id) > 0; }

void openView(WindowId id)
{
    auto it = openers().find(id);
    if (it != openers().end() && it->second)
        it->second();
}

void SAVOPNWND()
{
    QString names;
    for (tWin* w : windows())
        names += w->cName + QLatin1Char(';');
    oAppl->ini().Set(QStringLiteral("Wnd"), QStringLiteral("Opn"), names);
}

void RSTOPNWND()
{
    const QString opn = oAppl->ini().getString(QStringLiteral("Wnd"), QStringLiteral("Opn"), QString());
    std::vector<std::pair<int, WindowId>> found;
    for (const WindowName& w : windowNames())
        if (w.reopens)
            found.emplace_back(int(opn.indexOf(QLatin1String(w.name))) + 1, w.id);
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [pos, id] : found)
        if (pos > 0 && !LOPNWND(id))
            openView(id);
}

bool LOPNWND(const QString& name)
{
    for (tWin* w : windows())
        if (w->cName == name)
            return true;
    return false;
}

void REFWND(const QString& name, bool deep)
{
    for (tWin* w : windows())
        if (w->cName == name) {
            w->refresh(deep);
            return;
        }
}

void CLSWND(const QString& name)
{
    for (tWin* w : windows())
        if (w->cName == name)
            w->End();
}

void CLSWNDALL()
{
    for (;;) {
        tWin* victim = nullptr;
        for (tWin* w : windows())
            if (w->cName != windowName(WindowId::Cluster)) {
                victim = w;
                break;
            }
        if (!victim)
            return;
        victim->End();
        delete victim;   // closed windows leave the list at once
    }
}

tWin* HWND(const QString& name)
{
    tWin* last = nullptr;
    for (tWin* w : windows())
        if (w->cName == name)
            last = w;
    return last;
}

bool LOPNWND(WindowId id) { return LOPNWND(windowName(id)); }
void REFWND(WindowId id, bool deep) { REFWND(windowName(id), deep); }
void CLSWND(WindowId id) { CLSWND(windowName(id)); }
tWin* HWND(WindowId id) { return HWND(windowName(id)); }

void WINSAVPOS(QWidget* window, const QString& section)
{
    const QRect g = window->geometry();
    IniFile& ini = oAppl->ini();
    ini.Set(section, QStringLiteral("Top"), g.top() / 16);
    ini.Set(section, QStringLiteral("Left"), g.left() / 8);
    ini.Set(section, QStringLiteral("Bottom"), (g.bottom() + 1) / 16);
    ini.Set(section, QStringLiteral("Right"), (g.right() + 1) / 8);
}

bool MSGMETER(const std::function<void(ui::Meter&)>& action, const QString& text, const QString& title)
{
    return ui::messages().meter(action, text, title);
}

} // namespace app
