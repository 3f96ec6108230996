// QSOs entered from the command line, one by one and in bulk, by two programs at once.
#include "cli_run.h"

#include "store/work_area.h"
#include "store/workspace.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(AddQso, OneQsoIsDerivedAndSavedAndAWrongOneSaysWhy)
{
    QTemporaryDir dir;
    const QString home = dir.path();
    ASSERT_EQ(cli(home, {"init", "--call", "ea4zz"}).code, 0);
    CliRun r = cli(home, {"add-qso", "dl1abc", "--date", "20240501", "--time", "12:34", "--freq", "14.2", "--mode", "SSB",
                          "--name", "Hans", "--grid", "jo62"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(r.lastLine().size(), 7) << "the key: " << r.out.toStdString();
    r = cli(home, {"add-qso", "dl1abc", "--date", "20240501", "--time", "12:34", "--freq", "14.2", "--mode", "PIGEON"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.lastLine(), "Modo desconocido: \"PIGEON\"");
    r = cli(home, {"add-qso"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.startsWith("Uso: orlanlog-cli add-qso"));

    store::Workspace w;
    w.setDataDir(home + "/datos");
    store::WorkArea* log = nullptr;
    ASSERT_TRUE(w.use("LogEA4ZZ", {.alias = "Log"}, &log).isOk());
    log->goBottom();
    EXPECT_EQ(log->str("CALL").trimmed(), "DL1ABC");
    EXPECT_EQ(log->str("BAND").trimmed(), "20M");
    EXPECT_EQ(log->str("DXCC"), "230");
    EXPECT_EQ(log->str("GRIDSQUARE").trimmed(), "JO62LL");
    EXPECT_EQ(log->str("NAME").trimmed(), "Hans");
}

TEST(AddQso, TwoProgramsFillingOneBookAtOnceGiveEveryQsoItsOwnKey)
{
    QTemporaryDir dir;
    const QString home = dir.path();
    ASSERT_EQ(cli(home, {"init", "--call", "ea4zz"}).code, 0);
    const int perWriter = 1000;
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int w = 0; w < 2; ++w) {
        QByteArray lines = "call\tdate\ttime\tfreq\tmode\n";
        for (int i = 0; i < perWriter; ++i)
            lines += QStringLiteral("EA%1X%2\t2024%3%4\t%5:%6\t%7\t%8\n")
                         .arg(w + 1)
                         .arg(i)
                         .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                         .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                         .arg(i % 24, 2, 10, QLatin1Char('0'))
                         .arg(i % 60, 2, 10, QLatin1Char('0'))
                         .arg(i % 2 ? "7.05" : "14.2")
                         .arg(i % 3 ? "SSB" : "CW")
                         .toLatin1();
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(ORLANLOG_CLI), {"--home", home, "add-qso", "-"});
        ASSERT_TRUE(p->waitForStarted());
        p->write(lines);
        p->closeWriteChannel();
        writers.push_back(std::move(p));
    }
    for (auto& p : writers) {
        ASSERT_TRUE(p->waitForFinished(300000));
        const QByteArray said = p->readAllStandardOutput() + p->readAllStandardError();
        EXPECT_EQ(p->exitCode(), 0) << said.toStdString();
        EXPECT_TRUE(said.contains("1000 QSOs grabados")) << said.toStdString();
    }

    store::Workspace w;
    w.setDataDir(home + "/datos");
    store::WorkArea* log = nullptr;
    ASSERT_TRUE(w.use("LogEA4ZZ", {.alias = "Log"}, &log).isOk());
    QSet<QString> keys, calls;
    for (log->goTop(); !log->eof(); log->skip())
        if (!log->str("CALL").trimmed().isEmpty()) {
            keys.insert(log->str("KEY"));
            calls.insert(log->str("CALL").trimmed());
        }
    EXPECT_EQ(calls.size(), 2 * perWriter);
    EXPECT_EQ(keys.size(), 2 * perWriter) << "two QSOs share a key";
    w.closeAll();
    const CliRun check = cli(home, {"check"});
    EXPECT_EQ(check.code, 0) << check.out.toStdString();
}

} // namespace
