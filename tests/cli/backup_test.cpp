// Backup, restore and migration from the command line: a backup restored into
// another home gives the same book; a full disk and a damaged archive are told
// and exit 1 with the data as it was.
#include "cli_run.h"

#include "store/table_file.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>

#include <sys/resource.h>

#include <gtest/gtest.h>

namespace {

QStringList calls(const QString& home)
{
    store::Workspace w;
    store::WorkArea* log = nullptr;
    if (!w.use(home + QStringLiteral("/datos/LogEA4ZZ.dbf"), {.alias = QStringLiteral("l"), .readOnly = true}, &log))
        return {QStringLiteral("?")};
    QStringList out;
    for (log->goTop(); !log->eof(); log->skip())
        if (!log->str(QStringLiteral("CALL")).trimmed().isEmpty())   // a new book's blank record is no QSO
            out << log->str(QStringLiteral("CALL")).trimmed() + QLatin1Char(' ') + log->str(QStringLiteral("KEY"));
    return out;
}

TEST(BackupCli, BackupRestoreAndMigrate)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/a");
    const QString other = dir.path() + QStringLiteral("/b");
    const QString copies = dir.path() + QStringLiteral("/copias");
    QDir().mkpath(copies);
    qputenv("ORLANLOG_CONFIG", (dir.path() + QStringLiteral("/config")).toLocal8Bit());
    ASSERT_EQ(cli(home, {"init", "--call", "ea4zz"}).code, 0);
    for (const char* call : {"dl1abc", "f5xyz"})
        ASSERT_EQ(cli(home, {"add-qso", call, "--date", "20240501", "--time", "12:34", "--freq", "14.2", "--mode", "SSB"}).code, 0);
    CliRun r = cli(home, {"migrate"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.lastLine(), QStringLiteral("Los datos ya están al día"));

    r = cli(home, {"backup", copies});
    ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    const QString archive = copies + QLatin1Char('/') + QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))
                            + QStringLiteral("OrlanLog.q7z");
    ASSERT_TRUE(QFile::exists(archive));

    ASSERT_EQ(cli(other, {"init", "--call", "ea4zz"}).code, 0);
    r = cli(other, {"restore", archive});
    ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(calls(other), calls(home));
    EXPECT_EQ(calls(other).size(), 2);

    // a disk that fills up: told, exit 1, no archive
    const QString full = dir.path() + QStringLiteral("/lleno.q7z");
    r = cli(home, {"backup", full}, [] {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit rl {2000, 2000};
        setrlimit(RLIMIT_FSIZE, &rl);
    });
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE((r.out + r.err).contains(QStringLiteral("No pudo realizarse la cópia de seguridad")));
    EXPECT_FALSE((r.out + r.err).contains(QStringLiteral("éxito")));
    EXPECT_FALSE(QFile::exists(full));

    // a damaged archive: told, exit 1, the book as it was
    QFile bad(dir.path() + QStringLiteral("/malo.q7z"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("PK\x03\x04 esto no es una copia");
    bad.close();
    const QStringList before = calls(other);
    r = cli(other, {"restore", bad.fileName()});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE((r.out + r.err).contains(QStringLiteral("No se han podido restaurar los datos")));
    EXPECT_EQ(calls(other), before);
    qunsetenv("ORLANLOG_CONFIG");
}

} // namespace
