// The log window over a large book: opening it with its thirty columns, the
// jump to the first QSO and back to the last, a page down.
//   log_window_bench [qsos] [work-dir]
#include "filled_book.h"

#include "interchange/adif_import.h"
#include "logbook/views/log_window.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"
#include "core/scripted_messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <cstdio>

namespace {

double msSince(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

// Sends a key to the grid and lets it paint.
double key(QWidget* w, int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QElapsedTimer t;
    t.start();
    QKeyEvent press(QEvent::KeyPress, k, mods);
    QApplication::sendEvent(w, &press);
    w->repaint();
    QApplication::processEvents();
    return msSince(t);
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bench::Run run(argc, argv);
    const int n = run.n;
    const QString work = run.work;
    if (bench::filledBook(work, n) < 0)
        return 1;

    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        std::unique_ptr<logbook::LogWindow> w(logbook::LogWindow::open({}));
        w->resize(1400, 800);
        w->show();
        QApplication::processEvents();
        const double open = msSince(t);
        ui::tQ7Browse* grid = w->panel()->browse();
        const double home = key(grid, Qt::Key_Home, Qt::ControlModifier);
        const double end = key(grid, Qt::Key_End, Qt::ControlModifier);
        const double pageUp = key(grid, Qt::Key_PageUp);
        std::printf("open with 30 columns %.1f ms; first QSO %.1f ms, last QSO %.1f ms, page up %.1f ms\n", open, home, end, pageUp);
    }
    store::Workspace::instance().closeAll();
    return 0;
}
