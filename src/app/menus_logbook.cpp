// Menu entries of the log books: the log-book window, the log window and the
// transfer of QSOs between books; and what the log-book operations need from the shell.
#include "command_registry.h"
#include "main_frame.h"
#include "panel_windows.h"
#include "script_modules.h"
#include "startup.h"
#include "tappl.h"
#include "twin.h"
#include "window_names.h"
#include "windows.h"

#include "awards/views/entity_panel.h"
#include "logbook/book_hooks.h"
#include "logbook/views/attachment_pages.h"
#include "logbook/views/book_dialog.h"
#include "logbook/views/log_books_window.h"
#include "logbook/views/log_window.h"
#include "logbook/views/transfer_dialog.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QFileInfo>
#include <QPointer>

namespace app {

namespace {

// MANLIB: the log-book window, brought forward when it is open.
void MANLIB()
{
    openPanelWindow(WindowId::LogBooks, QStringLiteral("Libros de guardia"), [] { return logbook::LogBooksPanel::open(); });
}

// MANLOG: the log window of the current book; its title follows the QSO under the cursor.
void MANLOG()
{
    auto window = std::make_shared<QPointer<tWin>>();
    logbook::LogWindowHost host;
    host.refreshWindow = [](const QString& name) {
        if (name == windowName(WindowId::EntityInfo))
            awards::DPLVIS2();   // the entity panel beside the entry form
        else
            REFWND(name, true);
    };
    const QString module = oAppl->cDirLocal + QStringLiteral("obj/PlusFilter.js");
    if (QFileInfo::exists(module))
        host.advancedFilter = [module] {
            QString expression;
            return runScriptModule(module, QStringLiteral("filtro"), &expression) ? expression : QString();
        };
    host.setTitle = [window](const QString& title) {
        if (*window)
            (*window)->setWindowTitle(title);
    };
    if (store::WorkArea* cfg = store::Workspace::instance().area(store::alias::kCfg); cfg && !cfg->eof()) {
        host.ruledRows = cfg->logical(QStringLiteral("LOGPAUTADO"));
        host.background1 = qint64(cfg->num(QStringLiteral("LOGBCK1")));
        host.background2 = qint64(cfg->num(QStringLiteral("LOGBCK2")));
    }
    logbook::LogWindow* view = nullptr;
    *window = openContentWindow(
        WindowId::Log, logbook::LogWindow::bookTitle(),
        [&]() -> std::pair<QWidget*, ui::GridPanel*> {
            view = logbook::LogWindow::open(host);
            return {view, view ? view->panel() : nullptr};
        },
        false);
    if (view)
        view->cursorMoved();   // the title, now that the window is there
}

} // namespace

void registerLogbookCommands(CommandRegistry& r)
{
    r.registerCommand(CommandId::LogBooks, [](MainFrame*) { MANLIB(); });
    registerView(WindowId::LogBooks, MANLIB);
    r.registerCommand(CommandId::Transfer, [](MainFrame* frame) { logbook::LIBTRAS(frame); });
    r.registerCommand(CommandId::LogWindow, [](MainFrame*) { MANLOG(); });
    registerView(WindowId::Log, MANLOG);
    // pages 4 and 5 of the log window: the QSO's images and sounds
    logbook::AttachmentPagesHost pages;
    pages.appTitle = QStringLiteral(ORLANLOG_NAME " " ORLANLOG_VERSION);
    logbook::registerAttachmentPages(std::move(pages));
}

void installLogbookHooks()
{
    logbook::BookHooks& h = logbook::hooks();
    h.displayName = oAppl->cName;
    h.bookChanged = [](const QString& book) { oAppl->cLibro = book; };
    // the windows that show the QSOs of the book go while its tables change
    h.closeBookWindows = [] {
        SAVOPNWND();
        CLSWND(WindowId::Log);
        CLSWND(WindowId::PreviousQsos);
    };
    h.reopenWindows = [] { RSTOPNWND(); };
    // a session with no log book at all: the user makes one, which the session then opens
    store::hooks().askForFirstBook = [] { logbook::EDTLIB(true, frame(), logbook::NewBook::Marked); };
}

} // namespace app
