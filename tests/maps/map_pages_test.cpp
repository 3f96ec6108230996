// The generated pages: what they carry, what they load, and that what is
// put into them stays data.
#include "maps/map_pages.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace maps;

namespace {

// The page's data object (the text after "var PAGE = ").
QJsonObject pageData(const QString& html)
{
    const qsizetype start = html.indexOf(QStringLiteral("var PAGE = "));
    const qsizetype end = html.indexOf(QStringLiteral(";\n"), start);
    QString json = html.mid(start + 11, end - start - 11);
    json.replace(QStringLiteral("<\\/"), QStringLiteral("</"));
    return QJsonDocument::fromJson(json.toUtf8()).object();
}

// Nothing is loaded from outside the page: no script, style or image source
// (Leaflet's attribution link is a link, not a load).
void expectSelfContained(const QString& html)
{
    static const QRegularExpression outside(QStringLiteral(R"re((<script[^>]*src|<img[^>]*src|<link[^>]*href|url\()\s*=?\s*["']?(https?:)?//)re"));
    EXPECT_FALSE(outside.match(html).hasMatch()) << outside.match(html).captured(0).toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("var ORLAN_WORLD")));
    EXPECT_TRUE(html.contains(QStringLiteral("L.map")));
}

} // namespace

TEST(MapPages, PathMapCarriesLeafletTheOutlineAndTheZoomRule)
{
    qputenv("ORLANLOG_MAPS", MAPS_ASSETS_DIR);
    const QString html = HTMLMAP("Perfil elevación", "IN80DO", "IO91WM", " G4ABC ");
    expectSelfContained(html);
    EXPECT_TRUE(html.contains(QStringLiteral("<title>Perfil elevación</title>")));
    const QJsonObject d = pageData(html);
    EXPECT_EQ(d["zoom"].toInt(), 4);
    EXPECT_EQ(d["label"].toString(), "G4ABC");
    EXPECT_EQ(d["width"].toInt(), 50);
    EXPECT_EQ(d["tiles"].toString(), "");
    EXPECT_EQ(pageData(HTMLMAP("t", "IN80DO", "IN80EK", "x"))["zoom"].toInt(), 6);
    EXPECT_EQ(pageData(HTMLMAP("t", "IN80DO", "RF72", "x"))["zoom"].toInt(), 1);
    EXPECT_EQ(pageData(HTMLMAP("t", "IN80DO", "IN80EK", "x", {}, 3))["zoom"].toInt(), 3);
    const QJsonObject tiles = pageData(HTMLMAP("t", "IN80DO", "IN80EK", "x", {"https://t.example/{z}/{x}/{y}.png"}));
    EXPECT_EQ(tiles["tiles"].toString(), "https://t.example/{z}/{x}/{y}.png");

    // A label that tries to end the script stays text.
    const QString hostile = HTMLMAP("<b>t</b>", "IN80DO", "IO91WM", "</script><script>alert(1)</script>");
    EXPECT_FALSE(hostile.contains(QStringLiteral("</script><script>alert(1)")));
    EXPECT_TRUE(hostile.contains(QStringLiteral("<title>&lt;b&gt;t&lt;/b&gt;</title>")));
    EXPECT_EQ(pageData(hostile)["label"].toString(), "</script><script>alert(1)</script>");
}

TEST(MapPages, GridMapColoursConfirmedSquaresGreenAndWorkedYellow)
{
    qputenv("ORLANLOG_MAPS", MAPS_ASSETS_DIR);
    QMap<QString, QChar> squares{{"IN80", 'C'}, {"IN73", 'W'}, {"XX99", 'C'}};
    const QString html = gridMapPage(squares);
    expectSelfContained(html);
    EXPECT_TRUE(html.contains(QStringLiteral("<title>Orlanlog | Locators </title>")));
    const QJsonArray list = pageData(html)["squares"].toArray();
    ASSERT_EQ(list.size(), 2);   // the text that is no square is left out
    EXPECT_EQ(list[0].toObject()["name"].toString(), "IN73");
    EXPECT_EQ(list[0].toObject()["colour"].toString(), "#FFFF00");
    EXPECT_EQ(list[1].toObject()["name"].toString(), "IN80");
    EXPECT_EQ(list[1].toObject()["colour"].toString(), "#00D600");
    EXPECT_EQ(list[1].toObject()["lat"].toInt(), 40);
    EXPECT_EQ(list[1].toObject()["lon"].toInt(), -4);
}

TEST(MapPages, ViewAndEarthPages)
{
    qputenv("ORLANLOG_MAPS", MAPS_ASSETS_DIR);
    const QString view = viewMapPage({{"IN80DO", "FN42", "#0000FF", "K1ABC"}, {"IN80DO", "", "#ff0000", "EA4A"},
                                      {"", "IO91", "#ff0000", "G4A"}, {"IN80DO", "ZZ99", "#ff0000", "X"}},
                                     "IN80DO");
    expectSelfContained(view);
    const QJsonArray lines = pageData(view)["lines"].toArray();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].toObject()["colour"].toString(), "#0000FF");

    const QString earth = HTMLEARTH("IN80DO", "PM95", "JA1XYZ", "EA4ZZ",
                                    QDateTime(QDate(2026, 12, 8), QTime(21, 46), QTimeZone::utc()));
    expectSelfContained(earth);
    for (const char* button : {"Fronteras", "Dia y Noche", "Ctrl.Navegacion"})
        EXPECT_TRUE(earth.contains(QString::fromLatin1(button))) << button;
    const QJsonObject d = pageData(earth);
    EXPECT_EQ(d["lbl1"].toString(), "EA4ZZ");
    EXPECT_EQ(d["lbl2"].toString(), "JA1XYZ");
    EXPECT_EQ(d["moment"].toString(), "2026-12-08T21:46:00Z");
    EXPECT_GT(d["night"].toArray().size(), 100);
    EXPECT_EQ(d["long"].toArray().size(), 360);

    EXPECT_EQ(earthTimestamp(QDate(2026, 12, 8), "21:46", 3600), "2026-12-08T21:46:00+01:00");
    EXPECT_EQ(earthTimestamp(QDate(2026, 7, 1), "08:05", -5 * 3600), "2026-07-01T08:05:00-05:00");
}

TEST(MapPages, MissingAssetsSayItOnThePage)
{
    qputenv("ORLANLOG_MAPS", "/nonexistent/maps");
    const QString html = HTMLMAP("t", "IN80DO", "IO91WM", "x");
    // Leaflet then comes from the system (libjs-leaflet, needed to build); the outline is the program's own
    EXPECT_TRUE(html.contains(QStringLiteral("No se encuentra el contorno del mundo")));
    qputenv("ORLANLOG_MAPS", MAPS_ASSETS_DIR);
}
