// Drawing: the shipped label design for a few QSOs, compared with a stored
// image; and the PDF of several sheets.
#include "qsl/labels.h"
#include "qsl/report.h"
#include "qsl/shipped_designs.h"

#include <QFile>
#include <QImage>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qsl;
using store::Value;

namespace {

RowSet sampleQsos(int count)
{
    RowSet r;
    r.fields = cardFields();
    const char* calls[] = {"EA1XX", "EA1XX", "EA1XX", "EA1XX", "DL1ABC", "F5ÑÑ", "G4XYZ", "G4XYZ"};
    for (int i = 0; i < count; ++i) {
        auto& row = r.appendBlank();
        r.set(row, "CALL", Value::text(QString::fromUtf8(calls[i % 8])));
        r.set(row, "NAME", Value::text(QStringLiteral("José Peña")));
        r.set(row, "QSLVIA", Value::text(QByteArray(i % 8 == 4 ? "DL0BUR" : "")));
        r.set(row, "QSODATE", Value::date(QDate(2024, 5, 1 + i % 28)));
        r.set(row, "TIMEON", Value::text(QByteArray("12:3") + QByteArray::number(i % 10)));
        r.set(row, "BAND", Value::text(QByteArray(i % 2 ? "20M" : "40M")));
        r.set(row, "MODE", Value::text(QByteArray(i % 3 ? "SSB" : "CW")));
        r.set(row, "RSTSENT", Value::text(QByteArray("59")));
        r.set(row, "QSLRCVD", Value::text(QByteArray(i % 2 ? "Y" : "N")));
    }
    return r;
}

std::vector<Value> formatRecord()
{
    return {Value::text(QByteArray("Etiquetas")), Value::text(QStringLiteral("EA4ZZ")),
            Value::text(QStringLiteral("Apartado 123")), Value::text(QStringLiteral("28080 Madrid")),
            Value::text(QStringLiteral("¡Gracias por el QSO! 73")), Value::text(QString())};
}

std::unique_ptr<Report> labelReport()
{
    QString err;
    auto r = Report::compile(*parseDesign(shippedLabelDesign()), labelFields(), formatFields(), &err);
    EXPECT_TRUE(r) << err.toStdString();
    return r;
}

// Share of pixels that differ clearly between two images of one size.
double differingShare(const QImage& a, const QImage& b)
{
    long diff = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 96)
                ++diff;
    return double(diff) / (double(a.width()) * a.height());
}

} // namespace

TEST(Render, LabelSheetMatchesTheStoredImage)
{
    const auto report = labelReport();
    ASSERT_TRUE(report);
    const RowSet labels = fillLabels(sampleQsos(8), 3);
    ASSERT_EQ(labels.rows.size(), 5u);
    // printing starts at label 2 of a used sheet
    const QImage img = report->pageImage(0, 100, labels, formatRecord(), 1).convertToFormat(QImage::Format_RGB32);
    const QString ref = QStringLiteral(ORLANLOG_SOURCE_DIR "/tests/qsl/data/label_sheet.png");
    if (qEnvironmentVariableIsSet("ORLANLOG_WRITE_REFERENCE"))
        img.save(ref);
    QImage want(ref);
    ASSERT_FALSE(want.isNull()) << "falta " << ref.toStdString();
    want = want.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(img.size(), want.size());
    EXPECT_LT(differingShare(img, want), 0.004);
    // the first slot stays empty, the second holds ink
    const double k = 100 / 25.4;
    auto inkIn = [&](const QRectF& mm) {
        int ink = 0;
        for (int y = int(mm.top() * k); y < int(mm.bottom() * k); ++y)
            for (int x = int(mm.left() * k); x < int(mm.right() * k); ++x)
                ink += qGray(img.pixel(x, y)) < 128;
        return ink;
    };
    EXPECT_EQ(inkIn(QRectF(0, 0.5, 70, 37)), 0);
    EXPECT_GT(inkIn(QRectF(70, 0.5, 70, 37)), 200);
    EXPECT_EQ(inkIn(QRectF(0, 37.5 * 3, 210, 150)), 0);   // five labels from slot 2: rows 1 and 2 only
}

TEST(Render, LongTextStaysInsideItsBox)
{
    const auto d = parseDesign(QStringLiteral("ORLANQSL 1\nPAGE 60 20\n"
                                              "TEXT x=10 y=5 w=20 h=8 size=14 text=\"[Trim(d->Call)] muy largo de verdad\"\n"));
    ASSERT_TRUE(d);
    const auto r = Report::compile(*d, cardFields(), formatFields());
    ASSERT_TRUE(r);
    const QImage img = r->pageImage(0, 150, sampleQsos(1), formatRecord());
    const double k = 150 / 25.4;
    int inside = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (qGray(img.pixel(x, y)) > 128)
                continue;
            const bool in = x >= int(10 * k) - 1 && x <= int(30 * k) + 1 && y >= int(5 * k) - 1 && y <= int(13 * k) + 1;
            ASSERT_TRUE(in) << x << "," << y;
            ++inside;
        }
    EXPECT_GT(inside, 50);
}

TEST(Render, PdfHasOnePagePerSheetAndReplacesWhole)
{
    const auto report = labelReport();
    ASSERT_TRUE(report);
    const RowSet labels = fillLabels(sampleQsos(160), 3);
    EXPECT_EQ(report->pageCount(int(labels.rows.size()), 23), (int(labels.rows.size()) + 23 + 23) / 24);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("etiquetas.pdf"));
    QString err;
    ASSERT_TRUE(report->toPdf(path, labels, formatRecord(), 0, &err)) << err.toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "),
              report->pageCount(int(labels.rows.size())));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".part")));
    // a folder that is not there: refused, and said
    EXPECT_FALSE(report->toPdf(dir.filePath(QStringLiteral("no/such/x.pdf")), labels, formatRecord(), 0, &err));
    EXPECT_TRUE(err.startsWith(QStringLiteral("No se pudo escribir")));
}

TEST(Render, AnyPagedDeviceGetsTheDesignsPage)
{
    QString err;
    const auto card = Report::compile(*parseDesign(shippedCardDesign()), cardFields(), formatFields(), &err);
    ASSERT_TRUE(card) << err.toStdString();
    QTemporaryDir dir;
    QPdfWriter pdf(dir.filePath(QStringLiteral("t.pdf")));   // A4 until told otherwise, as a printer is
    ASSERT_TRUE(card->print(pdf, sampleQsos(3), formatRecord()));
    const QSizeF page = pdf.pageLayout().fullRect(QPageLayout::Millimeter).size();
    EXPECT_NEAR(page.width(), 140, 0.5);
    EXPECT_NEAR(page.height(), 90, 0.5);
    EXPECT_EQ(pdf.pageLayout().margins(), QMarginsF(0, 0, 0, 0));
}
