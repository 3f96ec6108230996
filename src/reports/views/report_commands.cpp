#include "reports/views/report_commands.h"

#include "reports/entity_reports.h"
#include "reports/views/band_mode_dialog.h"

#include "core/messages.h"
#include "core/version.h"
#include "ui/grid_print.h"

#include <QPrinter>

namespace reports {

namespace {

void run(EntityReport kind, const BandModeChoice& choice, bool includeDeleted, QWidget* parent)
{
    std::optional<PreparedReport> r;
    QString error;
    ui::messages().wait(QStringLiteral("Procesando informe, esepere por favor ..."), QStringLiteral(ORLANLOG_NAME),
                        [&] { r = prepareEntityReport(kind, choice, includeDeleted, &error); });
    if (!r) {
        ui::messages().stop(error);
        return;
    }
    previewReport(*r, parent);
}

} // namespace

void previewReport(const PreparedReport& report, QWidget* parent)
{
    const QString title = QStringLiteral("Gestor de informes " ORLANLOG_NAME ORLANLOG_VERSION);
    ui::previewPrint(report.title, title, [&report](QPrinter* printer) {
        report.report->print(*printer, report.rows, report.heading);
    }, parent, true);
}

void INFWRKNOTCONF(QWidget* parent)
{
    const EntityReport kind = EntityReport::WorkedNotConfirmed;
    CMNPMT([=](const BandModeChoice& c) { run(kind, c, false, parent); }, reportTitle(kind), parent);
}

void INFNOTWRK(QWidget* parent)
{
    const EntityReport kind = EntityReport::NotWorked;
    CMNPMT(
        [=](const BandModeChoice& c) {
            const bool deleted = ui::messages().noYes(QStringLiteral("Incluir entidades deleted"));
            run(kind, c, deleted, parent);
        },
        reportTitle(kind), parent);
}

} // namespace reports
