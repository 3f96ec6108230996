// Downloads from the command line against a server on 127.0.0.1: the contest
// country file and the entity and prefix tables. What is refused leaves every
// table as it was.
#include "cli_run.h"
#include "web_server.h"

#include "store/table_file.h"
#include "store/workspace.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

struct Home {
    QTemporaryDir dir;
    QString home;
    WebServer server;
    Home()
    {
        home = dir.path();
        qputenv("ORLANLOG_CONFIG", (home + QStringLiteral("/config")).toLocal8Bit());
        qunsetenv("ORLANLOG_OFFLINE");
        EXPECT_EQ(cli(home, {"init", "--call", "ea4zz"}).code, 0);
    }
    ~Home() { qunsetenv("ORLANLOG_OFFLINE"); }
    QString data(const char* file) const { return store::findFileNoCase(home + QStringLiteral("/datos/") + QLatin1String(file)); }
};

// A country file naming every active entity of the home by its main prefix,
// with one new full call for the first and a version marker.
QByteArray countryFile(const QString& home, int entities = -1, bool closed = true)
{
    store::Workspace w;
    w.setDataDir(home + QStringLiteral("/datos"));
    store::WorkArea* ent = nullptr;
    EXPECT_TRUE(w.use(QStringLiteral("ENT"), {.alias = QStringLiteral("e"), .readOnly = true}, &ent).isOk());
    QByteArray text = "# generado para la prueba\n";
    int n = 0;
    for (ent->goTop(); !ent->eof() && n != entities; ent->skip()) {
        const QByteArray sit = ent->str(QStringLiteral("SIT")).trimmed().toLatin1();
        const QByteArray pfx = ent->str(QStringLiteral("PFX")).trimmed().toLatin1();
        if (sit == "B" || pfx.isEmpty())
            continue;
        text += "Entidad " + QByteArray::number(n) + ":  14:  37:  EU:  40.00:  3.00:  -1.0:  " + pfx + ":\n    " + pfx;
        if (n == 0)
            text += ",=EA9QQQ(14)[37],=VER20261201";
        text += ";\n";
        ++n;
    }
    if (!closed)
        text.chop(2);
    return text;
}

} // namespace

TEST(CliDownloads, UpdateCtyImportsAWholeFileAndRefusesAFileCutShort)
{
    Home h;
    const QByteArray pfxBefore = readFile(h.data("pfx.dbf"));

    // the last entity not closed: refused, the prefixes as they were
    h.server.route(QStringLiteral("/cut/cty.dat"), countryFile(h.home, -1, false));
    CliRun r = cli(h.home, {"update-cty", "--url", h.server.base() + "/cut/cty.dat"});
    EXPECT_EQ(r.code, 1) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("no termina en \";\"")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Los prefijos no se han cambiado"));
    // far fewer entities than the table holds
    h.server.route(QStringLiteral("/few/cty.dat"), countryFile(h.home, 20));
    r = cli(h.home, {"update-cty", "--url", h.server.base() + "/few/cty.dat"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains("trae 20 entidades")) << r.out.toStdString();
    // not there
    r = cli(h.home, {"update-cty", "--url", h.server.base() + "/nada/cty.dat"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains("Error en el objeto httprequest 404")) << r.out.toStdString();
    EXPECT_EQ(readFile(h.data("pfx.dbf")), pfxBefore);
    EXPECT_FALSE(QFile::exists(h.home + "/cty.dat"));

    // offline forbids even an explicit address
    h.server.route(QStringLiteral("/cty/cty.dat"), countryFile(h.home));
    const int asked = int(h.server.requests().size());
    qputenv("ORLANLOG_OFFLINE", "1");
    r = cli(h.home, {"update-cty", "--url", h.server.base() + "/cty/cty.dat"});
    qunsetenv("ORLANLOG_OFFLINE");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains("ORLANLOG_OFFLINE=1"));
    EXPECT_EQ(h.server.requests().size(), asked);

    r = cli(h.home, {"update-cty", "--url", h.server.base() + "/cty/cty.dat"});
    EXPECT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    // the new full call, the version marker and the entities' own prefixes the table lacked
    EXPECT_TRUE(r.out.contains(QRegularExpression("prefijos añadidos: [1-9]"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Versión actual de CTY.DAT: VER261201")) << r.out.toStdString();
    EXPECT_EQ(readFile(h.home + "/cty.dat"), countryFile(h.home));
    EXPECT_NE(readFile(h.data("pfx.dbf")), pfxBefore);
}

TEST(CliDownloads, DownloadReferenceReplacesTablesThatAreWholeAndKeepsTheOthers)
{
    Home h;
    QByteArray ent = readFile(h.data("ent.dbf"));
    const QByteArray pfx = readFile(h.data("pfx.dbf"));
    ASSERT_FALSE(ent.isEmpty());
    // the served entity table names Spain differently (the names are upper case)
    const qsizetype at = ent.indexOf("ESPA");
    ASSERT_GT(at, 0);
    ent.replace(at, 4, "ISPA");

    // a table cut short is kept, the other one is taken
    h.server.route(QStringLiteral("/winorlanlog/datos/ent.dbf"), ent.left(ent.size() / 3));
    h.server.route(QStringLiteral("/winorlanlog/datos/pfx.dbf"), pfx);
    CliRun r = cli(h.home, {"download-reference", "--url", h.server.base()});
    EXPECT_EQ(r.code, 1) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("ent.dbf")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Sustituida pfx.dbf"));
    EXPECT_NE(readFile(h.data("ent.dbf")).indexOf("ESPA"), -1);
    EXPECT_EQ(cli(h.home, {"check"}).code, 0);

    h.server.route(QStringLiteral("/winorlanlog/datos/ent.dbf"), ent);
    r = cli(h.home, {"download-reference", "--url", h.server.base()});
    EXPECT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Bases de datos actualizadas correctamente"));
    // the new table is found through its fresh index
    r = cli(h.home, {"resolve", "EA4ZZ"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains("ISPAÑA")) << r.out.toStdString();
    EXPECT_EQ(cli(h.home, {"check"}).code, 0);
    EXPECT_FALSE(QFile::exists(h.data("ent_descarga.dbf")));

    // without a connection: nothing asked, nothing changed
    const int asked = int(h.server.requests().size());
    qputenv("ORLANLOG_OFFLINE", "1");
    r = cli(h.home, {"download-reference"});
    qunsetenv("ORLANLOG_OFFLINE");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(h.server.requests().size(), asked);
}
