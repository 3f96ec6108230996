// The design text: what the designer saves is what the engine reads back, and
// a damaged design is refused with the line it fails on.
#include "qsl/design.h"
#include "qsl/labels.h"
#include "qsl/report.h"
#include "qsl/shipped_designs.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace qsl;

TEST(Design, ShippedDesignsSurviveATripThroughText)
{
    for (const QString& text : {shippedCardDesign(), shippedLabelDesign()}) {
        QString err;
        const auto d = parseDesign(text, &err);
        ASSERT_TRUE(d) << err.toStdString();
        const auto again = parseDesign(designText(*d), &err);
        ASSERT_TRUE(again) << err.toStdString();
        EXPECT_EQ(designText(*again), designText(*d));
        ASSERT_EQ(again->items.size(), d->items.size());
        for (size_t i = 0; i < d->items.size(); ++i) {
            EXPECT_EQ(again->items[i].text, d->items[i].text);
            EXPECT_EQ(again->items[i].when, d->items[i].when);
            EXPECT_EQ(again->items[i].mm, d->items[i].mm);
        }
    }
}

TEST(Design, QuotesAccentsAndBracketsKeepTheirPlace)
{
    const QString text = QStringLiteral("ORLANQSL 1\nPAGE 100 50\n"
                                        "TEXT x=1 y=2 w=30 h=5 text=\"Señal \"\"fuerte\"\" [[ok] año\"\n");
    const auto d = parseDesign(text);
    ASSERT_TRUE(d);
    ASSERT_EQ(d->items.size(), 1u);
    EXPECT_EQ(d->items[0].text, QStringLiteral("Señal \"fuerte\" [[ok] año"));
    EXPECT_EQ(parseDesign(designText(*d))->items[0].text, d->items[0].text);
    // without a grid the page is one card
    EXPECT_EQ(d->grid.perPage(), 1);
    EXPECT_DOUBLE_EQ(d->grid.width, 100);
}

TEST(Design, DamagedTextIsRefusedWithItsLine)
{
    const struct {
        const char* text;
        const char* line;
    } cases[] = {
        {"", "línea 1"},
        {"HELLO\n", "línea 1"},
        {"ORLANQSL 1\nPAGE 0 10\n", "línea 2"},
        {"ORLANQSL 1\nPAGE 100 100\nTEXT x=1 y=2 text=\"sin cerrar\n", "línea 3"},
        {"ORLANQSL 1\nGRID cols=0 rows=8\n", "línea 2"},
        {"ORLANQSL 1\n\n# nota\nCIRCLE x=1\n", "línea 4"},
        {"ORLANQSL 1\nTEXT x=abc\n", "línea 2"},
        {"ORLANQSL 1\nTEXT x=1 color=red\n", "línea 2"},
    };
    for (const auto& c : cases) {
        QString err;
        EXPECT_FALSE(parseDesign(QString::fromUtf8(c.text), &err)) << c.text;
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.line))) << err.toStdString();
    }
}

TEST(Design, LabelGridPlacesEverySlotOnTheSheet)
{
    const auto d = parseDesign(shippedLabelDesign());
    ASSERT_TRUE(d);
    EXPECT_EQ(d->grid.perPage(), 24);
    const QRectF sheet(QPointF(0, 0), d->page);
    for (int i = 0; i < 24; ++i)
        EXPECT_TRUE(sheet.contains(d->grid.slot(i))) << i;
    EXPECT_EQ(d->grid.slot(2).topLeft(), QPointF(140, 0.5));
    EXPECT_EQ(d->grid.slot(23).bottomRight(), QPointF(210, 296.5));
    EXPECT_EQ(d->grid.slot(24), d->grid.slot(0));
    // every item stays inside its label
    const QRectF label(0, 0, d->grid.width, d->grid.height);
    for (const Item& it : d->items)
        EXPECT_TRUE(label.contains(it.mm.topLeft()) && label.contains(it.mm.bottomRight())) << it.text.toStdString();
}

TEST(Design, ExpressionErrorsNameTheItem)
{
    auto d = parseDesign(QStringLiteral("ORLANQSL 1\nTEXT x=1 y=1 w=10 h=5 text=\"ok\"\n"
                                        "TEXT x=1 y=1 w=10 h=5 text=\"[Trim(d->NoSuchField)]\"\n"));
    ASSERT_TRUE(d);
    QString err;
    EXPECT_FALSE(Report::compile(*d, cardFields(), {}, &err));
    EXPECT_TRUE(err.startsWith(QStringLiteral("Elemento 2"))) << err.toStdString();
    d = parseDesign(QStringLiteral("ORLANQSL 1\nTEXT x=1 y=1 w=10 h=5 text=\"[Trim(Call)\"\n"));
    EXPECT_FALSE(Report::compile(*d, cardFields(), {}, &err));
    EXPECT_TRUE(err.contains(QStringLiteral("corchete")));
    EXPECT_EQ(designExpression(QStringLiteral("Trim(f->Nombre)+d->CALL+F -> Dir1")),
              QByteArray("Trim(F__Nombre)+CALL+F__Dir1"));
}

TEST(Design, PageItemsDrawOnEveryPageWithItsNumber)
{
    // two rows a page; a heading with the page number, a mark only on page 2
    const QString text = QStringLiteral("ORLANQSL 1\nPAGE 60 40\nGRID cols=1 rows=2 width=60 height=10 left=0 top=15\n"
                                        "TEXT x=2 y=0 w=50 h=10 text=\"[d->Call]\"\n"
                                        "SECTION page\n"
                                        "TEXT x=2 y=2 w=50 h=8 text=\"Página [LTrim(Str(Pagina))] de [LTrim(Str(Paginas))]\"\n"
                                        "BOX x=40 y=35 w=15 h=4 pen=2 when=\"Pagina = 2\"\n"
                                        "SECTION record\n"
                                        "LINE x=0 y=9 w=60 h=0\n");
    QString err;
    const auto d = parseDesign(text, &err);
    ASSERT_TRUE(d) << err.toStdString();
    ASSERT_EQ(d->items.size(), 4u);
    EXPECT_FALSE(d->items[0].perPage);
    EXPECT_TRUE(d->items[1].perPage);
    EXPECT_TRUE(d->items[2].perPage);
    EXPECT_FALSE(d->items[3].perPage);
    // the sections survive the trip through text, whatever order the items had
    const auto again = parseDesign(designText(*d));
    ASSERT_TRUE(again);
    for (size_t i = 0; i < d->items.size(); ++i)
        EXPECT_EQ(again->items[i].perPage, d->items[i].perPage) << i;
    EXPECT_FALSE(parseDesign(QStringLiteral("ORLANQSL 1\nSECTION header\n"), &err));
    EXPECT_TRUE(err.contains(QStringLiteral("línea 2")));

    RowSet rows;
    rows.fields = {{"CALL", 'C', 10, 0}};
    for (const char* c : {"EA1AA", "EA2BB", "EA3CC"})
        rows.rows.push_back({store::Value::text(QString::fromLatin1(c))});
    auto report = Report::compile(*d, rows.fields, {}, &err);
    ASSERT_TRUE(report) << err.toStdString();
    ASSERT_EQ(report->pageCount(3), 2);
    const QImage p1 = report->pageImage(0, 150, rows, {});
    const QImage p2 = report->pageImage(1, 150, rows, {});
    // the mark's corner of the page is blank on page 1 and inked on page 2
    auto inked = [](const QImage& img, QRect r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += qGray(img.pixel(x, y)) < 128;
        return n;
    };
    const double k = 150 / 25.4;
    const QRect mark(int(40 * k), int(35 * k), int(15 * k), int(4 * k));
    EXPECT_EQ(inked(p1, mark), 0);
    EXPECT_GT(inked(p2, mark), 0);
    // both pages carry their heading
    const QRect heading(int(2 * k), int(2 * k), int(50 * k), int(8 * k));
    EXPECT_GT(inked(p1, heading), 0);
    EXPECT_GT(inked(p2, heading), 0);
    EXPECT_NE(p1.copy(heading), p2.copy(heading));
}
