#pragma once
// A QSL card or label design: the page, the grid of labels on it and the items
// drawn in each label, all measured in millimetres. Kept as text in the memo
// FORMATO of FrmQsl; designText() and parseDesign() convert both ways.
//
// The text is one statement a line; '#' starts a comment line:
//   ORLANQSL 1
//   PAGE 210 297
//   GRID cols=3 rows=8 width=70 height=37 left=0 top=0.5 hgap=0 vgap=0
//   TEXT x=3 y=2 w=64 h=6 font="DejaVu Sans" size=11 style=B align=L text="A: [Trim(d->Call)]"
//   LINE x=3 y=9 w=64 h=0 pen=0.2
//   BOX x=0 y=0 w=70 h=37 pen=0.3
// Any item may carry when="expression": it is drawn only when that is true.
// After "SECTION page" the items are drawn once on every page, measured from
// the page's corner (headings, column titles, page numbers); "SECTION record"
// goes back to the items of each card, label or row. The numeric fields
// PAGINA and PAGINAS give the page being drawn and the number of pages.
// In a text, "[expr]" is replaced by the value of the expression and "[[" is a
// literal '['. Expressions see the print data as "d->FIELD" (or just FIELD) and
// the format record as "f->Nombre", "f->Dir1", "f->Dir2", "f->Txt1", "f->Txt2".

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>
#include <vector>

namespace qsl {

enum class ItemKind { Text, Line, Box };

struct Item {
    ItemKind kind = ItemKind::Text;
    QRectF mm;                      // position and size inside the label
    QString family = QStringLiteral("DejaVu Sans");
    double size = 9;                // points
    bool bold = false;
    bool italic = false;
    char align = 'L';               // L, C, R
    double pen = 0.2;               // line width, mm
    QString text;
    QString when;
    bool perPage = false;           // drawn once a page, in page coordinates
};

struct Grid {
    int cols = 1;
    int rows = 1;
    double width = 0, height = 0;   // one label
    double left = 0, top = 0;       // page margins before the first label
    double hgap = 0, vgap = 0;      // between labels
    int perPage() const { return cols * rows; }
    QRectF slot(int index) const;   // label `index` (0-based) on its page, mm
};

struct Design {
    QSizeF page{210, 297};          // mm
    Grid grid;
    std::vector<Item> items;
};

// Parses a design; on failure nothing and, in *error, a Spanish message with the line.
std::optional<Design> parseDesign(const QString& text, QString* error = nullptr);
QString designText(const Design& design);

} // namespace qsl
