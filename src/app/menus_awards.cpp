// Menu entries, tool-bar drop-down and windows of the awards: the award
// management window, the award views, the lists behind their cells, the
// previous-QSO window, and the entity panel beside the entry form.
#include "command_registry.h"
#include "main_frame.h"
#include "panel_windows.h"
#include "tappl.h"
#include "twin.h"
#include "window_names.h"
#include "windows.h"

#include "awards/local_time.h"
#include "awards/views/award_config_window.h"
#include "awards/views/awards_host.h"
#include "awards/views/previous_qsos_window.h"
#include "logbook/views/entry_form.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/grid_panel.h"

namespace app {

namespace {

WindowId idOf(const QString& name)
{
    if (name == windowName(WindowId::AwardStatistics))
        return WindowId::AwardStatistics;
    if (name == windowName(WindowId::AwardWorked))
        return WindowId::AwardWorked;
    return WindowId::Awards;
}

void showWindow(const QString& name, const QString& title, QWidget* content, ui::GridPanel* panel)
{
    const WindowId id = idOf(name);
    if (tWin* open = HWND(id)) {
        // a second list reuses the window with the new title
        QWidget* old = open->widget();
        open->setWidget(content);
        open->setBrowse(panel->browse());
        open->setButtonBar(panel->bar());
        delete old;
        open->setWindowTitle(title);
        open->Activate(open->isMinimized() ? QStringLiteral("NORMAL") : QString());
        return;
    }
    bool made = false;
    openContentWindow(
        id, title,
        [&]() -> std::pair<QWidget*, ui::GridPanel*> {
            made = true;
            return {content, panel};
        },
        false);
    if (!made)
        delete content;
}

void openAwardConfig()
{
    openPanelWindow(WindowId::Awards, QStringLiteral("Gestion de diplomas"), [] { return awards::openAwardConfigPanel(); });
}

void openPreviousQsos()
{
    openContentWindow(
        WindowId::PreviousQsos, QStringLiteral("Qso Anteriores"),
        []() -> std::pair<QWidget*, ui::GridPanel*> {
            awards::PreviousQsosWindow* w = awards::PreviousQsosWindow::open();
            return {w, w ? w->panel() : nullptr};
        });
}

void editRecord(quint32 record)
{
    store::WorkArea* log = store::Workspace::instance().area(store::alias::kLog);
    if (!log || !log->goTo(record).isOk() || log->eof())
        return;
    REFWND(WindowId::Log);
    logbook::EDTLOG(false, false, store::alias::kLog);
}

} // namespace

void registerAwardCommands(CommandRegistry& r)
{
    awards::AwardsHost host;
    host.showWindow = showWindow;
    host.raiseWindow = [](const QString& name) {
        tWin* w = HWND(idOf(name));
        if (w)
            w->Activate(w->isMinimized() ? QStringLiteral("NORMAL") : QString());
        return w != nullptr;
    };
    host.editQso = editRecord;
    host.newQso = [] { logbook::EDTLOG(true, false, store::alias::kLog); };
    host.timeZoneService = [] {
        return oAppl ? oAppl->ini().getString(QStringLiteral("Servicios"), awards::kTimeZoneKey, awards::kTimeZoneDefault)
                     : awards::kTimeZoneDefault;
    };
    awards::setAwardsHost(std::move(host));

    r.registerCommand(CommandId::ConfigureAwards, [](MainFrame*) { openAwardConfig(); });
    r.registerCommand(CommandId::PreviousQsos, [](MainFrame*) { openPreviousQsos(); });
    registerView(WindowId::Awards, openAwardConfig);
    registerView(WindowId::PreviousQsos, openPreviousQsos);
}

} // namespace app
