// The log window's selection, block change and spreadsheet export on a large book.
//   log_bench [qsos] [work-dir]
// Fills a book with N QSOs (ADIF import, 50 a day from 2000), then times a
// filter by a month of dates, one by entity, one by call text over every QSO,
// a block change of 10,000 selected QSOs, and the spreadsheet of the whole book.
#include "filled_book.h"

#include "core/scripted_messages.h"
#include "interchange/adif_import.h"
#include "logbook/block_change.h"
#include "logbook/log_columns.h"
#include "logbook/log_filter.h"
#include "logbook/sheet_export.h"
#include "store/aliases.h"
#include "store/work_area.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

double secondsSince(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e9; }

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bench::Run run(argc, argv);
    const int n = run.n;
    const QString work = run.work;
    if (bench::filledBook(work, n) < 0)
        return 1;
    store::WorkArea* log = store::Workspace::instance().area(store::alias::kLog);
    ui::SilentMeter meter;

    auto timedFilter = [&](const char* what, const logbook::LogFilter& f) {
        QElapsedTimer t;
        t.start();
        const logbook::FilterResult r = logbook::LOGFIL(*log, f, &meter, logbook::AddToPrevious::No);
        std::printf("%-40s %7d QSOs in %.3f s\n", what, r.count, secondsSince(t));
        return r;
    };
    timedFilter("filter by 30 days of dates:", {.from = QDate(2000, 3, 1), .until = QDate(2000, 3, 30)});
    log->setOrder(1);
    log->goTop();
    const QString entity = log->str(QStringLiteral("CODENT"));
    timedFilter("filter by entity:", {.entity = entity});
    timedFilter("filter by call text (every QSO read):", {.call = QStringLiteral("A1")});

    const QDate from(2000, 6, 1);
    const logbook::FilterResult selection = timedFilter("selection for the block change:", {.from = from, .until = from.addDays(10000 / 50 - 1)});
    QElapsedTimer t;
    t.start();
    if (selection.selected) {
        const logbook::BlockChangeResult b =
            logbook::LOGCHGBLQ(*log, {.band = QStringLiteral("30M"), .qslSentDate = QDate(2024, 5, 1)}, &meter);
        std::printf("%-40s %7d QSOs in %.3f s\n", "block change (band, QSL sent date):", b.changed, secondsSince(t));
    }

    logbook::LOGRMVFIL(*log);
    const QString sheet = work + QStringLiteral("/log.xlsx");
    t.restart();
    const logbook::SheetResult s = logbook::exportSheet(sheet, *log, logbook::logColumns(), &meter);
    std::printf("%-40s %7d QSOs in %.3f s (%.1f MB)\n", "spreadsheet of the whole book:", s.rows, secondsSince(t),
                QFileInfo(sheet).size() / 1e6);
    if (!s.written) {
        std::fprintf(stderr, "%s\n", qPrintable(s.error));
        return 1;
    }
    return 0;
}
