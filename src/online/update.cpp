#include "update.h"

#include "download.h"
#include "endpoints.h"
#include "reachability.h"
#include "web_request.h"
#include "zip_archive.h"

#include "app/tappl.h"
#include "core/messages.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>

namespace online {

namespace {

const QString kVersionPath = QStringLiteral("/winorlanlog/ver.txt");
const QString kArchivePath = QStringLiteral("/winorlanlog/Orlanlog.zip");

bool isHttps(const QString& url)
{
    return QUrl(url).scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

// The program's folder and the program itself can be replaced.
bool writable(const QString& executable)
{
    const QFileInfo exe(executable);
    return exe.exists() && exe.isWritable() && QFileInfo(exe.absolutePath()).isWritable();
}

QString notWritableText(const QString& executable)
{
    return QStringLiteral("No puede actualizarse el programa: la carpeta ") + QFileInfo(executable).absolutePath()
        + QStringLiteral(" no admite escritura.\r\nActualícelo con el gestor de paquetes del sistema.");
}

// Moves the running program aside; false when it cannot be moved.
bool moveAside(const UpdateContext& ctx)
{
    QFile::remove(ctx.backup);
    if (QFile::rename(ctx.executable, ctx.backup))
        return true;
    // another file system: copy, then take the old name away
    if (QFile::copy(ctx.executable, ctx.backup) && QFile::remove(ctx.executable))
        return true;
    QFile::remove(ctx.backup);
    return false;
}

// Puts the program moved aside back under its own name.
void restore(const UpdateContext& ctx)
{
    if (!QFile::exists(ctx.backup))
        return;
    QFile::remove(ctx.executable);
    if (!QFile::rename(ctx.backup, ctx.executable))
        QFile::copy(ctx.backup, ctx.executable);
}

void makeExecutable(const QString& path)
{
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner | QFileDevice::ExeGroup
                                    | QFileDevice::ExeOther | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// The new program is in place: start it, or put the old one back.
UpdateOutcome startNew(const UpdateContext& ctx)
{
    makeExecutable(ctx.executable);
    if (ctx.start && ctx.start(ctx.executable, {QStringLiteral("ACT")}))
        return UpdateOutcome::Restarting;
    restore(ctx);
    ui::messages().alert(QStringLiteral("No pudo arrancarse la nueva versión; el programa sigue como estaba."), ctx.title);
    return UpdateOutcome::Failed;
}

// Installs the bytes of a new program in place of the running one.
UpdateOutcome installProgram(const UpdateContext& ctx, const QByteArray& program)
{
    if (!moveAside(ctx)) {
        ui::messages().alert(notWritableText(ctx.executable), ctx.title);
        return UpdateOutcome::NotWritable;
    }
    if (const QString problem = replaceFile(ctx.executable, program); !problem.isEmpty()) {
        restore(ctx);
        ui::messages().alert(QStringLiteral("No pudo instalarse la nueva versión:\r\n") + problem, ctx.title);
        return UpdateOutcome::Failed;
    }
    return startNew(ctx);
}

QString checksumMismatchText()
{
    return QStringLiteral("La suma de comprobación SHA-256 de la nueva versión no coincide con la publicada.\r\n"
                          "No se instala; el programa sigue como estaba.");
}

// The published checksum of url: url + ".sha256", fetched like the program.
QString publishedChecksum(const QString& url, WebRequest* request, QString* error)
{
    QByteArray text;
    const DownloadResult r = downloadBytes(url + QStringLiteral(".sha256"), &text, request);
    if (!r.ok) {
        *error = r.error;
        return {};
    }
    const QString sum = checksumOf(text);
    if (sum.isEmpty())
        *error = QStringLiteral("No se encontró la suma de comprobación de la nueva versión");
    return sum;
}

} // namespace

QString sha256Hex(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString checksumOf(const QByteArray& text)
{
    static const QRegularExpression hex(QStringLiteral("^\\s*([0-9A-Fa-f]{64})(\\s|$)"));
    const QRegularExpressionMatch m = hex.match(QString::fromLatin1(text.left(4096)));
    return m.hasMatch() ? m.captured(1).toLower() : QString();
}

UpdateContext currentUpdateContext()
{
    UpdateContext ctx;
    ctx.server = endpoint(Endpoint::UpdateServer);
    if (app::oAppl) {
        ctx.version = app::oAppl->cVer;
        ctx.title = app::oAppl->cName + QLatin1Char(' ') + app::oAppl->cVer;
        ctx.waitTitle = app::oAppl->cName + app::oAppl->cVer;
        ctx.backup = app::oAppl->cDirLocal + QStringLiteral("bck.exe");
        ctx.updateFolder = app::oAppl->cUpdate;
        ctx.localDir = app::oAppl->cDirLocal;
    }
    ctx.executable = QCoreApplication::applicationFilePath();
    ctx.start = [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments);
    };
    return ctx;
}

UpdateOutcome CHKACT(const UpdateContext& ctx)
{
    if (!internetConnected() || ctx.server.isEmpty())
        return UpdateOutcome::NotChecked;
    if (!isHttps(ctx.server)) {
        // the program is only ever replaced by one fetched over HTTPS
        std::fprintf(stderr, "orlanlog: el servidor de actualizaciones %s no es HTTPS; no se buscan actualizaciones\n",
                     qPrintable(ctx.server));
        return UpdateOutcome::NotChecked;
    }
    std::unique_ptr<WebRequest> request = CRTWINHTTP();
    request->setTimeOut(15, 10);
    request->Open(QStringLiteral("GET"), joinUrl(ctx.server, kVersionPath));
    if (!request->Send() || request->Status() != 200)
        return UpdateOutcome::NoAnswer;
    const QString remote = request->ResponseText();
    if (remote == ctx.version)
        return UpdateOutcome::Current;
    if (!ui::messages().yesNo(QStringLiteral("Existe una nueva versión del programa, Desea actualizarla ahora?"), ctx.title))
        return UpdateOutcome::Declined;
    if (!writable(ctx.executable)) {
        ui::messages().alert(notWritableText(ctx.executable), ctx.title);
        return UpdateOutcome::NotWritable;
    }

    const QString archiveUrl = joinUrl(ctx.server, kArchivePath);
    QByteArray archive;
    QString sum, problem;
    ui::messages().wait(QStringLiteral("Descargando nueva versión ") + remote.trimmed(), ctx.waitTitle, [&] {
        request->setTimeOut(600, 30);
        const DownloadResult r = downloadBytes(archiveUrl, &archive, request.get());
        if (!r.ok) {
            problem = r.error;
            return;
        }
        sum = publishedChecksum(archiveUrl, request.get(), &problem);
    });
    if (!problem.isEmpty()) {
        ui::messages().alert(QStringLiteral("No pudo descargarse la nueva versión:\r\n") + problem
                                 + QStringLiteral("\r\nEl programa sigue como estaba."),
                             ctx.title);
        return UpdateOutcome::Failed;
    }
    if (sha256Hex(archive) != sum) {
        ui::messages().alert(checksumMismatchText(), ctx.title);
        return UpdateOutcome::Failed;
    }

    // Unpack into a folder of our own first, so a damaged archive touches nothing.
    const QString folder = QFileInfo(ctx.executable).absolutePath();
    QTemporaryDir staging(QDir(folder).filePath(QStringLiteral(".actualizacion-XXXXXX")));
    const QString zipFile = QDir(staging.path()).filePath(QStringLiteral("Orlanlog.zip"));
    const QString unpacked = QDir(staging.path()).filePath(QStringLiteral("nuevo"));
    UnpackResult u;
    if (!staging.isValid())
        u.error = notWritableText(ctx.executable);
    else if (const QString w = replaceFile(zipFile, archive); !w.isEmpty())
        u.error = w;
    else
        u = unpackZip(zipFile, unpacked);
    const QString programName = QFileInfo(ctx.executable).fileName();
    if (u.ok && !u.files.contains(programName))
        u = {false, {}, QStringLiteral("El archivo de la nueva versión no contiene el programa ") + programName};
    if (!u.ok) {
        ui::messages().alert(QStringLiteral("No pudo instalarse la nueva versión:\r\n") + u.error
                                 + QStringLiteral("\r\nEl programa sigue como estaba."),
                             ctx.title);
        return UpdateOutcome::Failed;
    }

    // Now the old program goes aside and the new files take their places.
    if (!moveAside(ctx)) {
        ui::messages().alert(notWritableText(ctx.executable), ctx.title);
        return UpdateOutcome::NotWritable;
    }
    for (const QString& name : u.files) {
        QFile in(QDir(unpacked).filePath(name));
        const QString target = QDir(folder).filePath(name);
        QString w;
        if (!in.open(QIODevice::ReadOnly))
            w = QStringLiteral("No puede leerse ") + in.fileName();
        else
            w = replaceFile(target, in.readAll());
        if (!w.isEmpty()) {
            restore(ctx);
            ui::messages().alert(QStringLiteral("No pudo instalarse la nueva versión:\r\n") + w
                                     + QStringLiteral("\r\nEl programa sigue como estaba."),
                                 ctx.title);
            return UpdateOutcome::Failed;
        }
    }
    return startNew(ctx);
}

UpdateOutcome ChkUpdIntra(const UpdateContext& ctx)
{
    if (ctx.updateFolder.isEmpty()) {
        ui::messages().stop(QStringLiteral("No se ha especificado direccion para chequeo de actualizaciones"));
        return UpdateOutcome::NotChecked;
    }
    const QFileInfo local(ctx.executable);
    const QFileInfo remote(ctx.updateFolder + local.fileName());
    if (!remote.exists())
        return UpdateOutcome::Current;
    const QDateTime lt = local.lastModified(), rt = remote.lastModified();
    const bool differs = remote.size() != local.size() || lt.date() != rt.date()
        || lt.time().toString(QStringLiteral("hh:mm")) != rt.time().toString(QStringLiteral("hh:mm"));
    const QString updater = ctx.localDir + QStringLiteral("update");
    if (!differs || !QFileInfo(updater).isExecutable())
        return UpdateOutcome::Current;
    if (ctx.start && ctx.start(updater, {remote.absoluteFilePath()}))
        return UpdateOutcome::Restarting;
    return UpdateOutcome::Failed;
}

UpdateOutcome ChkUpdInt(const UpdateContext& ctx)
{
    if (ctx.updateFolder.isEmpty()) {
        ui::messages().stop(QStringLiteral("No se ha especificado direccion para chequeo de actualizaciones"));
        return UpdateOutcome::NotChecked;
    }
    const QFileInfo local(ctx.executable);
    const QString remotePath = ctx.updateFolder + local.fileName();
    const QFileInfo remote(remotePath);
    if (!remote.exists())
        return UpdateOutcome::Current;
    // whole seconds of local time, as the dates are compared
    const QDateTime lt = local.lastModified(), rt = remote.lastModified();
    const bool newer = rt.date() > lt.date() || (rt.date() == lt.date() && rt.time().msecsSinceStartOfDay() / 1000 > lt.time().msecsSinceStartOfDay() / 1000);
    if (!newer)
        return UpdateOutcome::Current;
    if (!writable(ctx.executable)) {
        ui::messages().alert(notWritableText(ctx.executable), ctx.title);
        return UpdateOutcome::NotWritable;
    }
    QByteArray program;
    QString problem;
    ui::messages().wait(QStringLiteral("Actualizando version"), QStringLiteral("Espere por favor ..."), [&] {
        QFile in(remotePath);
        if (!in.open(QIODevice::ReadOnly)) {
            problem = QStringLiteral("No puede leerse ") + remotePath;
            return;
        }
        program = in.readAll();
        if (program.size() != remote.size())
            problem = QStringLiteral("No pudo leerse entero ") + remotePath;
        QFile sumFile(remotePath + QStringLiteral(".sha256"));
        if (problem.isEmpty() && sumFile.open(QIODevice::ReadOnly) && sha256Hex(program) != checksumOf(sumFile.read(4096)))
            problem = checksumMismatchText();
    });
    if (!problem.isEmpty()) {
        ui::messages().alert(problem, ctx.title);
        return UpdateOutcome::Failed;
    }
    return installProgram(ctx, program);
}

UpdateOutcome ChkUpdFTP(const UpdateContext& ctx, const QString& server, const QString& user, const QString& password)
{
    if (server.trimmed().isEmpty() || ctx.updateFolder.isEmpty() || offlineForced())
        return UpdateOutcome::NotChecked;
    QString base = server.trimmed();
    if (!base.contains(QStringLiteral("://")))
        base = QStringLiteral("https://") + base;
    if (!isHttps(base)) {
        ui::messages().alert(QStringLiteral("Las actualizaciones solo se descargan por HTTPS: ") + base, ctx.title);
        return UpdateOutcome::NotChecked;
    }
    const QFileInfo local(ctx.executable);
    const QString url = joinUrl(base, ctx.updateFolder + local.fileName().toLower());
    auto request = CRTWINHTTP();
    request->setTimeOut(20, 10);
    // the built-in account when none is given
    request->Open(QStringLiteral("HEAD"), url);
    request->setCredentials(user.isEmpty() ? QStringLiteral("orlang") : user,
                            password.isEmpty() ? QStringLiteral("orlanp") : password);
    if (!request->Send() || request->Status() != 200)
        return UpdateOutcome::NoAnswer;
    const qint64 size = request->GetResponseHeader(QStringLiteral("Content-Length")).toLongLong();
    const QDateTime remoteTime = QDateTime::fromString(request->GetResponseHeader(QStringLiteral("Last-Modified")), Qt::RFC2822Date).toLocalTime();
    const QDateTime lt = local.lastModified();
    const bool newer = remoteTime.isValid()
        && (remoteTime.date() > lt.date() || (remoteTime.date() == lt.date() && remoteTime.time().msecsSinceStartOfDay() / 1000 > lt.time().msecsSinceStartOfDay() / 1000));
    if (!newer)
        return UpdateOutcome::Current;
    if (!ui::messages().yesNo(QStringLiteral("Existe una nueva versión disponible,\r\nrecuerda que si tu Sistema operativo es Windows Vista o Windows 7\r\n"
                                             "es necesario desactivar UAC, para mas info busca en Google desactivar UAC\r\n¿desea descargar la nueva versión?"),
                              ctx.title.section(QLatin1Char(' '), 0, -2)))
        return UpdateOutcome::Declined;
    if (!writable(ctx.executable)) {
        ui::messages().alert(notWritableText(ctx.executable), ctx.title);
        return UpdateOutcome::NotWritable;
    }
    QByteArray program;
    QString problem;
    bool cancelled = ui::messages().meter(
        [&](ui::Meter& m) {
            m.setTotal(size > 0 ? size : 0);
            m.setText(QStringLiteral("Bytes copiados:"));
            request->setTimeOut(600, 30);
            request->setProgress([&](qint64 received, qint64) {
                m.setText(QStringLiteral("Bytes copiados: ") + QString::number(received));
                m.setPosition(received);
                return !m.cancelled();
            });
            const DownloadResult r = downloadBytes(url, &program, request.get());
            request->setProgress({});
            if (request->cancelled())
                return;
            if (!r.ok)
                problem = r.error;
            else if (program.size() != size)
                problem = QStringLiteral("La descarga no está completa: ") + QString::number(program.size()) + QStringLiteral(" de ")
                    + QString::number(size) + QStringLiteral(" bytes");
            else if (const QString sum = publishedChecksum(url, request.get(), &problem); problem.isEmpty() && sha256Hex(program) != sum)
                problem = checksumMismatchText();
        },
        QStringLiteral("Bytes copiados:"), QStringLiteral("Actualizando aplicación"));
    cancelled = cancelled || request->cancelled();
    if (cancelled)
        return UpdateOutcome::Declined;
    if (!problem.isEmpty()) {
        ui::messages().alert(problem, ctx.title);
        return UpdateOutcome::Failed;
    }
    return installProgram(ctx, program);
}

} // namespace online
