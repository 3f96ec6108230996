// Menu entries and tool-bar button of the DX-cluster windows, and what the
// cluster needs from the shell.
#include "command_registry.h"
#include "main_frame.h"
#include "panel_windows.h"
#include "tappl.h"
#include "twin.h"
#include "windows.h"

#include "cluster/telnet.h"
#include "cluster/views/spot_dx_dialog.h"
#include "cluster/views/spots_window.h"
#include "cluster/views/telnet_window.h"
#include "logbook/views/entry_form.h"
#include "station/cat.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

namespace app {

namespace {

// TELNET: one cluster window; opening it again brings it forward.
void openTelnet()
{
    if (tWin* w = HWND(WindowId::Cluster)) {
        w->Activate(w->isMinimized() ? QStringLiteral("NORMAL") : QString());
        return;
    }
    auto* w = new tWin(WindowId::Cluster, QStringLiteral("Telnet DX Cluster"));
    w->setWidget(new cluster::TelnetWindow);
    w->Activate();
}

void openSpots()
{
    openPanelWindow(WindowId::Spots, QStringLiteral("Anuncios DX Cluster"), [] { return cluster::openSpotsPanel(); });
}

} // namespace

void registerClusterCommands(CommandRegistry& r)
{
    cluster::ClusterHost host;
    host.spotChosen = [] {
        // the rig to the spot, then a new QSO with its call, frequency, band and mode
        if (store::WorkArea* spots = store::Workspace::instance().area(store::alias::kSpots); spots && !spots->eof())
            station::CATSET(spots->num(QStringLiteral("FREQ2")), spots->str(QStringLiteral("MODE")).trimmed());
        logbook::EDTLOG(true, true, store::alias::kLog);
        REFWND(WindowId::Log);
        REFWND(WindowId::PreviousQsos);
    };
    host.readLayout = [](const QString& section) {
        return oAppl ? oAppl->ini().getString(section, QStringLiteral("BrwState"), QString()) : QString();
    };
    host.writeLayout = [](const QString& section, const QString& state) {
        if (oAppl)
            oAppl->ini().Set(section, QStringLiteral("BrwState"), state);
    };
    cluster::setClusterHost(std::move(host));

    r.registerCommand(CommandId::ClusterWindow, [](MainFrame*) { openTelnet(); });
    r.registerCommand(CommandId::SpotsWindow, [](MainFrame*) { openSpots(); });
    registerView(WindowId::Cluster, openTelnet);
    registerView(WindowId::Spots, openSpots);
}

} // namespace app
