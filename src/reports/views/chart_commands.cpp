#include "reports/views/chart_commands.h"

#include "reports/views/chart_selection_dialog.h"
#include "reports/views/chart_window.h"

#include "core/messages.h"

namespace reports {

void runChart(ChartKind kind, QWidget* parent, const ChartShow& show)
{
    ChartRequest req;
    req.kind = kind;
    if (!GRFSEL(&req.selection, parent))
        return;
    if (kind == ChartKind::Entities) {
        QString n = QStringLiteral("10");
        if (!ui::messages().input(QStringLiteral("Entidades a graficar"), QStringLiteral("Grafico por entidades"), &n))
            return;
        req.top = std::max(0, n.trimmed().toInt());
        req.withRest = ui::messages().yesNo(QStringLiteral("Incluir columna global con el resto de entidades"),
                                            QStringLiteral("Grafico por entidades"));
    }
    ChartData data;
    QString error;
    bool ok = false;
    ui::messages().wait(QStringLiteral("Contando QSO ..."), QStringLiteral("Espere por favor ..."),
                        [&] { ok = chartOf(req, &data, &error); });
    if (!ok) {
        ui::messages().stop(error);
        return;
    }
    show(new ChartWindow(std::move(data), parent));
}

} // namespace reports
