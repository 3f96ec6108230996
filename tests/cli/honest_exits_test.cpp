// What orlanlog-cli says and returns when its work cannot be done: a failed
// import or export exits non-zero with a last line telling what was done and
// what was not, a damaged or stale table is named instead of being read as if
// sound, and a home that can only be read can still be exported and resolved.
#include "cli_run.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray adif(int n, int first = 0)
{
    QByteArray b = "<ADIF_VER:5>3.1.4<EOH>\n";
    for (int i = first; i < first + n; ++i) {
        const QByteArray call = "EA" + QByteArray::number(i % 10) + "Q" + QByteArray::number(i, 36).toUpper();
        const QDateTime t = QDateTime(QDate(2022, 3, 1), QTime(0, 0)).addSecs(qint64(i) * 60);
        b += "<CALL:" + QByteArray::number(call.size()) + ">" + call + "<QSO_DATE:8>" +
             t.toString(QStringLiteral("yyyyMMdd")).toLatin1() + "<TIME_ON:4>" + t.toString(QStringLiteral("HHmm")).toLatin1() +
             "<BAND:3>20M<MODE:2>CW<EOR>\n";
    }
    return b;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

struct DbfShape {
    qint64 size = 0;
    quint32 count = 0;
    int headerLen = 0, recordLen = 0;
};

DbfShape shape(const QString& path)
{
    QFile f(path);
    DbfShape s;
    if (!f.open(QIODevice::ReadOnly))
        return s;
    const QByteArray h = f.read(12);
    s.size = f.size();
    s.count = uchar(h[4]) | uchar(h[5]) << 8 | uchar(h[6]) << 16 | quint32(uchar(h[7])) << 24;
    s.headerLen = uchar(h[8]) | uchar(h[9]) << 8;
    s.recordLen = uchar(h[10]) | uchar(h[11]) << 8;
    return s;
}

// Adds delta to the header length a DBF declares.
void shiftHeaderLength(const QString& path, int delta)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const DbfShape s = shape(path);
    const int len = s.headerLen + delta;
    f.seek(8);
    const char bytes[2] = {char(len & 0xFF), char(len >> 8)};
    f.write(bytes, 2);
}

class Home : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        home = dir.path();
        const CliRun r = cli(home, {"init", "--call", "EA4ZZ"});
        ASSERT_EQ(r.code, 0) << r.out.toStdString();
        data = home + "/datos/";
    }
    int exported()
    {
        const CliRun r = cli(home, {"export-adif", home + "/count.adi"});
        EXPECT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
        QFile f(home + "/count.adi");
        return f.open(QIODevice::ReadOnly) ? int(f.readAll().count("<EOR>")) : -1;
    }
    QTemporaryDir dir;
    QString home, data;
};

} // namespace

// A file-size limit in the importing process gives the same write error as a
// full disk, without needing one: the import says how far it got, the book
// holds exactly those QSOs, and the table's count and length agree.
TEST_F(Home, AnImportThatRunsOutOfRoomSaysSoAndLeavesTheTableWhole)
{
    ASSERT_TRUE(writeFile(home + "/big.adi", adif(3000)));
    const QString dbf = data + "LogEA4ZZ.dbf";
    const DbfShape before = shape(dbf);
    const rlim_t limit = rlim_t(before.size + 700 * before.recordLen + before.recordLen / 2);
    const CliRun r = cli(home, {"import-adif", home + "/big.adi"}, [limit] {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit rl {limit, limit};
        setrlimit(RLIMIT_FSIZE, &rl);
    });
    EXPECT_NE(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("el fichero supera el tamaño máximo permitido")) << r.err.toStdString();
    EXPECT_TRUE(r.lastLine().startsWith("Importación interrumpida por un error: ")) << r.out.toStdString();
    EXPECT_TRUE(r.lastLine().contains("el resto del fichero no se ha importado")) << r.out.toStdString();

    const DbfShape after = shape(dbf);
    EXPECT_EQ(after.size, after.headerLen + qint64(after.count) * after.recordLen + 1) << "a record beyond the count";
    const int imported = int(after.count - before.count);
    EXPECT_GT(imported, 0);
    EXPECT_LT(imported, 3000);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Se han importado %1 registros").arg(imported))) << r.out.toStdString();
    EXPECT_TRUE(r.lastLine().contains(QStringLiteral(": %1 registros importados").arg(imported))) << r.out.toStdString();
    const CliRun check = cli(home, {"check"});
    EXPECT_EQ(check.code, 0) << check.out.toStdString();
    EXPECT_EQ(exported(), imported);
}

// An index from an earlier state of the book, and a header whose length does
// not match its fields, would export missing or shifted QSOs: both are refused
// by name, and the file to write is not written.
TEST_F(Home, AnExportRefusesAStaleIndexAndADamagedHeader)
{
    ASSERT_TRUE(writeFile(home + "/a.adi", adif(200)));
    ASSERT_EQ(cli(home, {"import-adif", home + "/a.adi"}).code, 0);
    const QString cdx = data + "LogEA4ZZ.cdx", dbf = data + "LogEA4ZZ.dbf";
    ASSERT_TRUE(QFile::copy(cdx, home + "/earlier.cdx"));
    ASSERT_TRUE(writeFile(home + "/b.adi", adif(10, 200)));
    ASSERT_EQ(cli(home, {"import-adif", home + "/b.adi"}).code, 0);
    EXPECT_EQ(exported(), 210);

    ASSERT_TRUE(QFile::remove(cdx));
    ASSERT_TRUE(QFile::copy(home + "/earlier.cdx", cdx));
    CliRun r = cli(home, {"export-adif", home + "/out.adi"});
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.err.contains("El índice LogEA4ZZ.cdx (etiqueta QSODATETIM) no corresponde a la tabla LogEA4ZZ.dbf"))
        << r.err.toStdString();
    EXPECT_TRUE(r.lastLine().startsWith("Exportación no realizada")) << r.out.toStdString();
    EXPECT_FALSE(QFile::exists(home + "/out.adi"));
    // the Cabrillo export walks the same tag and refuses it the same way
    r = cli(home, {"export-cabrillo", home + "/out.cbr", "--contest", "CQ-WW-SSB", "--call", "EA4ZZ"});
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.err.contains("(etiqueta QSODATETIM) no corresponde a la tabla LogEA4ZZ.dbf")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(home + "/out.cbr"));

    // the index rebuilt: all QSOs again
    ASSERT_EQ(cli(home, {"reorganize"}).code, 0);
    EXPECT_EQ(exported(), 210);

    for (int delta : {1, -1}) {
        SCOPED_TRACE(delta);
        shiftHeaderLength(dbf, delta);
        r = cli(home, {"export-adif", home + "/out.adi"});
        EXPECT_NE(r.code, 0);
        EXPECT_TRUE(r.err.contains("LogEA4ZZ.dbf")) << r.err.toStdString();
        EXPECT_FALSE(r.out.contains("Exportacion completa")) << r.out.toStdString();
        EXPECT_FALSE(r.out.contains("No hay libro de guardia activo")) << r.out.toStdString();
        EXPECT_FALSE(QFile::exists(home + "/out.adi"));
        shiftHeaderLength(dbf, -delta);
    }
    EXPECT_EQ(exported(), 210);
}

// A prefix or entity table that cannot serve gives no answers at all, and says which.
TEST_F(Home, ResolveNamesTheTableItCannotUse)
{
    CliRun r = cli(home, {"resolve", "EA4ABC"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString();
    ASSERT_TRUE(r.out.contains("Spain") || r.out.contains("SPAIN") || r.out.contains("España") || r.out.contains("ESPAÑA"))
        << r.out.toStdString();

    const QString pfx = QFileInfo(data + "Pfx.dbf").exists() ? data + "Pfx.dbf" : data + "PFX.dbf";
    shiftHeaderLength(pfx, 1);
    r = cli(home, {"resolve", "EA4ABC"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains("La tabla de prefijos (Pfx) no se puede usar")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("longitud de cabecera")) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("EA4ABC\t")) << r.out.toStdString();
    shiftHeaderLength(pfx, -1);

    // a record added to the entity table behind its index's back
    const QString ent = QFileInfo(data + "ENT.dbf").exists() ? data + "ENT.dbf" : data + "ent.dbf";
    ASSERT_TRUE(QFile::copy(ent, home + "/ent.saved"));
    {
        const DbfShape e = shape(ent);
        QFile f(ent);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(e.headerLen + qint64(e.count - 1) * e.recordLen);
        const QByteArray last = f.read(e.recordLen);
        f.seek(e.headerLen + qint64(e.count) * e.recordLen);
        f.write(last + "\x1A");
        const quint32 n = e.count + 1;
        f.seek(4);
        const char bytes[4] = {char(n & 0xFF), char(n >> 8 & 0xFF), char(n >> 16 & 0xFF), char(n >> 24)};
        f.write(bytes, 4);
    }
    r = cli(home, {"resolve", "EA4ABC"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains("La tabla de entidades (ENT) no se puede usar")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("no corresponde a la tabla")) << r.out.toStdString();
    ASSERT_TRUE(QFile::remove(ent));
    ASSERT_TRUE(QFile::copy(home + "/ent.saved", ent));
    EXPECT_EQ(cli(home, {"resolve", "EA4ABC"}).code, 0);
}

// The book on a folder this user cannot write: the commands that only read still work.
TEST_F(Home, AReadOnlyHomeCanBeExportedAndResolved)
{
    ASSERT_TRUE(writeFile(home + "/a.adi", adif(20)));
    ASSERT_EQ(cli(home, {"import-adif", home + "/a.adi"}).code, 0);
    QTemporaryDir outDir;
    bool mounted = false;
    if (geteuid() == 0) {
        // root writes anywhere a mode bit forbids: a read-only bind mount instead
        mounted = QProcess::execute("mount", {"--bind", data, data}) == 0 &&
                  QProcess::execute("mount", {"-o", "remount,ro,bind", data}) == 0;
        if (!mounted) {
            QProcess::execute("umount", {data});
            GTEST_SKIP() << "running as root without a read-only mount: the folder cannot be made read-only";
        }
    } else {
        for (const QFileInfo& fi : QDir(data).entryInfoList(QDir::Files))
            QFile::setPermissions(fi.filePath(), QFile::ReadOwner | QFile::ReadGroup);
        QFile::setPermissions(data, QFile::ReadOwner | QFile::ExeOwner);
    }
    CliRun r = cli(home, {"export-adif", outDir.path() + "/out.adi"});
    const CliRun resolve = cli(home, {"resolve", "EA4ABC"});
    const CliRun import = cli(home, {"import-adif", home + "/a.adi"});
    if (mounted)
        QProcess::execute("umount", {data});
    else
        QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\n20 QSOs")) << r.out.toStdString();
    EXPECT_EQ(resolve.code, 0) << resolve.out.toStdString() << resolve.err.toStdString();
    EXPECT_TRUE(resolve.out.startsWith("EA4ABC\t")) << resolve.out.toStdString();
    // an import needs to write: it says why it cannot, and blames no missing book
    EXPECT_NE(import.code, 0);
    EXPECT_FALSE(import.out.contains("No hay libro de guardia activo")) << import.out.toStdString();
    EXPECT_FALSE(import.err.contains("Debe definir un libro de guardia")) << import.err.toStdString();
    EXPECT_TRUE(import.out.contains(mounted ? "sistema de ficheros de solo lectura" : "permiso denegado"))
        << import.out.toStdString();
}
