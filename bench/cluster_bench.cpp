// Spots parsed, classified against a large log book and filed:
//   cluster_bench [qsos] [work-dir]
// Fills a book with generated QSOs (100,000 by default), then feeds recorded
// cluster traffic, one line per chunk as a server sends it: spots of the calls
// of MASTER.SCP on the HF bands in CW, SSB and FT8, every tenth line an
// announcement, bulletin or other chatter. Prints spots filed per second for
// the whole traffic and for spots of entities the book holds thousands of
// unconfirmed QSOs of (the status reads all of them). Never fails on time.
#include "filled_book.h"

#include "cluster/spot_feed.h"
#include "refdata/resolve.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

#include <cstdio>

namespace {

QByteArray spotLine(const QByteArray& spotter, double kHz, const QByteArray& call, const QByteArray& comment, int minute)
{
    QByteArray s = "DX de " + (spotter + ':').leftJustified(9, ' ', true);
    s += QByteArray::number(kHz, 'f', 1).rightJustified(9, ' ', true) + "  ";
    s += call.leftJustified(12, ' ', true) + ' ' + comment.leftJustified(30, ' ', true) + ' ';
    s += QByteArray::number(minute / 60 % 24).rightJustified(2, '0') + QByteArray::number(minute % 60).rightJustified(2, '0');
    return s + "Z\r\n";
}

QList<QByteArray> masterCalls()
{
    QList<QByteArray> calls;
    QFile f(bench::sourceData() + QStringLiteral("MASTER.SCP"));
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray& c : f.readAll().split('\n'))
            if (!c.trimmed().isEmpty() && !c.startsWith('#'))
                calls << c.trimmed();
    return calls;
}

double longestMs = 0;

// Feeds the lines one by one; the spots filed and the seconds taken.
double feedAll(cluster::SpotFeed& feed, const QList<QByteArray>& lines, int* filed)
{
    QElapsedTimer t, one;
    t.start();
    *filed = 0;
    for (const QByteArray& l : lines) {
        one.start();
        *filed += int(feed.CRTSPOT(l, QStringLiteral("EA1XX")).spots.size());
        longestMs = std::max(longestMs, double(one.nsecsElapsed()) / 1e6);
    }
    return double(t.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bench::Run run(argc, argv);
    const QList<QByteArray> calls = masterCalls();
    if (calls.isEmpty() || bench::filledBook(run.work, run.n) < 0) {
        std::fprintf(stderr, "cluster_bench: faltan MASTER.SCP o la carpeta del libro\n");
        return 1;
    }
    const double bands[] = {3525, 7012, 10115, 14025, 18075, 21030, 24900, 28030, 14200, 21250, 14074, 7074};
    const char* comments[] = {"CW 599 up 1", "", "tnx QSO", "CW", "", "", "", "", "SSB 59", "USB", "FT8 -12", "FT8"};
    QList<QByteArray> lines;
    const int spots = 20000;
    for (int i = 0; i < spots; ++i) {
        const int b = i % 12;
        lines << spotLine("EA" + QByteArray::number(i % 9 + 1) + "ABC", bands[b] + (i % 50) * 0.1, calls[i % calls.size()],
                          comments[b], i / 7);
        if (i % 10 == 0)
            lines << (i % 20 ? QByteArray("To ALL de EA4ZZ: up 5 please\r\n")
                             : QByteArray("WWV de W0MU <18>:   SFI=70, A=4, K=1, No Storms -> No Storms\a\a\r\n"));
    }
    cluster::INIFILCLUS();
    cluster::SpotFeed feed;
    int filed = 0;
    const double s = feedAll(feed, lines, &filed);
    std::printf("%-60s %10d\n", "cluster lines fed", int(lines.size()));
    std::printf("%-60s %10d\n", "spots filed (band and mode followed, not repeated)", filed);
    std::printf("%-60s %10.0f spots/s (goal 5000)\n", "parsed, classified and filed", filed / s);

    // the hard case: entities with thousands of QSOs none of them confirmed
    QList<QByteArray> hard;
    const char* worked[] = {"K1ABC", "DL1ABC", "I1ABC"};     // the book's unconfirmed entities
    for (int i = 0; i < 2000; ++i)
        hard << spotLine("EA5XYZ", 14025 + i % 40, QByteArray(worked[i % 3]) + QByteArray::number(i), "CW", i);
    const double h = feedAll(feed, hard, &filed);
    std::printf("%-60s %10.0f spots/s\n", "spots of entities with 16,000 unconfirmed QSOs each", filed / h);
    std::printf("%-60s %10.1f ms\n", "longest line", longestMs);

    // a QSO confirmed: the spots of the next second read the log, then the summary is made again
    store::WorkArea* log = store::Workspace::instance().area(QStringLiteral("Log"));
    log->goTop();
    log->lockRecord();
    log->put(QStringLiteral("QSLRCVD"), QStringLiteral("Y"));
    log->unlock();
    QList<QByteArray> one;
    one << spotLine("EA5XYZ", 14025, "K1XYZ", "CW", 1000);
    longestMs = 0;
    feedAll(feed, one, &filed);
    std::printf("%-60s %10.1f ms\n", "a spot of a busy entity while the log is being written", longestMs);
    QThread::msleep(1100);
    one[0] = spotLine("EA5XYZ", 14025, "K1XYZ", "CW", 1001);
    longestMs = 0;
    feedAll(feed, one, &filed);
    std::printf("%-60s %10.1f ms\n", "the first spot once the log is at rest (summary made)", longestMs);
    return 0;
}
