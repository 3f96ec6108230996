// Backup and restore: the archive's name and contents, a restore into another
// home giving the same tables and markers, and the archives and folders that
// must be refused with the current data untouched.
#include "upgrade_home.h"

#include "upgrade/backup.h"
#include "upgrade/migration.h"

#include "online/zip_archive.h"
#include "store/home.h"

#include <QFileInfo>

using namespace upgrade;
using upgrade::testing::UpgradeHome;

class Backup : public UpgradeHome {
protected:
    void SetUp() override
    {
        UpgradeHome::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(m_out.isValid());
        out = m_out.path() + QStringLiteral("/");
        // QSOs with a memo in the book
        store::Workspace w;
        store::WorkArea* log = nullptr;
        ASSERT_TRUE(w.use(data + QStringLiteral("LogEA1XX.dbf"), {.alias = QStringLiteral("l")}, &log).isOk());
        for (int i = 0; i < 5; ++i) {
            ASSERT_TRUE(log->append().isOk());
            log->put("CALL", QStringLiteral("F%1ABC").arg(i));
            log->put("QSODATE", QDate(2024, 3, i + 1));
            log->put("KEY", QStringLiteral("%1").arg(i + 1, 7, 10, QLatin1Char('0')));
            log->putMemo("NOTES", QByteArray("nota ") + QByteArray::number(i));
            ASSERT_TRUE(log->unlock().isOk());
        }
        app::oAppl->ini().Set(QStringLiteral("MDI"), QStringLiteral("Top"), 7);
    }
    QString archive() const { return backupFileName(out); }

    QTemporaryDir m_out;
    QString out;
};

TEST_F(Backup, ArchiveNameAndContents)
{
    EXPECT_EQ(backupFileName(QStringLiteral("/copias"), QDate(2012, 12, 31)), QStringLiteral("/copias/20121231OrlanLog.q7z"));
    const QStringList files = backupFiles(program, data, app::oAppl->ini().path());
    QStringList names;
    for (const QString& f : files)
        names << QFileInfo(f).fileName();
    // books first, then attachments, award tables, markers, the catalogue, settings and the INI file
    const qsizetype log = names.indexOf(QStringLiteral("LogEA1XX.dbf"));
    const qsizetype att = names.indexOf(QStringLiteral("AttachEA1XX.dbf"));
    const qsizetype dpl = names.indexOf(QStringLiteral("DplEA1XX.dbf"));
    const qsizetype ctl = names.indexOf(QStringLiteral("ver088.ctl"));
    const qsizetype cfg = names.indexOf(QStringLiteral("cfg.dbf"));
    EXPECT_TRUE(log >= 0 && log < att && att < dpl && dpl < ctl && ctl < cfg) << names.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(names.last(), QFileInfo(app::oAppl->ini().path()).fileName());
    EXPECT_FALSE(names.contains(QStringLiteral("ENT.dbf"), Qt::CaseInsensitive));
}

// The backup restored into a new home gives the same books, settings and
// markers, read through the engine, and the migration runs what the archive's
// markers lack.
TEST_F(Backup, RestoreIntoANewHomeGivesTheSameTablesAndMarkers)
{
    QFile::remove(store::versionMarker(program, QStringLiteral("191")));   // an archive of an older version
    ASSERT_TRUE(LOGBCK(out));
    ASSERT_TRUE(QFileInfo::exists(archive()));
    EXPECT_TRUE(msgs.log().join(QLatin1Char('\n')).contains(QStringLiteral("Copia de seguridad completada con éxito")));
    EXPECT_EQ(storedBackupFolder(), out.trimmed());
    const QStringList book = rows(data + QStringLiteral("LogEA1XX.dbf"));
    const QStringList cfg = rows(data + QStringLiteral("cfg.dbf"));
    const QByteArray ini = bytes(app::oAppl->ini().path());

    // another home, another settings file
    QTemporaryDir other;
    const QString program2 = other.path() + QStringLiteral("/");
    const QString data2 = program2 + QStringLiteral("datos/");
    ASSERT_TRUE(store::createHome(program2, data2, QStringLiteral("EA9ZZ"), shipped).isOk());
    QFile::remove(app::oAppl->ini().path());
    ws().setDataDir(data2);
    ws().setProgramDir(program2);
    msgs.take();
    ASSERT_TRUE(LOGRST(archive(), false));
    EXPECT_TRUE(msgs.log().join(QLatin1Char('\n')).contains(QStringLiteral("Restauracion completada con éxito")));
    EXPECT_EQ(rows(data2 + QStringLiteral("LogEA1XX.dbf")), book);
    EXPECT_EQ(rows(store::findFileNoCase(data2 + QStringLiteral("cfg.dbf"))).first().section(QLatin1Char('|'), 0, 0),
              cfg.first().section(QLatin1Char('|'), 0, 0));
    EXPECT_EQ(bytes(app::oAppl->ini().path()), ini);
    // the markers came back and the missing one was run
    EXPECT_EQ(QDir(program2).entryList({QStringLiteral("*.ctl")}, QDir::Files).size(), store::versionSteps().size());
    EXPECT_FALSE(QFileInfo::exists(data2.chopped(1) + QStringLiteral(".restaurar")));
}

// A backup that fails half-way says so and leaves no archive; a folder that
// cannot take the file is refused before anything is closed.
TEST_F(Backup, FailuresAreToldAndNeverReportedAsSuccess)
{
    int closed = 0;
    maintenanceShell().closeAll = [&closed] { ++closed; };
    // a "folder" that is a file
    const QString notFolder = out + QStringLiteral("fichero");
    QFile(notFolder).open(QIODevice::WriteOnly);
    EXPECT_FALSE(LOGBCK(notFolder));
    EXPECT_EQ(closed, 0);
    QString said = msgs.take().join(QLatin1Char('\n'));
    EXPECT_TRUE(said.contains(QStringLiteral("No puede crearse el fichero de BackUp,\r\nen la carpteta seleccionada\r\n")));
    EXPECT_FALSE(said.contains(QStringLiteral("éxito")));

    // a file that cannot be read on the way
    EXPECT_FALSE(COMPRIME(archive(), {data + QStringLiteral("cfg.dbf"), data + QStringLiteral("noexiste.dbf")}));
    said = msgs.take().join(QLatin1Char('\n'));
    EXPECT_TRUE(said.contains(QStringLiteral("No pudo realizarse la cópia de seguridad")));
    EXPECT_FALSE(said.contains(QStringLiteral("éxito")));
    EXPECT_FALSE(QFileInfo::exists(archive()));
    EXPECT_FALSE(QFileInfo::exists(archive() + QStringLiteral(".part")));

    // the same day again: asked; "no" aborts and keeps the first archive
    ASSERT_TRUE(LOGBCK(out));
    const QByteArray first = bytes(archive());
    msgs.take();
    msgs.answer(false);
    EXPECT_FALSE(LOGBCK(out));
    said = msgs.take().join(QLatin1Char('\n'));
    EXPECT_TRUE(said.contains(QStringLiteral(" ya existe, ¿ desea sobreescribirlo ?")));
    EXPECT_TRUE(said.contains(QStringLiteral("Proceso de copia abortado")));
    EXPECT_EQ(bytes(archive()), first);
    maintenanceShell() = {};
}

// A damaged archive, or one with an entry that names a folder, restores
// nothing: the current files stay as they were and nothing is written outside
// the data directory.
TEST_F(Backup, DamagedOrUnsafeArchivesLeaveTheDataUntouched)
{
    ASSERT_TRUE(LOGBCK(out));
    const QByteArray whole = bytes(archive());
    // the data changes after the backup
    {
        store::Workspace w;
        store::WorkArea* log = nullptr;
        ASSERT_TRUE(w.use(data + QStringLiteral("LogEA1XX.dbf"), {.alias = QStringLiteral("l")}, &log).isOk());
        ASSERT_TRUE(log->append().isOk());
        log->put("CALL", "K1NEW");
        ASSERT_TRUE(log->unlock().isOk());
    }
    const QStringList current = rows(data + QStringLiteral("LogEA1XX.dbf"));
    const QStringList ctl = markers();

    const QString cut = out + QStringLiteral("cortado.q7z");
    {
        QFile f(cut);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(whole.left(whole.size() * 2 / 3));
    }
    msgs.take();
    EXPECT_FALSE(LOGRST(cut, false));
    EXPECT_TRUE(msgs.take().join(QLatin1Char('\n')).contains(QStringLiteral("No se han podido restaurar los datos")));
    EXPECT_EQ(rows(data + QStringLiteral("LogEA1XX.dbf")), current);
    EXPECT_EQ(markers(), ctl);

    // an entry that climbs out of the folder
    const QString unsafe = out + QStringLiteral("escapa.q7z");
    ASSERT_TRUE(online::writeZip(unsafe, {{QStringLiteral("cfg.dbf"), QByteArray("basura")},
                                          {QStringLiteral("../x"), QByteArray("fuera")}}));
    EXPECT_FALSE(LOGRST(unsafe, false));
    EXPECT_TRUE(msgs.take().join(QLatin1Char('\n')).contains(QStringLiteral("No se han podido restaurar los datos")));
    EXPECT_FALSE(QFileInfo::exists(program + QStringLiteral("x")));
    EXPECT_FALSE(QFileInfo::exists(data + QStringLiteral("x")));
    EXPECT_NE(bytes(store::findFileNoCase(data + QStringLiteral("cfg.dbf"))), QByteArray("basura"));
    EXPECT_EQ(rows(data + QStringLiteral("LogEA1XX.dbf")), current);
    // a folder part alone is refused too
    ASSERT_TRUE(online::writeZip(unsafe, {{QStringLiteral("sub/cfg.dbf"), QByteArray("basura")}}));
    EXPECT_FALSE(LOGRST(unsafe, false));
    EXPECT_NE(bytes(store::findFileNoCase(data + QStringLiteral("cfg.dbf"))), QByteArray("basura"));

    // an archive without a settings file keeps the current one
    const QByteArray ini = bytes(app::oAppl->ini().path());
    ASSERT_TRUE(online::zipFiles(out + QStringLiteral("sin_ini.q7z"), {data + QStringLiteral("LogEA1XX.dbf")}));
    EXPECT_TRUE(LOGRST(out + QStringLiteral("sin_ini.q7z"), false));
    EXPECT_EQ(bytes(app::oAppl->ini().path()), ini);
}
