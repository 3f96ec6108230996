// QSL labels and cards for a large book.
//   qsl_bench [qsos] [work-dir]
// Fills a book with N QSOs (ADIF import), then times the labels of the
// shipped 3 x 8 design for every QSO to PDF (collecting the QSOs, filling
// the labels, drawing and writing), the same with cards for the first 1,000,
// and the spool's duplicate removal over the whole book.
#include "filled_book.h"

#include "qsl/labels.h"
#include "qsl/print_job.h"
#include "qsl/shipped_designs.h"
#include "qsl/spool.h"
#include "store/aliases.h"
#include "store/work_area.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>

namespace {

double msSince(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

qsl::Format format(bool label)
{
    qsl::Format f;
    f.description = label ? QStringLiteral("Etiquetas") : QStringLiteral("Tarjeta");
    f.label = label;
    f.qsosPerLabel = 3;
    f.perSheet = label ? 24 : 0;
    f.design = label ? qsl::shippedLabelDesign() : qsl::shippedCardDesign();
    for (const store::FieldInfo& fi : qsl::formatFields())
        f.fRow.push_back(qsl::blankValue(fi));
    f.fRow[1] = store::Value::text(QStringLiteral("EA1XX"));
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    bench::Run run(argc, argv, 10000);
    if (bench::filledBook(run.work, run.n) <= 0)
        return 1;
    store::WorkArea* log = store::Workspace::instance().area(store::alias::kLog);
    if (!log)
        return 1;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        const qsl::RowSet qsos = qsl::collectQsos(*log, {}, true);
        const double collected = msSince(t);
        qsl::PrintResult res;
        QString err;
        const QString pdf = run.work + QStringLiteral("/labels.pdf");
        if (!qsl::printQsos(format(true), qsos, 1, pdf, &res, &err)) {
            std::printf("labels: %s\n", qPrintable(err));
            return 1;
        }
        std::printf("labels: %d QSOs, %d labels, %d pages, %.0f KB: collected %.0f ms, total %.0f ms\n", res.qsos,
                    res.records, res.pages, QFileInfo(pdf).size() / 1024.0, collected, msSince(t));
    }
    {
        QElapsedTimer t;
        t.start();
        qsl::RowSet qsos = qsl::collectQsos(*log, {}, true);
        qsos.rows.resize(std::min<size_t>(qsos.rows.size(), 1000));
        qsl::PrintResult res;
        QString err;
        if (!qsl::printQsos(format(false), qsos, 1, run.work + QStringLiteral("/cards.pdf"), &res, &err))
            std::printf("cards: %s\n", qPrintable(err));
        else
            std::printf("cards: %d cards, %d pages: %.0f ms\n", res.records, res.pages, msSince(t));
    }
    return 0;
}
