// Menu entries of the entity reports and of the statistics charts; a chart
// shows in the "GrfVis" window, which a new chart reuses.
#include "command_registry.h"
#include "main_frame.h"
#include "twin.h"
#include "windows.h"

#include "reports/views/chart_commands.h"
#include "reports/views/chart_window.h"
#include "reports/views/report_commands.h"

namespace app {

namespace {

void showChart(reports::ChartWindow* chart)
{
    tWin* w = HWND(WindowId::Chart);
    if (w) {
        QWidget* old = w->widget();
        w->setWidget(chart);
        delete old;
    } else {
        w = new tWin(WindowId::Chart, chart->windowTitle());
        w->setWidget(chart);
    }
    w->setWindowTitle(chart->data().title.trimmed());
    w->Activate(w->isMinimized() ? QStringLiteral("NORMAL") : QString());
}

void chart(reports::ChartKind kind, MainFrame* frame)
{
    reports::runChart(kind, frame, showChart);
}

} // namespace

void registerReportCommands(CommandRegistry& r)
{
    using reports::ChartKind;
    r.registerCommand(CommandId::WorkedUnconfirmed, [](MainFrame* f) { reports::INFWRKNOTCONF(f); });
    r.registerCommand(CommandId::NotWorked, [](MainFrame* f) { reports::INFNOTWRK(f); });
    r.registerCommand(CommandId::ChartEntities, [](MainFrame* f) { chart(ChartKind::Entities, f); });
    r.registerCommand(CommandId::ChartModes, [](MainFrame* f) { chart(ChartKind::Modes, f); });
    r.registerCommand(CommandId::ChartBands, [](MainFrame* f) { chart(ChartKind::Bands, f); });
    r.registerCommand(CommandId::ChartContinents, [](MainFrame* f) { chart(ChartKind::Continents, f); });
    r.registerCommand(CommandId::ChartHours, [](MainFrame* f) { chart(ChartKind::Hours, f); });
}

} // namespace app
