// orlanlog-cli on a home of its own: one line per result, exit status telling
// whether everything is right, usable while another process has the tables open.
#include "cli_run.h"
#include "store/workspace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(Cli, InitCheckKeygenReorganizeOnAHomeInUse)
{
    QTemporaryDir dir;
    const QString home = dir.path();
    CliRun r = cli(home, {"init", "--call", "ea4zz"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("EA4ZZ"));
    EXPECT_TRUE(QFile::exists(home + "/datos/LogEA4ZZ.dbf"));

    r = cli(home, {"check"});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("OK    LogEA4ZZ.dbf: 1 registros, 7 etiquetas correctas")) << r.out.toStdString();

    // another user has the log open and adds a QSO: check and keygen still work beside it
    store::Workspace w;
    w.setDataDir(home + "/datos");
    store::WorkArea* log = nullptr;
    ASSERT_TRUE(w.use("LogEA4ZZ", {.alias = "Log"}, &log).isOk());
    ASSERT_TRUE(log->append().isOk());
    log->put("CALL", "K1ABC");
    log->put("KEY", "0000007");
    log->unlock();
    r = cli(home, {"check"});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    r = cli(home, {"keygen"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains("0000008")) << r.out.toStdString();
    // the reorganisation needs the tables alone: it says so and fails
    r = cli(home, {"reorganize"});
    EXPECT_NE(r.code, 0);
    w.closeAll();
    r = cli(home, {"reorganize"});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Reorganizando Log EA4ZZ"));
    EXPECT_TRUE(r.out.contains("Regeneración de indices concluida"));
}

// A home with nothing in it, or without a table it must have, is no sound home.
TEST(Cli, CheckNamesWhatAHomeLacks)
{
    QTemporaryDir dir;
    CliRun r = cli(dir.path(), {"check"});
    EXPECT_NE(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("no existe la carpeta de datos")) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("correctas")) << r.out.toStdString();

    ASSERT_EQ(cli(dir.path(), {"init", "--call", "ea4zz"}).code, 0);
    ASSERT_TRUE(QFile::remove(dir.path() + "/datos/Band.dbf"));
    r = cli(dir.path(), {"check"});
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.out.contains("ERROR Band.dbf: falta la tabla")) << r.out.toStdString();
}

TEST(Cli, CheckFindsATagOutOfStep)
{
    QTemporaryDir dir;
    const QString home = dir.path();
    ASSERT_EQ(cli(home, {"init", "--call", "EA4ZZ"}).code, 0);
    // a record written behind the index's back
    QFile f(home + "/datos/LogEA4ZZ.dbf");
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QByteArray head = f.read(32);
    const int headerLen = uchar(head[8]) | uchar(head[9]) << 8;
    f.seek(headerLen + 1 + 2 + 10 + 6);   // deletion byte, AGE, ADDRES, BAND: the CALL of record 1
    f.write("ZZ9ZZ");
    f.close();
    CliRun r = cli(home, {"check"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains("ERROR LogEA4ZZ.dbf: CALL")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("tablas con errores"));
}

// A new book holds one blank record, which is no QSO: the exports write and count
// none, and the record stays until the reorganisation.
TEST(Cli, ANewBookExportsNoQso)
{
    QTemporaryDir dir;
    const QString home = dir.path();
    ASSERT_EQ(cli(home, {"init", "--call", "EA4ZZ"}).code, 0);
    CliRun r = cli(home, {"export-adif", home + "/out.adi"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("\n0 QSOs")) << r.out.toStdString();
    QFile adi(home + "/out.adi");
    ASSERT_TRUE(adi.open(QIODevice::ReadOnly));
    const QByteArray text = adi.readAll();
    EXPECT_TRUE(text.endsWith("<EOH>\r\n"));
    EXPECT_FALSE(text.contains("<EOR>"));
    r = cli(home, {"export-cabrillo", home + "/out.cbr", "--contest", "CQ-WW-SSB", "--call", "EA4ZZ"});
    EXPECT_TRUE(r.out.contains("Se han exportado 0 contactos")) << r.out.toStdString();
    r = cli(home, {"check"});
    EXPECT_TRUE(r.out.contains("OK    LogEA4ZZ.dbf: 1 registros")) << r.out.toStdString();
}

TEST(Cli, DistanceAndSunTimesWithClearErrors)
{
    QTemporaryDir dir;
    CliRun r = cli(dir.path(), {"dist", "IN80DK", "IO91WM"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains("1262 Km")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("paso largo")) << r.out.toStdString();
    r = cli(dir.path(), {"dist", "IN80DK", "ZZ99"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.contains("Locator")) << r.out.toStdString();
    r = cli(dir.path(), {"sun", "IN80DK", "20240621"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains("orto 04:49 UTC, ocaso 19:43 UTC")) << r.out.toStdString();
    r = cli(dir.path(), {"sun", "IN80DK", "20241341"});
    EXPECT_EQ(r.code, 2);
}

TEST(Cli, ReorganizeNamesATableItCannotReadAndDeletesNothing)
{
    QTemporaryDir dir;
    const QString home = dir.path();
    ASSERT_EQ(cli(home, {"init", "--call", "EA4ZZ"}).code, 0);
    // the log's header says it has more records than the file holds
    QFile f(home + "/datos/LogEA4ZZ.dbf");
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(4);
    f.write("\xFF\xFF\x00\x00", 4);
    f.close();
    const QStringList names = QDir(home + "/datos").entryList(QDir::Files);
    QProcess p;   // what it tells goes to the terminal, on either channel
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(ORLANLOG_CLI), {"--home", home, "reorganize"});
    ASSERT_TRUE(p.waitForFinished(120000));
    const QString out = QString::fromUtf8(p.readAll());
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(out.contains("LogEA4ZZ")) << out.toStdString();
    EXPECT_FALSE(out.contains("Regeneración de indices concluida")) << out.toStdString();
    EXPECT_EQ(QDir(home + "/datos").entryList(QDir::Files), names);   // no index deleted, nothing left beside
}
