// Menu entry and log-window pages of the QSL cards: the format window
// "WrkRptQsl", the QSL desk and the print spool (pages 6 and 7 of the log
// window) and the QSL items of the QSO grids' context menu.
#include "command_registry.h"
#include "main_frame.h"
#include "panel_windows.h"
#include "tappl.h"
#include "window_names.h"
#include "windows.h"

#include "interchange/adif_export_dialog.h"
#include "qsl/views/format_window.h"
#include "qsl/views/qsl_pages.h"
#include "ui/grid_panel.h"

#include <QDir>

namespace app {

namespace {

// WRKRPTQSL: the format window, brought forward when it is open.
void WRKRPTQSL()
{
    openContentWindow(WindowId::QslFormats, QStringLiteral("Formatos de QSL"), []() -> std::pair<QWidget*, ui::GridPanel*> {
        qsl::FormatWindow* w = qsl::FormatWindow::open();
        return {w, w ? w->panel(0) : nullptr};
    });
}

} // namespace

void registerQslCommands(CommandRegistry& r)
{
    r.registerCommand(CommandId::QslFormats, [](MainFrame*) { WRKRPTQSL(); });
    registerView(WindowId::QslFormats, WRKRPTQSL);
    qsl::QslPagesHost host;
    host.exportSpoolAdif = [](QWidget* parent) {
        interchange::adifSpoolCommand({oAppl->cName, oAppl->cVer, oAppl->cAppl}, QDir::currentPath(), oAppl->cLibro, parent);
    };
    qsl::registerQslPages(host);
}

} // namespace app
