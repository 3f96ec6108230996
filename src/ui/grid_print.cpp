#include "grid_print.h"

#include "q7browse.h"

#include <QAbstractItemModel>
#include <QDate>
#include <QHeaderView>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <vector>

namespace ui {

namespace {

struct PrintColumn {
    int logical;
    double width;
    Qt::Alignment align;
};

} // namespace

int printGrid(tQ7Browse* grid, const QString& title, QPrinter* printer)
{
    QAbstractItemModel* model = grid->model();
    const QHeaderView* header = grid->horizontalHeader();
    QPainter p;
    if (!p.begin(printer))
        return 0;
    const QRectF page = printer->pageLayout().paintRectPixels(printer->resolution());
    const QRectF area(0, 0, page.width(), page.height());

    QFont font(QStringLiteral("Sans Serif"), 8);
    p.setFont(font);
    const QFontMetricsF fm(font, printer);
    const double lineH = fm.height() * 1.25;
    const double pad = fm.averageCharWidth();
    QFont bold = font;
    bold.setBold(true);
    const QFontMetricsF fmBold(bold, printer);

    // Each column as wide as its heading and the widest of the first rows, in
    // the printer's font; narrowed together when they do not fit the page.
    const int rows = model->rowCount();
    std::vector<PrintColumn> cols;
    double total = 0;
    for (int v = 0; v < header->count(); ++v) {
        const int logical = header->logicalIndex(v);
        if (header->isSectionHidden(logical))
            continue;
        double w = 0;
        for (const QString& line : model->headerData(logical, Qt::Horizontal).toString().split(QLatin1Char('\n')))
            w = std::max(w, fmBold.horizontalAdvance(line));
        for (int r = 0; r < std::min(rows, 500); ++r)
            w = std::max(w, fm.horizontalAdvance(model->index(r, logical).data().toString()));
        w += 2 * pad;
        cols.push_back({logical, w, Qt::Alignment(model->index(0, logical).data(Qt::TextAlignmentRole).toInt())});
        total += w;
    }
    if (total > area.width())
        for (PrintColumn& c : cols)
            c.width *= area.width() / total;

    int headerLines = 1;
    for (const PrintColumn& c : cols)
        headerLines = std::max<int>(headerLines, model->headerData(c.logical, Qt::Horizontal).toString().count(QLatin1Char('\n')) + 1);

    const int perPage = std::max(1, int((area.height() - lineH * (headerLines + 3)) / lineH));
    const int pages = std::max(1, (rows + perPage - 1) / perPage);
    const QString today = QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy"));
    for (int pg = 0; pg < pages; ++pg) {
        if (pg > 0)
            printer->newPage();
        double y = 0;
        p.setFont(bold);
        p.setPen(Qt::black);
        p.drawText(QRectF(0, y, area.width(), lineH), Qt::AlignLeft | Qt::AlignVCenter, title);
        p.setFont(font);
        p.drawText(QRectF(0, y, area.width(), lineH), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("%1   Página %2 de %3").arg(today).arg(pg + 1).arg(pages));
        y += lineH * 1.5;
        p.setFont(bold);
        double x = 0;
        for (const PrintColumn& c : cols) {
            const QString h = model->headerData(c.logical, Qt::Horizontal).toString();
            p.drawText(QRectF(x + pad, y, c.width - 2 * pad, lineH * headerLines), Qt::AlignBottom | (c.align & Qt::AlignHorizontal_Mask), h);
            x += c.width;
        }
        y += lineH * headerLines;
        p.drawLine(QPointF(0, y), QPointF(x, y));
        p.setFont(font);
        for (int r = pg * perPage; r < std::min(rows, (pg + 1) * perPage); ++r) {
            x = 0;
            for (const PrintColumn& c : cols) {
                const QModelIndex idx = model->index(r, c.logical);
                const QVariant fore = idx.data(Qt::ForegroundRole);
                p.setPen(fore.isValid() ? fore.value<QColor>() : QColor(Qt::black));
                const Qt::Alignment a = Qt::Alignment(idx.data(Qt::TextAlignmentRole).toInt());
                p.drawText(QRectF(x + pad, y, c.width - 2 * pad, lineH), (a & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter,
                           idx.data(Qt::DisplayRole).toString());
                x += c.width;
            }
            y += lineH;
        }
    }
    p.end();
    return pages;
}

void previewGrid(tQ7Browse* grid, const QString& title, QWidget* parent)
{
    previewPrint(title, QStringLiteral("Vista previa: ") + title, [grid, title](QPrinter* pr) { printGrid(grid, title, pr); },
                 parent);
}

bool previewPrint(const QString& docName, const QString& windowTitle, const std::function<void(QPrinter*)>& paint,
                  QWidget* parent, bool fullPage)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(docName);
    printer.setFullPage(fullPage);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(windowTitle);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, paint);
    preview.resize(900, 700);
    return preview.exec() == QDialog::Accepted;
}

} // namespace ui
