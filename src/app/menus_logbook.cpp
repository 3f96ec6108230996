// Menu entries of the log books: the log-book window and the transfer of QSOs
// between books; and what the log-book operations need from the shell.
#include "command_registry.h"
#include "main_frame.h"
#include "panel_windows.h"
#include "startup.h"
#include "tappl.h"
#include "windows.h"

#include "logbook/book_hooks.h"
#include "logbook/views/book_dialog.h"
#include "logbook/views/log_books_window.h"
#include "logbook/views/transfer_dialog.h"
#include "store/access.h"

namespace app {

namespace {

// MANLIB: the log-book window, brought forward when it is open.
void MANLIB()
{
    openPanelWindow(WindowId::LogBooks, QStringLiteral("Libros de guardia"), [] { return logbook::LogBooksPanel::open(); });
}

} // namespace

void registerLogbookCommands(CommandRegistry& r)
{
    r.registerCommand(CommandId::LogBooks, [](MainFrame*) { MANLIB(); });
    registerView(WindowId::LogBooks, MANLIB);
    r.registerCommand(CommandId::Transfer, [](MainFrame* frame) { logbook::LIBTRAS(frame); });
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
