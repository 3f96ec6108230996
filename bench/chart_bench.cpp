// The statistics charts on a large book.
//   chart_bench [qsos] [work-dir]
// Fills a book with N QSOs (ADIF import), then times each of the five charts
// from the selection to its counts, the same limited to one band and to a
// range of dates, and the whole menu entry's work for the entity chart: the
// counts, the chart window built and drawn.
#include "filled_book.h"

#include "reports/chart_data.h"
#include "reports/views/chart_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include <cstdio>

namespace {

double msSince(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

void time(const char* what, reports::ChartRequest req)
{
    double best = 1e9;
    reports::ChartData c;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        reports::chartOf(req, &c);
        best = std::min(best, msSince(t));
    }
    std::printf("%-28s %7d QSOs counted, %2lld categories: %7.1f ms\n", what, c.qsos, qlonglong(c.labels.size()), best);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::Run run(argc, argv, 100000);
    if (bench::filledBook(run.work, run.n) <= 0)
        return 1;
    using K = reports::ChartKind;
    const std::pair<const char*, K> kinds[] = {{"entities (top 10 + rest)", K::Entities}, {"modes", K::Modes},
                                               {"bands", K::Bands}, {"continents", K::Continents}, {"hours", K::Hours}};
    for (const auto& [name, kind] : kinds)
        time(name, {.kind = kind, .top = 10, .withRest = true});
    time("bands, 20M only", {.kind = K::Bands, .selection = {.band = QStringLiteral("20M")}});
    time("hours, one year of dates", {.kind = K::Hours, .selection = {.from = QDate(2002, 1, 1), .to = QDate(2002, 12, 31)}});

    QElapsedTimer t;
    t.start();
    reports::ChartData c;
    reports::chartOf({.kind = K::Entities, .top = 10, .withRest = true}, &c);
    reports::ChartWindow w(c);
    w.resize(900, 600);
    const QImage img = w.grab().toImage();
    std::printf("entity chart, counted and drawn in its window (%dx%d): %.1f ms\n", img.width(), img.height(), msSince(t));
    return 0;
}
