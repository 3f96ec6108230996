// orlanlog-cli map: the grid-square page of a log book, where one confirmed
// QSO makes its square green whatever the other QSOs in it, and the path map.
#include "cli_run.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString readText(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

} // namespace

TEST(CliMap, GridPageFromTheLogAndPathPage)
{
    QTemporaryDir dir;
    const QString home = dir.path();
    qputenv("ORLANLOG_CONFIG", (home + QStringLiteral("/config")).toLocal8Bit());
    qputenv("ORLANLOG_OFFLINE", "1");
    ASSERT_EQ(cli(home, {"init", "--call", "ea4zz"}).code, 0);
    for (const QStringList& q : {QStringList{"EA4AAA", "IN80DO"}, QStringList{"EA4BBB", "IN80EK"},
                                 QStringList{"EA1CCC", "IN73"}, QStringList{"EA8DDD", "il18"}})
        ASSERT_EQ(cli(home, {"add-qso", q[0], "--date", "20260102", "--time", "10:00", "--freq", "7.05", "--mode", "CW",
                             "--grid", q[1]})
                      .code,
                  0);
    ASSERT_EQ(cli(home, {"select", "--call", "EA4BBB", "--set", "QSLRCVD=Y"}).code, 0);

    const QString grid = home + QStringLiteral("/grid.html");
    const CliRun r = cli(home, {"map", "grid", "--html", grid});
    ASSERT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Cuadrículas: 3 (confirmadas 1)"));
    const QString page = readText(grid);
    EXPECT_TRUE(page.contains(R"("colour":"#00D600","lat":40,"lon":-4,"name":"IN80")")) << page.right(400).toStdString();
    EXPECT_TRUE(page.contains(R"("colour":"#FFFF00","lat":43,"lon":-6,"name":"IN73")"));
    EXPECT_TRUE(page.contains(R"("name":"IL18")"));
    EXPECT_TRUE(page.contains(R"("tiles":"")"));   // offline: the outline only
    EXPECT_TRUE(page.contains("var ORLAN_WORLD"));

    const QString path = home + QStringLiteral("/path.html");
    ASSERT_EQ(cli(home, {"map", "path", "--html", path, "--from", "IN80DO", "--to", "IO91WM", "--label", "G4ABC"}).code, 0);
    EXPECT_TRUE(readText(path).contains(R"("zoom":4)"));
    EXPECT_EQ(cli(home, {"map", "path", "--html", path, "--from", "IN80DO", "--to", "ZZ99"}).code, 2);
    EXPECT_EQ(cli(home, {"map", "globe", "--html", path}).code, 2);
    qunsetenv("ORLANLOG_OFFLINE");
}
