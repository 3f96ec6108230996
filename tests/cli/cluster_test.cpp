// The cluster from the command line: recorded traffic filed and shown spot by
// spot, and a live connection to a test cluster.
#include "cli_run.h"
#include "../cluster/test_cluster_server.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

QByteArray spotLine(const char* spotter, const char* kHz, const char* call, const char* comment, const char* hhmm)
{
    return "DX de " + (QByteArray(spotter) + ':').leftJustified(9) + QByteArray(kHz).rightJustified(9) + "  " +
           QByteArray(call).leftJustified(12) + ' ' + QByteArray(comment).leftJustified(30) + ' ' + hhmm + "Z\r\n";
}

class CliCluster : public ::testing::Test {
protected:
    void SetUp() override
    {
        home = dir.path();
        ASSERT_EQ(cli(home, {"init", "--call", "ea4zz"}).code, 0);
    }
    QTemporaryDir dir;
    QString home;
};

TEST_F(CliCluster, SpotsFromRecordedTraffic)
{
    const QString file = home + "/traffic.txt";
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xff\xfb\x01login: ea4zz\r\nHello ea4zz\r\n");
    f.write(spotLine("N0XYZ", "14025.0", "K1ABC", "CW 599", "1234"));
    f.write("To ALL de EA1XX: hola\r\n");
    f.write(spotLine("N0XYZ", "14025.0", "K1ABC", "CW 599", "1234"));        // repeated
    f.write(spotLine("N0XYZ", "14O25.0", "K1ABD", "CW 599", "1234"));        // no frequency
    f.write(spotLine("EA1XX", "7074.0", "JA1ABC", "FT8 -10", "1235").replace("\r\n", "\n"));
    f.write("WWV de W0MU <18>:   SFI=68, A=5, K=1, No Storms\a\a\r\n");
    f.close();
    CliRun r = cli(home, {"spots", file});
    ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    const QStringList lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2) << r.out.toStdString();
    const QStringList first = lines[0].split('\t');
    ASSERT_EQ(first.size(), 10);
    EXPECT_EQ(first.mid(0, 6), (QStringList{"12:34", "N0XYZ", "14025.0", "K1ABC", "20M", "CW"}));
    EXPECT_FALSE(first[6].isEmpty());
    EXPECT_FALSE(first[7].isEmpty());
    EXPECT_EQ(first[8], "N    ");       // a new entity
    EXPECT_EQ(first[9], "CW 599");
    EXPECT_TRUE(lines[1].startsWith("12:35\tEA1XX\t7074.0\tJA1ABC\t40M\tFT8\t")) << lines[1].toStdString();

    r = cli(home, {"spots"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.startsWith("Uso: orlanlog-cli spots FICHERO|-"));
    r = cli(home, {"spots", home + "/no-such-file"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.contains("No se puede leer el fichero")) << r.out.toStdString();
}

TEST_F(CliCluster, LiveConnectionPrintsSpotsUntilTheServerCloses)
{
    TestClusterServer server({spotLine("DL1ABC", "21030.0", "VP8LP", "CW", "1300"), "To ALL de DL1ABC: hi\r\n",
                              spotLine("DL1ABC", "21030.0", "VP8LP", "CW", "1300"),
                              spotLine("W3LPL", "28495.0", "PY2AA", "SSB", "1301")},
                             true);
    CliRun r = cli(home, {"cluster", "127.0.0.1", QString::number(server.port()), "--login", "ea4zz", "--seconds", "20"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(server.login(), "EA4ZZ\r\n");
    const QStringList lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3) << r.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith("13:00\tDL1ABC\t21030.0\tVP8LP\t15M\tCW\t"));
    EXPECT_TRUE(lines[1].startsWith("13:01\tW3LPL\t28495.0\tPY2AA\t10M\tSSB\t"));
    EXPECT_EQ(lines[2], "El cluster cerró la conexión");

    // a cluster that stays on: the command ends when its seconds are up, saying bye
    TestClusterServer open({spotLine("DL1ABC", "14030.0", "ZS6AA", "CW", "1302")});
    r = cli(home, {"cluster", "127.0.0.1", QString::number(open.port()), "--login", "ea4zz", "--seconds", "1"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("13:02\tDL1ABC\t14030.0\tZS6AA\t20M\tCW\t")) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("cerró"));
    for (int i = 0; i < 50 && !open.received().endsWith("b\r\n\r\n"); ++i)
        QThread::msleep(20);
    EXPECT_TRUE(open.received().endsWith("b\r\n\r\n")) << open.received().toStdString();
}

TEST_F(CliCluster, ConnectionArgumentsAndAClusterThatIsNotThere)
{
    CliRun r = cli(home, {"cluster", "127.0.0.1", "7300"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.startsWith("Uso: orlanlog-cli cluster SERVIDOR PUERTO --login INDICATIVO"));
    r = cli(home, {"cluster", "127.0.0.1", "telnet", "--login", "ea4zz"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.contains("Puerto erróneo: \"telnet\"")) << r.out.toStdString();
    r = cli(home, {"cluster", "127.0.0.1", "7300", "--login", "ea4zz", "--seconds", "x"});
    EXPECT_EQ(r.code, 2);
    int port = 0;
    {
        TestClusterServer gone({});
        port = gone.port();
    }
    r = cli(home, {"cluster", "127.0.0.1", QString::number(port), "--login", "ea4zz", "--seconds", "2"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains("No se pudo establecer conexion con el cluster 127.0.0.1")) << r.out.toStdString();
}

} // namespace
