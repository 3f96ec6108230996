// The award from the command line: the status table's rows as tab-separated
// lines, the entity sets, and what is wrong said plainly.
#include "cli_run.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(Award, TheStatusTablePrintsInTheViewsOrderWithTheTotalsLast)
{
    QTemporaryDir dir;
    const QString home = dir.path();
    ASSERT_EQ(cli(home, {"init", "--call", "ea4zz"}).code, 0);
    for (const QStringList& q : {QStringList{"dl1abc", "14.2", "SSB"}, QStringList{"ea1aa", "7.05", "CW"},
                                 QStringList{"dl2xyz", "7.05", "CW"}}) {
        const CliRun r = cli(home, {"add-qso", q[0], "--date", "20240501", "--time", "12:00", "--freq", q[1], "--mode", q[2]});
        ASSERT_EQ(r.code, 0) << r.out.toStdString();
    }
    CliRun r = cli(home, {"award", "dxcc"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    const QStringList lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4) << r.out.toStdString();
    // reference, description, mode key, ten bands, CincoB, Total
    const QStringList germany = lines[0].split('\t');
    ASSERT_EQ(germany.size(), 15);
    EXPECT_EQ(germany.mid(0, 3), (QStringList{"230", "ALEMANIA", "MIXED"}));
    EXPECT_EQ(germany[2 + 3], "T");    // 40M
    EXPECT_EQ(germany[2 + 5], "T");    // 20M
    EXPECT_EQ(germany[14], "T");
    EXPECT_TRUE(lines[1].startsWith("281\tESPAÑA\tMIXED\t\t\tT\t"));
    EXPECT_TRUE(lines[2].startsWith("zzz\t·Trabajados\tMIXED\t0\t0\t2\t0\t1\t"));
    EXPECT_TRUE(lines[3].startsWith("zzz\t··Confirmados\tMIXED\t0\t0\t0"));
    EXPECT_TRUE(lines[2].endsWith("\t0\t2"));

    r = cli(home, {"award", "DXCC", "--entities", "deleted"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.trimmed().isEmpty()) << r.out.toStdString();
    r = cli(home, {"award", "DXCC", "--entities", "active", "--book", "ea4zz"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.trimmed().split('\n').size(), 4);
}

TEST(Award, WrongArgumentsAreToldInSpanish)
{
    QTemporaryDir dir;
    const QString home = dir.path();
    ASSERT_EQ(cli(home, {"init", "--call", "ea4zz"}).code, 0);
    CliRun r = cli(home, {"award"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.startsWith("Uso: orlanlog-cli award"));
    r = cli(home, {"award", "DXCC", "--entities", "some"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.lastLine(), "Conjunto de entidades erróneo: \"some\" (all, active o deleted)");
    r = cli(home, {"award", "NADA"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.lastLine(), "No existe el diploma NADA");
    r = cli(home, {"award", "DXCC", "--book", "OTRO"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.lastLine(), "No existe el libro de guardia OTRO");
    r = cli(home, {"award", "PROVEA"});   // a list award over a book without references: nothing counted
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.trimmed().isEmpty());
}

} // namespace
