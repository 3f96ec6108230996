// The selection from the command line: the count, the spreadsheet of the QSOs
// selected and the block change on them, and options that are refused.
#include "cli_run.h"

#include "store/work_area.h"
#include "store/workspace.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(CliSelect, CountsWritesTheSpreadsheetAndChangesTheSelectedQsos)
{
    QTemporaryDir dir;
    const QString home = dir.path();
    ASSERT_EQ(cli(home, {"init", "--call", "ea4zz"}).code, 0);
    for (const QStringList& q : QList<QStringList>{{"DL1ABC", "20240501", "12:00", "14.2", "SSB"},
                                                   {"EA1XX", "20240502", "13:00", "7.05", "CW"},
                                                   {"F5EA", "20240502", "14:00", "7.01", "CW"},
                                                   {"G3XYZ", "20240503", "09:00", "7.02", "CW"}})
        ASSERT_EQ(cli(home, {"add-qso", q[0], "--date", q[1], "--time", q[2], "--freq", q[3], "--mode", q[4]}).code, 0);

    CliRun r = cli(home, {"select", "--call", "EA"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("2 registros seleccionados\n")) << r.out.toStdString();
    r = cli(home, {"select", "--call", "ZZZ"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.startsWith("0 registros seleccionados")) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("Ningún registro cumple la condicion de filtrado")) << r.err.toStdString();

    const QString sheet = dir.filePath("cw.xlsx");
    r = cli(home, {"select", "--from", "20240502", "--mode", "cw", "--xlsx", sheet, "--set", "band=80m", "--set",
                   "qslsdate=20240601"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(r.out, "2 registros seleccionados\n2 registros enviados a " + sheet + "\n2 registros modificados\n");
    QProcess p;
    p.start("python3", {ORLANLOG_SOURCE_DIR "/tests/logbook/read_xlsx.py", sheet});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[2].startsWith("date:2024-05-02\tstr:13:00\t")) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].contains("\tstr:F5EA\t")) << lines[3].toStdString();

    store::Workspace w;
    w.setDataDir(home + "/datos");
    store::WorkArea* log = nullptr;
    ASSERT_TRUE(w.use("LogEA4ZZ", {.alias = "Log", .readOnly = true}, &log).isOk());
    QStringList rows;
    for (log->goTop(); !log->eof(); log->skip())
        if (!log->str("CALL").trimmed().isEmpty())
            rows << log->str("CALL").trimmed() + " " + log->str("BAND").trimmed() + " "
                        + log->date("QSLSDATE").toString("yyyyMMdd");
    EXPECT_EQ(rows, QStringList({"DL1ABC 20M ", "EA1XX 80M 20240601", "F5EA 80M 20240601", "G3XYZ 40M "}));
}

TEST(CliSelect, RefusesWhatItCannotDoAndChangesNothing)
{
    QTemporaryDir dir;
    const QString home = dir.path();
    ASSERT_EQ(cli(home, {"init", "--call", "ea4zz"}).code, 0);
    ASSERT_EQ(cli(home, {"add-qso", "EA1XX", "--date", "20240502", "--time", "13:00", "--freq", "7.05", "--mode", "CW"}).code, 0);
    const QString table = home + "/datos/LogEA4ZZ.dbf";
    QFile f(table);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();

    CliRun r = cli(home, {"select", "--set", "KEY=0000009"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.startsWith("Campo desconocido en el cambio en bloque: \"KEY\"")) << r.out.toStdString();
    r = cli(home, {"select", "--set", "QSLSDATE=20241301"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "Fecha no válida para QSLSDATE: \"20241301\" (AAAAMMDD)\n");
    r = cli(home, {"select", "--from", "2024-05-02"});
    EXPECT_EQ(r.code, 2);
    r = cli(home, {"select", "--set", "band=99m"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.lastLine(), "Banda desconocida: 99M");
    EXPECT_EQ(cli(home, {"select", "--colour", "red"}).code, 2);
    EXPECT_EQ(cli(home, {"select", "--qsl-rcvd", "maybe"}).code, 2);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

} // namespace
