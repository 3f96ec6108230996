#include "qsl/report.h"
#include "part_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

namespace qsl {

namespace {

struct Segment {
    QString literal;
    std::unique_ptr<store::Expression> expr;
};

struct CompiledItem {
    const Item* item = nullptr;
    std::vector<Segment> text;
    std::unique_ptr<store::Expression> when;
    QFont font;
};

// Both records seen as one: the print data first, the format record after it.
class PairContext : public store::ExprContext {
public:
    PairContext(const std::vector<store::Value>* d, size_t dCount, const std::vector<store::Value>* f, size_t fCount,
                quint32 rec, int page, int pages)
        : m_d(d), m_dCount(dCount), m_f(f), m_fCount(fCount), m_rec(rec), m_page(page), m_pages(pages) {}
    store::Value field(int index) const override
    {
        const size_t i = size_t(index);
        if (i < m_dCount)
            return m_d && i < m_d->size() ? (*m_d)[i] : store::Value();
        const size_t j = i - m_dCount;
        if (j < m_fCount)
            return j < m_f->size() ? (*m_f)[j] : store::Value();
        return store::Value::number(j == m_fCount ? m_page : m_pages);
    }
    quint32 recNo() const override { return m_rec; }
    bool deleted() const override { return false; }

private:
    const std::vector<store::Value>* m_d;
    size_t m_dCount;
    const std::vector<store::Value>* m_f;
    size_t m_fCount;
    quint32 m_rec;
    int m_page;
    int m_pages;
};

} // namespace

struct Report::Compiled {
    std::vector<CompiledItem> items;
    size_t dCount = 0;
    size_t fCount = 0;
    // blank print data for the page items of a page without records
    std::vector<store::Value> blankD;
};

Report::~Report() = default;

QByteArray designExpression(const QString& text)
{
    static const QRegularExpression f(QStringLiteral("\\b[fF]\\s*->\\s*([A-Za-z_][A-Za-z0-9_]*)"));
    static const QRegularExpression d(QStringLiteral("\\b[dD]\\s*->\\s*"));
    QString s = text;
    s.replace(f, QStringLiteral("F__\\1"));
    s.replace(d, QString());
    return s.toLatin1();
}

std::unique_ptr<Report> Report::compile(const Design& design, const std::vector<store::FieldInfo>& dFields,
                                        const std::vector<store::FieldInfo>& fFields, QString* error)
{
    std::unique_ptr<Report> r(new Report);
    r->m_design = design;
    r->m_c = std::make_unique<Compiled>();
    r->m_c->dCount = dFields.size();
    r->m_c->fCount = fFields.size();
    std::vector<store::FieldInfo> all = dFields;
    for (const store::FieldInfo& f : dFields)
        r->m_c->blankD.push_back(blankValue(f));
    for (store::FieldInfo f : fFields) {
        f.name = "F__" + f.name;
        all.push_back(f);
    }
    // the page being drawn and the number of pages
    for (const char* name : {"PAGINA", "PAGINAS"}) {
        store::FieldInfo f;
        f.name = name;
        f.type = 'N';
        f.len = 5;
        all.push_back(f);
    }
    auto compileOne = [&](const QString& text, size_t itemNo) -> std::unique_ptr<store::Expression> {
        QString why;
        auto e = store::Expression::compile(designExpression(text), all, &why);
        if (!e && error)
            *error = QStringLiteral("Elemento %1, expresión «%2»: %3").arg(itemNo + 1).arg(text, why);
        return e;
    };
    const std::vector<Item>& items = r->m_design.items;
    for (size_t n = 0; n < items.size(); ++n) {
        const Item& it = items[n];
        CompiledItem ci;
        ci.item = &it;
        if (!it.when.isEmpty()) {
            ci.when = compileOne(it.when, n);
            if (!ci.when)
                return nullptr;
        }
        if (it.kind == ItemKind::Text) {
            ci.font = QFont(it.family);
            ci.font.setPointSizeF(it.size);
            ci.font.setBold(it.bold);
            ci.font.setItalic(it.italic);
            const QString& t = it.text;
            QString lit;
            for (int i = 0; i < t.size(); ++i) {
                if (t[i] != QLatin1Char('[')) {
                    lit += t[i];
                    continue;
                }
                if (i + 1 < t.size() && t[i + 1] == QLatin1Char('[')) {
                    lit += QLatin1Char('[');
                    ++i;
                    continue;
                }
                const int close = t.indexOf(QLatin1Char(']'), i + 1);
                if (close < 0) {
                    if (error)
                        *error = QStringLiteral("Elemento %1: falta el corchete de cierre").arg(n + 1);
                    return nullptr;
                }
                if (!lit.isEmpty())
                    ci.text.push_back({lit, nullptr});
                lit.clear();
                auto e = compileOne(t.mid(i + 1, close - i - 1), n);
                if (!e)
                    return nullptr;
                ci.text.push_back({QString(), std::move(e)});
                i = close;
            }
            if (!lit.isEmpty())
                ci.text.push_back({lit, nullptr});
        }
        r->m_c->items.push_back(std::move(ci));
    }
    return r;
}

int Report::pageCount(int records, int firstSlot) const
{
    const int per = std::max(1, m_design.grid.perPage());
    const int used = records + firstSlot;
    return std::max(1, (used + per - 1) / per);
}

void Report::drawPage(QPainter& p, int page, const RowSet& d, const std::vector<store::Value>& fRow,
                      int firstSlot) const
{
    const int per = std::max(1, m_design.grid.perPage());
    const int firstOnPage = page * per;
    const int pages = pageCount(int(d.rows.size()), firstSlot);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    // the page's own items see the first record drawn on it
    {
        const long first = std::max(0L, long(firstOnPage) - firstSlot);
        const std::vector<store::Value>* row = size_t(first) < d.rows.size() ? &d.rows[size_t(first)] : &m_c->blankD;
        const PairContext ctx(row, m_c->dCount, &fRow, m_c->fCount, quint32(first + 1), page + 1, pages);
        drawItems(p, ctx, QPointF(0, 0), true);
    }
    for (int s = 0; s < per; ++s) {
        const long row = long(firstOnPage + s) - firstSlot;
        if (row < 0)
            continue;
        if (size_t(row) >= d.rows.size())
            break;
        const PairContext ctx(&d.rows[size_t(row)], m_c->dCount, &fRow, m_c->fCount, quint32(row + 1), page + 1, pages);
        drawItems(p, ctx, m_design.grid.slot(s).topLeft(), false);
    }
    p.restore();
}

void Report::drawItems(QPainter& p, const store::ExprContext& ctx, const QPointF& originMm, bool pageItems) const
{
    const QPaintDevice* dev = p.device();
    const double kx = dev->logicalDpiX() / 25.4;
    const double ky = dev->logicalDpiY() / 25.4;
    auto px = [&](const QRectF& mm) {
        return QRectF(mm.x() * kx, mm.y() * ky, mm.width() * kx, mm.height() * ky);
    };
    {
        for (const CompiledItem& ci : m_c->items) {
            const Item& it = *ci.item;
            if (it.perPage != pageItems)
                continue;
            if (ci.when && !ci.when->eval(ctx).toBool())
                continue;
            const QRectF box = px(it.mm.translated(originMm));
            if (it.kind == ItemKind::Line || it.kind == ItemKind::Box) {
                QPen pen(Qt::black);
                pen.setWidthF(std::max(0.5, it.pen * kx));
                p.setPen(pen);
                p.setBrush(Qt::NoBrush);
                if (it.kind == ItemKind::Line)
                    p.drawLine(box.topLeft(), box.bottomRight());
                else
                    p.drawRect(box);
                continue;
            }
            QString text;
            for (const Segment& seg : ci.text)
                text += seg.expr ? seg.expr->eval(ctx).toString() : seg.literal;
            while (text.endsWith(QLatin1Char(' ')))
                text.chop(1);
            if (text.isEmpty())
                continue;
            QFont font = ci.font;
            QFontMetricsF fm(font, dev);
            double w = fm.horizontalAdvance(text);
            if (w > box.width() && w > 0) {
                // too long for its box: smaller type, down to two thirds, then cut
                const double scale = std::max(0.66, box.width() / w);
                font.setPointSizeF(it.size * scale);
                fm = QFontMetricsF(font, dev);
                text = fm.elidedText(text, Qt::ElideRight, box.width());
            }
            p.setFont(font);
            p.setPen(Qt::black);
            const int h = it.align == 'C' ? Qt::AlignHCenter : it.align == 'R' ? Qt::AlignRight : Qt::AlignLeft;
            p.save();
            p.setClipRect(box);
            p.drawText(box, h | Qt::AlignVCenter | Qt::TextSingleLine, text);
            p.restore();
        }
    }
}

bool Report::print(QPagedPaintDevice& device, const RowSet& d, const std::vector<store::Value>& fRow,
                   int firstSlot) const
{
    // the design's page, drawn from its corner: a printer's own margins are the sheet's concern
    device.setPageLayout(QPageLayout(QPageSize(m_design.page, QPageSize::Millimeter), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    QPainter p;
    if (!p.begin(&device))
        return false;
    const int pages = pageCount(int(d.rows.size()), firstSlot);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            device.newPage();
        drawPage(p, i, d, fRow, firstSlot);
    }
    return p.end();
}

bool Report::toPdf(const QString& path, const RowSet& d, const std::vector<store::Value>& fRow, int firstSlot,
                   QString* error) const
{
    // written beside the target and renamed, so a failure leaves an older file whole
    const QString part = path + QStringLiteral(".part");
    bool ok = false;
    if (!QFileInfo(path).absoluteDir().exists()) {
        if (error)
            *error = QStringLiteral("No se pudo escribir el fichero %1").arg(path);
        return false;
    }
    {
        QPdfWriter pdf(part);
        pdf.setResolution(600);
        pdf.setCreator(QStringLiteral("Orlan Win Log"));
        ok = print(pdf, d, fRow, firstSlot);
    }
    return finishPart(ok, part, path, error);
}

QImage Report::pageImage(int page, double dpi, const RowSet& d, const std::vector<store::Value>& fRow,
                         int firstSlot) const
{
    const int w = int(m_design.page.width() / 25.4 * dpi + 0.5);
    const int h = int(m_design.page.height() / 25.4 * dpi + 0.5);
    QImage img(w, h, QImage::Format_RGB32);
    const int dpm = int(dpi / 0.0254 + 0.5);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    img.fill(Qt::white);
    QPainter p(&img);
    drawPage(p, page, d, fRow, firstSlot);
    p.end();
    return img;
}

} // namespace qsl
