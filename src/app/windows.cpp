#include "windows.h"

#include "tappl.h"
#include "twin.h"

#include "core/messages.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>
#include <map>

namespace {

// The six views the program reopens, in the order a tie would keep.
const QStringList kReopenable = {QStringLiteral("ManLib"), QStringLiteral("ManEnt"), QStringLiteral("ManLog"),
                                 QStringLiteral("QsoAnt"), QStringLiteral("Telnet"), QStringLiteral("Spots")};

std::map<QString, std::function<void()>>& openers()
{
    static std::map<QString, std::function<void()>> m;
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

} // namespace

void registerView(const QString& name, std::function<void()> open) { openers()[name] = std::move(open); }
bool viewRegistered(const QString& name) { return openers().count(name) > 0; }

void openView(const QString& name)
{
    auto it = openers().find(name);
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
    std::vector<std::pair<int, QString>> found;
    for (const QString& name : kReopenable)
        found.emplace_back(int(opn.indexOf(name)) + 1, name);
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [pos, name] : found)
        if (pos > 0 && !LOPNWND(name))
            openView(name);
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
            if (w->cName != QLatin1String("Telnet")) {
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

void SETIE11() {}
