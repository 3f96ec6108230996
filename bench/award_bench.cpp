// The award status and the entity panel on a large book.
//   award_bench [qsos] [work-dir]
// Fills a book with N QSOs (ADIF import), then times the DXCC award (the
// computation and the status table written from it), a locator-free award over
// the CQ zones, and the entity panel's refresh for the entity of most QSOs and
// for one of few.
#include "filled_book.h"

#include "awards/award_definition.h"
#include "awards/award_status.h"
#include "awards/entity_status.h"
#include "awards/status_table.h"
#include "store/aliases.h"
#include "store/work_area.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double msSince(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

void award(const QString& code, const QString& dpl)
{
    awards::AwardDef def;
    if (!awards::findDefinition(code, &def)) {
        std::printf("%s: no definition\n", qPrintable(code));
        return;
    }
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        awards::AwardStatus status;
        QString error;
        if (!awards::computeAward(def, awards::EntitySet::All, awards::sessionBook(), &status, &error)) {
            std::printf("%s: %s\n", qPrintable(code), qPrintable(error));
            return;
        }
        const double computed = msSince(t);
        awards::fillStatusTable(status, dpl);
        std::printf("award %-8s %6d QSOs counted, %4zu rows: computed %.1f ms, with the status table %.1f ms\n",
                    qPrintable(code), status.qsos, status.rows.size(), computed, msSince(t));
    }
}

void panel(awards::EntityPanelState& p, const char* entity, const char* call)
{
    std::vector<double> ms;
    int counted = 0;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer t;
        t.start();
        counted = p.DPLVIS(QString::fromLatin1(entity), true);
        p.DPLCALL(QString::fromLatin1(call));
        ms.push_back(msSince(t));
    }
    std::sort(ms.begin(), ms.end());
    std::printf("entity panel %s (%d QSOs): median %.2f ms, max %.2f ms; unchanged entity %s\n", entity, counted,
                ms[ms.size() / 2], ms.back(), p.DPLVIS(QString::fromLatin1(entity)) == 0 ? "skipped" : "recomputed");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bench::Run run(argc, argv);
    if (bench::filledBook(run.work, run.n) < 0)
        return 1;
    const QString dpl = store::Workspace::instance().dataDir() + QStringLiteral("Dpl.dbf");
    award(QStringLiteral("DXCC"), dpl);
    award(QStringLiteral("WAZ"), dpl);
    awards::EntityPanelState p;
    store::WorkArea* log = store::Workspace::instance().area(store::alias::kLog);
    // the entity of the book's QSOs (every call of the generated book is Spanish), and one without QSOs
    for (log->goTop(); !log->eof() && log->str(QStringLiteral("CODENT")).trimmed().isEmpty(); log->skip())
        ;
    const QByteArray first = log->str(QStringLiteral("CODENT")).toLatin1();
    const QByteArray call = log->str(QStringLiteral("CALL")).trimmed().toLatin1();
    panel(p, first.constData(), call.constData());
    panel(p, "  1", "VE3AA");
    return 0;
}
