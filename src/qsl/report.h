#pragma once
// The report engine: a design compiled against the fields of its two work
// areas, "d" (the print data, one record a card or label) and "f" (the QSL
// format record), and drawn with QPainter on any paged device or on an image.

#include "qsl/design.h"
#include "qsl/rows.h"

#include <QString>

#include <memory>

class QImage;
class QPagedPaintDevice;
class QPainter;
class QPointF;

namespace store {
class ExprContext;
}

namespace qsl {

class Report {
public:
    ~Report();

    // Compiles every expression of `design`; on failure null and a Spanish
    // message in *error naming the item and the expression.
    static std::unique_ptr<Report> compile(const Design& design, const std::vector<store::FieldInfo>& dFields,
                                           const std::vector<store::FieldInfo>& fFields, QString* error = nullptr);

    const Design& design() const { return m_design; }
    // Pages needed for `records` records that start at slot `firstSlot` of the first sheet.
    int pageCount(int records, int firstSlot = 0) const;

    // Draws page `page` (0-based). The painter's device gives the resolution;
    // the page is drawn from its top-left corner, without margins.
    void drawPage(QPainter& p, int page, const RowSet& d, const std::vector<store::Value>& fRow,
                  int firstSlot = 0) const;
    // Every page on a paged device (PDF writer or printer), whose page is set
    // to the design's without margins; false when the device cannot be painted on.
    bool print(QPagedPaintDevice& device, const RowSet& d, const std::vector<store::Value>& fRow,
               int firstSlot = 0) const;
    bool toPdf(const QString& path, const RowSet& d, const std::vector<store::Value>& fRow, int firstSlot = 0,
               QString* error = nullptr) const;
    // One page as a white image at `dpi`.
    QImage pageImage(int page, double dpi, const RowSet& d, const std::vector<store::Value>& fRow,
                     int firstSlot = 0) const;

    struct Compiled;
private:
    Report() = default;
    void drawItems(QPainter& p, const store::ExprContext& ctx, const QPointF& originMm, bool pageItems) const;
    Design m_design;
    std::unique_ptr<Compiled> m_c;
};

// Rewrites "f->X" and "d->X" of a design expression into the names the
// compiler knows: "X" for the print data, "F__X" for the format record.
QByteArray designExpression(const QString& text);

} // namespace qsl
