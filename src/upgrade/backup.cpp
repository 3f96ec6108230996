#include "upgrade/backup.h"

#include "upgrade/migration.h"

#include "app/tappl.h"
#include "core/messages.h"
#include "core/version.h"
#include "online/zip_archive.h"
#include "store/aliases.h"
#include "store/table_file.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace upgrade {

namespace {

QString title()
{
    return app::oAppl ? app::oAppl->cName + QLatin1Char(' ') + app::oAppl->cVer
                      : QStringLiteral(ORLANLOG_NAME " " ORLANLOG_VERSION);
}

QString programName()
{
    return app::oAppl ? app::oAppl->cName : QStringLiteral(ORLANLOG_NAME);
}

QString iniPath()
{
    return app::oAppl ? app::oAppl->ini().path() : QString();
}

QString slashed(QString dir)
{
    if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

bool moveOver(const QString& from, const QString& to)
{
    // one step: the target is replaced, never missing
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

void closeAll()
{
    if (maintenanceShell().closeAll)
        maintenanceShell().closeAll();
    store::Workspace::instance().closeAll();
}

void reopen()
{
    if (maintenanceShell().reopen)
        maintenanceShell().reopen();
}

} // namespace

MaintenanceShell& maintenanceShell()
{
    static MaintenanceShell shell;
    return shell;
}

QString backupFileName(const QString& folder, const QDate& day)
{
    return slashed(folder.trimmed()) + day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral("OrlanLog.q7z");
}

QStringList backupFiles(const QString& programDir, const QString& dataDir, const QString& iniFile)
{
    QStringList files;
    const QDir data(dataDir);
    const QStringList all = data.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const char* prefix : {"log", "att", "dpl"})
        for (const QString& name : all)
            if (name.startsWith(QLatin1String(prefix), Qt::CaseInsensitive) && !name.endsWith(QLatin1String(".part")))
                files << data.filePath(name);
    const QDir program(programDir);
    for (const QString& name : program.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase))
        if (name.endsWith(QLatin1String(".ctl"), Qt::CaseInsensitive))
            files << program.filePath(name);
    // the settings and the list of books, with their index and memo files so
    // that a restored table never meets an index made for another
    for (const char* table : {"Libros", "cfg"})
        for (const char* ext : {".dbf", ".cdx", ".fpt"}) {
            const QString f = store::findFileNoCase(slashed(dataDir) + QString::fromLatin1(table) + QString::fromLatin1(ext));
            if (!f.isEmpty())
                files << f;
        }
    if (!iniFile.isEmpty() && QFileInfo::exists(iniFile))
        files << iniFile;
    return files;
}

bool COMPRIME(const QString& archive, const QStringList& files)
{
    bool ok = false;
    QString why;
    ui::messages().meter(
        [&](ui::Meter& m) {
            m.setTotal(files.size());
            ok = online::zipFiles(
                archive, files,
                [&m](int i, const QString& name) {
                    m.setText(QStringLiteral("Comprimiendo\r\n") + name);
                    m.setPosition(i + 1);
                    return !m.cancelled();
                },
                &why);
        },
        QStringLiteral("Comprimiendo"), QStringLiteral("Espere ejecutando La copia de seguridad..."));
    if (ok)
        ui::messages().info(QStringLiteral("Copia de seguridad completada con éxito\r\n\r\nFichero guardado ") + archive,
                            title());
    else
        ui::messages().stop(QStringLiteral("No pudo realizarse la cópia de seguridad")
                            + (why.isEmpty() ? QString() : QStringLiteral("\r\n") + why));
    return ok;
}

bool DESCOMPRIME(const QString& archive, const QString& folder, QStringList* names, QString* error)
{
    online::UnpackResult r;
    ui::messages().meter(
        [&](ui::Meter& m) {
            online::UnpackOptions options;
            options.plainNamesOnly = true;
            options.progress = [&m](int i, int count, const QString& name) {
                m.setTotal(count);
                m.setText(QStringLiteral("Descomprimiendo\r\n") + name);
                m.setPosition(i + 1);
            };
            r = online::unpackZip(archive, folder, options);
        },
        QStringLiteral("Descomprimiendo"), QStringLiteral("Espere ejecutando recuperación de datos..."));
    if (names)
        *names = r.files;
    if (error)
        *error = r.error;
    return r.ok;
}

QString storedBackupFolder()
{
    if (store::WorkArea* cfg = store::Workspace::instance().area(store::alias::kCfg)) {
        cfg->goTop();
        return cfg->str(QStringLiteral("BCKFLD")).trimmed();
    }
    store::Workspace w;
    store::WorkArea* cfg = nullptr;
    const QString path = store::findFileNoCase(store::Workspace::instance().dataDir() + QStringLiteral("cfg.dbf"));
    if (path.isEmpty() || !w.use(path, {.alias = QStringLiteral("cfg"), .readOnly = true}, &cfg))
        return {};
    cfg->goTop();
    return cfg->fieldPos(QStringLiteral("BCKFLD")) >= 0 ? cfg->str(QStringLiteral("BCKFLD")).trimmed() : QString();
}

void storeBackupFolder(const QString& folder)
{
    store::Workspace w;
    store::WorkArea* cfg = store::Workspace::instance().area(store::alias::kCfg);
    if (!cfg) {
        const QString path = store::findFileNoCase(store::Workspace::instance().dataDir() + QStringLiteral("cfg.dbf"));
        if (path.isEmpty() || !w.use(path, {.alias = QStringLiteral("cfg")}, &cfg))
            return;
    }
    cfg->goTop();
    if (cfg->eof() || cfg->fieldPos(QStringLiteral("BCKFLD")) < 0 || !cfg->lockRecord())
        return;
    cfg->put(QStringLiteral("BCKFLD"), folder.trimmed());
    cfg->unlock();
}

bool LOGBCK(const QString& folderOrFile)
{
    const QString target = folderOrFile.trimmed();
    const bool named = target.endsWith(QLatin1String(".q7z"), Qt::CaseInsensitive);
    const QString archive = named ? target : backupFileName(target);
    const QString folder = named ? QFileInfo(target).absolutePath() : target;
    if (QFileInfo::exists(archive)
        && !ui::messages().yesNo(archive + QStringLiteral(" ya existe, ¿ desea sobreescribirlo ?"), programName())) {
        ui::messages().alert(QStringLiteral("Proceso de copia abortado"));
        return false;
    }
    // the folder must take the file before anything is closed; a probe beside
    // the archive keeps an older copy of the same name until the new one is whole
    {
        QFile probe(archive + QStringLiteral(".part"));
        if (!probe.open(QIODevice::WriteOnly)) {
            ui::messages().stop(QStringLiteral("No puede crearse el fichero de BackUp,\r\nen la carpteta seleccionada\r\n") + archive);
            return false;
        }
        probe.close();
        probe.remove();
    }
    store::Workspace& ws = store::Workspace::instance();
    const QStringList files = backupFiles(ws.programDir(), ws.dataDir(), iniPath());
    closeAll();
    const bool ok = COMPRIME(archive, files);
    reopen();
    storeBackupFolder(folder);
    return ok;
}

bool LOGRST(const QString& archive, bool ask)
{
    if (!QFileInfo(archive).isFile()) {
        ui::messages().stop(QStringLiteral("No se ha encontrado el fichero\r\n") + archive);
        return false;
    }
    if (ask
        && !ui::messages().yesNo(QStringLiteral("El proceso de restauración sustituira los fichero actuales\r\n"
                                                "por los contenidos en fichero especificado\r\n¿ Esta usted Seguro ?"),
                                 programName()))
        return false;
    store::Workspace& ws = store::Workspace::instance();
    const QString dataDir = slashed(ws.dataDir());
    const QString programDir = slashed(ws.programDir());
    // the archive is unpacked beside the data, on the same disk, and checked whole
    QString stage = dataDir;
    stage.chop(1);
    stage += QStringLiteral(".restaurar/");
    QDir(stage).removeRecursively();
    closeAll();
    QStringList names;
    QString why;
    bool ok = DESCOMPRIME(archive, stage, &names, &why);
    if (ok) {
        QStringList markers;
        QString ini;
        const QString iniName = QFileInfo(iniPath()).fileName();
        for (const QString& name : names) {
            if (name.endsWith(QLatin1String(".ctl"), Qt::CaseInsensitive)) {
                markers << name;
            } else if (!iniName.isEmpty() && name.compare(iniName, Qt::CaseInsensitive) == 0) {
                ini = name;
            } else {
                const QString existing = store::findFileNoCase(dataDir + name);
                if (!moveOver(stage + name, dataDir + name)) {
                    ok = false;
                    why = QStringLiteral("No puede escribirse el fichero ") + dataDir + name;
                    break;
                }
                if (!existing.isEmpty() && existing != dataDir + name)
                    QFile::remove(existing);
            }
        }
        if (ok && !ini.isEmpty()) {
            // an archive without a settings file keeps the current one
            QDir().mkpath(QFileInfo(iniPath()).absolutePath());
            moveOver(stage + ini, iniPath());
        }
        if (ok && !markers.isEmpty()) {
            for (const QString& old : QDir(programDir).entryList(QDir::Files))
                if (old.endsWith(QLatin1String(".ctl"), Qt::CaseInsensitive))
                    QFile::remove(programDir + old);
            for (const QString& m : markers)
                moveOver(stage + m, programDir + m);
        }
    }
    QDir(stage).removeRecursively();
    if (ok)
        ui::messages().info(QStringLiteral("Restauracion completada con éxito\r\n\r\n"), title());
    else
        ui::messages().stop(QStringLiteral("No se han podido restaurar los datos")
                            + (why.isEmpty() ? QString() : QStringLiteral("\r\n") + why));
    if (ok) {
        auto migrate = [] { ACTVER(); };
        if (maintenanceShell().inWaitBox)
            maintenanceShell().inWaitBox(migrate);
        else
            migrate();
    }
    reopen();
    return ok;
}

} // namespace upgrade
