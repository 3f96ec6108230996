// Replacing the running program: the start-up check against an HTTPS update
// server, checksums, and what stays in place when anything fails.
#include "web_server.h"

#include "online/update.h"
#include "online/zip_archive.h"
#include "core/scripted_messages.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <zip.h>

using namespace online;

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

// A ZIP archive of the given entries, made as the program's archives are.
QByteArray zipOf(const QList<QPair<QByteArray, QByteArray>>& entries)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("a.zip")));
    zipFile z = zipOpen64(path.constData(), APPEND_STATUS_CREATE);
    for (const auto& [name, bytes] : entries) {
        zip_fileinfo info{};
        zipOpenNewFileInZip64(z, name.constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 9, 0);
        zipWriteInFileInZip(z, bytes.constData(), unsigned(bytes.size()));
        zipCloseFileInZip(z);
    }
    zipClose(z, nullptr);
    return readFile(QString::fromLocal8Bit(path));
}

struct UpdateHome {
    QTemporaryDir dir;
    WebServer server{true};
    ui::ScriptedMessages msgs;
    QStringList started;
    UpdateContext ctx;
    bool startWorks = true;

    UpdateHome()
    {
        WebServer::trustTestCertificate();
        ui::setMessages(&msgs);
        QDir(dir.path()).mkpath(QStringLiteral("bin"));
        QDir(dir.path()).mkpath(QStringLiteral("home"));
        ctx.server = server.base();
        ctx.version = QStringLiteral("1.92");
        ctx.title = QStringLiteral("Orlan Win Log 1.92");
        ctx.waitTitle = QStringLiteral("Orlan Win Log1.92");
        ctx.executable = dir.filePath(QStringLiteral("bin/orlanlog"));
        ctx.backup = dir.filePath(QStringLiteral("home/bck.exe"));
        ctx.localDir = dir.filePath(QStringLiteral("home/"));
        ctx.start = [this](const QString& program, const QStringList& args) {
            started << program + QLatin1Char(' ') + args.join(QLatin1Char(' '));
            return startWorks;
        };
        writeFile(ctx.executable, "programa viejo");
    }
    ~UpdateHome() { ui::setMessages(nullptr); }

    void publish(const QByteArray& version, const QByteArray& archive, const QString& checksum)
    {
        server.route(QStringLiteral("/winorlanlog/ver.txt"), version);
        server.route(QStringLiteral("/winorlanlog/Orlanlog.zip"), archive);
        server.route(QStringLiteral("/winorlanlog/Orlanlog.zip.sha256"), (checksum + QStringLiteral("  Orlanlog.zip\n")).toLatin1());
    }
    bool untouched() { return readFile(ctx.executable) == "programa viejo" && !QFile::exists(ctx.backup) && started.isEmpty(); }
};

} // namespace

TEST(Update, TheVersionTextDecidesAndTheUserIsAsked)
{
    UpdateHome h;
    h.publish("1.92", {}, {});
    EXPECT_EQ(CHKACT(h.ctx), UpdateOutcome::Current);
    EXPECT_TRUE(h.msgs.log().isEmpty());

    // a line break after the same number counts as new
    h.publish("1.92\r\n", {}, {});
    h.msgs.answer(false);
    EXPECT_EQ(CHKACT(h.ctx), UpdateOutcome::Declined);
    EXPECT_EQ(h.msgs.take(), QStringList{QStringLiteral("yesNo: Existe una nueva versión del programa, Desea actualizarla ahora? -> no")});
    EXPECT_TRUE(h.untouched());

    // no version file: quietly nothing
    UpdateHome none;
    none.server.route(QStringLiteral("/otra"), QByteArray("x"));
    EXPECT_EQ(CHKACT(none.ctx), UpdateOutcome::NoAnswer);
    EXPECT_TRUE(none.msgs.log().isEmpty());
}

TEST(Update, ANewProgramIsInstalledOnlyWhenItsChecksumMatches)
{
    UpdateHome h;
    const QByteArray archive = zipOf({{"orlanlog", "programa nuevo"}, {"LEEME.txt", "novedades"}});
    h.publish("1.93", archive, QStringLiteral("00") + sha256Hex(archive).mid(2));
    h.msgs.answer(true);
    EXPECT_EQ(CHKACT(h.ctx), UpdateOutcome::Failed);
    EXPECT_TRUE(h.untouched());
    EXPECT_TRUE(h.msgs.log().last().contains(QStringLiteral("SHA-256")));

    // no checksum published at all
    h.server.route(QStringLiteral("/winorlanlog/Orlanlog.zip.sha256"), WebReply{404, {}, {}, -1, false});
    h.msgs.answer(true);
    EXPECT_EQ(CHKACT(h.ctx), UpdateOutcome::Failed);
    EXPECT_TRUE(h.untouched());

    h.publish("1.93", archive, sha256Hex(archive));
    h.msgs.answer(true);
    EXPECT_EQ(CHKACT(h.ctx), UpdateOutcome::Restarting);
    EXPECT_EQ(readFile(h.ctx.executable), QByteArray("programa nuevo"));
    EXPECT_EQ(readFile(QFileInfo(h.ctx.executable).dir().filePath(QStringLiteral("LEEME.txt"))), QByteArray("novedades"));
    EXPECT_EQ(readFile(h.ctx.backup), QByteArray("programa viejo"));
    EXPECT_EQ(h.started, QStringList{h.ctx.executable + QStringLiteral(" ACT")});
    EXPECT_TRUE(QFileInfo(h.ctx.executable).isExecutable());
    // nothing of the download is left in the program's folder
    EXPECT_EQ(QDir(QFileInfo(h.ctx.executable).absolutePath()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).size(), 2);
}

TEST(Update, AFailedInstallPutsTheRunningProgramBack)
{
    UpdateHome h;
    // damaged archive that matches its checksum: found before anything moves
    QByteArray noise(5000, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919 + (i >> 3) * 104729) & 0xff);   // does not compress
    QByteArray damaged = zipOf({{"orlanlog", noise}});
    damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0x55);
    h.publish("1.93", damaged, sha256Hex(damaged));
    h.msgs.answer(true);
    EXPECT_EQ(CHKACT(h.ctx), UpdateOutcome::Failed);
    EXPECT_TRUE(h.untouched());

    // an archive without the program
    const QByteArray other = zipOf({{"otro", "x"}});
    h.publish("1.93", other, sha256Hex(other));
    h.msgs.answer(true);
    EXPECT_EQ(CHKACT(h.ctx), UpdateOutcome::Failed);
    EXPECT_TRUE(h.untouched());

    // the download breaks off
    const QByteArray good = zipOf({{"orlanlog", "programa nuevo"}});
    h.publish("1.93", good, sha256Hex(good));
    h.server.route(QStringLiteral("/winorlanlog/Orlanlog.zip"), WebReply{200, good, {}, 20, false});
    h.msgs.answer(true);
    EXPECT_EQ(CHKACT(h.ctx), UpdateOutcome::Failed);
    EXPECT_TRUE(h.untouched());

    // the new program is in place but cannot start: the old one comes back
    h.publish("1.93", good, sha256Hex(good));
    h.startWorks = false;
    h.msgs.answer(true);
    EXPECT_EQ(CHKACT(h.ctx), UpdateOutcome::Failed);
    EXPECT_EQ(readFile(h.ctx.executable), QByteArray("programa viejo"));
    EXPECT_FALSE(QFile::exists(h.ctx.backup));
}

TEST(Update, OnlyAnHttpsServerIsAskedAndNoConnectionAsksNothing)
{
    UpdateHome h;
    WebServer plain;
    plain.route(QStringLiteral("/winorlanlog/ver.txt"), QByteArray("1.93"));
    h.ctx.server = plain.base();
    EXPECT_EQ(CHKACT(h.ctx), UpdateOutcome::NotChecked);
    EXPECT_TRUE(plain.requests().isEmpty());

    h.ctx.server = h.server.base();
    h.publish("1.93", {}, {});
    qputenv("ORLANLOG_OFFLINE", "1");
    EXPECT_EQ(CHKACT(h.ctx), UpdateOutcome::NotChecked);
    qunsetenv("ORLANLOG_OFFLINE");
    EXPECT_TRUE(h.server.requests().isEmpty());
    EXPECT_TRUE(h.untouched());
}

TEST(Update, AReadOnlyProgramFolderIsNotTouched)
{
    UpdateHome h;
    h.publish("1.93", {}, {});
    QFile::setPermissions(QFileInfo(h.ctx.executable).absolutePath(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFileInfo(QFileInfo(h.ctx.executable).absolutePath()).isWritable())
        GTEST_SKIP() << "running as a user who may write anywhere";
    h.msgs.answer(true);
    EXPECT_EQ(CHKACT(h.ctx), UpdateOutcome::NotWritable);
    EXPECT_TRUE(h.msgs.log().last().contains(QStringLiteral("no admite escritura")));
    QFile::setPermissions(QFileInfo(h.ctx.executable).absolutePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(Update, CopyAndDownloadFromAnUpdateFolder)
{
    UpdateHome h;
    QDir(h.dir.path()).mkpath(QStringLiteral("share"));
    h.ctx.updateFolder = h.dir.filePath(QStringLiteral("share/"));
    const QString remote = h.ctx.updateFolder + QStringLiteral("orlanlog");

    // no folder given
    UpdateContext none = h.ctx;
    none.updateFolder.clear();
    EXPECT_EQ(ChkUpdInt(none), UpdateOutcome::NotChecked);
    EXPECT_EQ(h.msgs.take(), QStringList{QStringLiteral("stop: No se ha especificado direccion para chequeo de actualizaciones")});

    // an older file there is left alone
    writeFile(remote, "programa nuevo");
    QFile(remote).open(QIODevice::ReadWrite);
    {
        QFile f(remote);
        f.open(QIODevice::ReadWrite);
        f.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime);
    }
    EXPECT_EQ(ChkUpdInt(h.ctx), UpdateOutcome::Current);
    // a newer one with a wrong checksum beside it is refused
    {
        QFile f(remote);
        f.open(QIODevice::ReadWrite);
        f.setFileTime(QDateTime::currentDateTime().addDays(2), QFileDevice::FileModificationTime);
    }
    writeFile(remote + QStringLiteral(".sha256"), QByteArray(64, 'a'));
    EXPECT_EQ(ChkUpdInt(h.ctx), UpdateOutcome::Failed);
    EXPECT_TRUE(h.untouched());
    writeFile(remote + QStringLiteral(".sha256"), sha256Hex("programa nuevo").toLatin1());
    EXPECT_EQ(ChkUpdInt(h.ctx), UpdateOutcome::Restarting);
    EXPECT_EQ(readFile(h.ctx.executable), QByteArray("programa nuevo"));

    // the download: HTTPS, size, date and checksum; a wrong size keeps the program
    UpdateHome d;
    d.ctx.updateFolder = QStringLiteral("/act/");
    const QByteArray program("programa descargado");
    const QByteArray later = QDateTime::currentDateTimeUtc().addDays(3).toString(Qt::RFC2822Date).toLatin1();
    d.server.route(QStringLiteral("/act/orlanlog"), WebReply{200, program, {{"Last-Modified", later}}, -1, false});
    d.server.route(QStringLiteral("/act/orlanlog.sha256"), sha256Hex(program).toLatin1());
    const QString server = d.server.base();
    d.msgs.answer(true);
    EXPECT_EQ(ChkUpdFTP(d.ctx, server), UpdateOutcome::Restarting);
    EXPECT_EQ(readFile(d.ctx.executable), program);
    EXPECT_TRUE(d.server.lastRequest().contains("Authorization: Basic "));

    UpdateHome e;
    e.ctx.updateFolder = QStringLiteral("/act/");
    e.server.route(QStringLiteral("/act/orlanlog"), WebReply{200, program, {{"Last-Modified", later}}, -1, false});
    e.server.route(QStringLiteral("/act/orlanlog.sha256"), QByteArray(64, 'f'));
    e.msgs.answer(true);
    EXPECT_EQ(ChkUpdFTP(e.ctx, e.server.base()), UpdateOutcome::Failed);
    EXPECT_TRUE(e.untouched());
}

TEST(ZipUnpack, NamesAreKeptInsideTheFolderAndDamageWritesNothing)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    writeFile(archive, zipOf({{"../../fuera.txt", "a"}, {"sub/dentro.txt", "b"}}));
    const UnpackResult r = unpackZip(archive, dir.filePath(QStringLiteral("out")));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.files, (QStringList{QStringLiteral("fuera.txt"), QStringLiteral("dentro.txt")}));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("fuera.txt"))));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("out/fuera.txt"))));

    writeFile(archive, "no es un zip");
    EXPECT_FALSE(unpackZip(archive, dir.filePath(QStringLiteral("bad"))).ok);
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("bad"))).exists());
}
