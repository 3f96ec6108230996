// The QSO entry rules on a large book.
//   entry_bench [qsos] [work-dir]
// Fills a book with N QSOs (ADIF import), then times what the entry form does
// while a call is typed (each keystroke: the earlier QSOs of the calls that
// begin with the text, the entity and the known calls containing it), the save of one new QSO with its
// index upkeep, and 10,000 QSOs entered as add-qso - enters them.
#include "filled_book.h"

#include "interchange/adif_import.h"
#include "logbook/partial_calls.h"
#include "logbook/qso_entry.h"
#include "logbook/qso_values.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "core/scripted_messages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Spread {
    std::vector<double> ms;
    void add(double v) { ms.push_back(v); }
    void print(const char* what)
    {
        std::sort(ms.begin(), ms.end());
        double sum = 0;
        for (double v : ms)
            sum += v;
        std::printf("%-34s mean %.3f ms, median %.3f ms, 99th %.3f ms, max %.3f ms (%zu)\n", what, sum / ms.size(),
                    ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back(), ms.size());
    }
};

double msSince(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

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

    logbook::QsoEntry entry(log, logbook::sessionSettings(true));
    logbook::PartialCalls partial;
    QElapsedTimer loading;
    loading.start();
    partial.loadList(logbook::masterScpPath());
    partial.addBook(log);
    std::printf("partial-call list: %d calls, read in %.1f ms\n", partial.size(), msSince(loading));
    // typing: calls of the book and calls it has never seen, a keystroke at a time
    Spread keys;
    const char* typed[] = {"EA3ABC", "EA1ZZZZ", "DL1ABC", "K1ABC/KH6", "JA1XYZ", "VK2ABC", "EA7", "F5XYZ/P", "EA0KA9", "EA5KZ"};
    for (int round = 0; round < 20; ++round)
        for (const char* call : typed) {
            entry.prepareNew();
            const QString c = QString::fromLatin1(call);
            for (int i = 1; i <= c.size(); ++i) {
                QElapsedTimer t;
                t.start();
                entry.callTyped(c.left(i));
                const QStringList shown = partial.matching(c.left(i));
                keys.add(msSince(t));
                (void)shown;
            }
        }
    keys.print("keystroke (limit, entity, list):");

    Spread saves;
    for (int i = 0; i < 300; ++i) {
        entry.prepareNew();
        entry.callTyped(QStringLiteral("EA%1SAVE%2").arg(i % 10).arg(i));
        QElapsedTimer t;
        t.start();
        if (entry.save() != logbook::QsoEntry::Saved::Written) {
            std::fprintf(stderr, "no se grabó el QSO %d\n", i);
            return 1;
        }
        saves.add(msSince(t));
    }
    saves.print("save of a new QSO:");

    const int lines = 10000;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < lines; ++i) {
        logbook::QsoValues v{.call = QStringLiteral("DL%1B%2").arg(i % 10).arg(i),
                             .date = QStringLiteral("20240501"),
                             .time = QStringLiteral("%1:%2").arg(i / 60 % 24, 2, 10, QLatin1Char('0')).arg(i % 60, 2, 10, QLatin1Char('0')),
                             .freq = i % 2 ? QStringLiteral("7.05") : QStringLiteral("14.2"),
                             .mode = i % 3 ? QStringLiteral("SSB") : QStringLiteral("CW")};
        QString key, error;
        if (!logbook::enterQso(entry, v, &key, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
    const double s = t.nsecsElapsed() / 1e9;
    std::printf("add-qso of %d lines:              %.2f s = %.0f QSOs/s\n", lines, s, lines / s);
    store::Workspace::instance().closeAll();
    return 0;
}
