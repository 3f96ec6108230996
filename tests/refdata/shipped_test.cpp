// The reference tables that come with the program: what a first start
// installs, where they are found, and the generator's checks of its sources.
#include "refdata/bands.h"
#include "refdata/shipped.h"

#include "shipped_home.h"

#include <QDir>
#include <QFile>
#include <QSet>

using namespace refdata;
using refdata::testing::ShippedHome;

namespace {

class Shipped : public ShippedHome {
protected:
    store::WorkArea* open(const char* table)
    {
        store::WorkArea* a = nullptr;
        EXPECT_TRUE(ws().use(QString::fromLatin1(table), {.alias = QStringLiteral("T") + table, .readOnly = true}, &a).isOk());
        return a;
    }
};

} // namespace

TEST_F(Shipped, AFirstStartInstallsTheEntities)
{
    QStringList lines;
    EXPECT_EQ(store::checkTables(data, &lines), 0) << lines.join('\n').toStdString();
    store::WorkArea* e = open("ENT");
    EXPECT_EQ(e->recCount(), 402u);
    QSet<QString> codes;
    int current = 0;
    for (e->goTop(); !e->eof(); e->skip()) {
        const QString code = e->str("CODENT");
        EXPECT_FALSE(codes.contains(code)) << code.toStdString();
        codes << code;
        const bool deleted = e->date("FBAJA").isValid();
        EXPECT_EQ(e->str("SIT"), deleted ? "B" : "A") << code.toStdString();
        EXPECT_EQ(e->logical("LEADX"), !deleted);
        EXPECT_TRUE(e->logical("LDXCC"));
        EXPECT_EQ(e->str("QRA").trimmed().size(), 6);
        EXPECT_EQ(e->str("NOMBRE"), e->str("NOMBRE").toUpper());
        current += !deleted;
    }
    EXPECT_EQ(current, 340);
    const std::pair<const char*, const char*> fixed[] = {{" 89", "ESPAÑA"}, {" 90", "ISLAS BALEARES"}, {" 91", "ISLAS CANARIAS"},
                                                         {" 92", "CEUTA Y MELILLA"}, {"402", "CURAZAO"}, {"403", "SINT MAARTEN"},
                                                         {"404", "SABA Y SAN EUSTAQUIO"}, {"405", "BONAIRE"}, {"406", "SUDAN DEL SUR"}};
    for (const auto& [code, name] : fixed) {
        e->setOrder("CodEnt");
        e->seek(store::Value::text(QString::fromLatin1(code)));
        ASSERT_TRUE(e->found()) << code;
        EXPECT_EQ(e->str("NOMBRE").trimmed(), QString::fromUtf8(name));
    }
    EXPECT_EQ(e->str("DXCC"), "521");
    EXPECT_EQ(e->date("FALTA"), QDate(2011, 7, 9));
    // the name is stored in Windows-1252
    QFile f(data + "ENT.dbf");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("ESPA\xD1" "A"));
}

// Every current entity found its prefixes in CTY.DAT through its main prefix.
TEST_F(Shipped, EveryCurrentEntityHasPrefixes)
{
    store::WorkArea* p = open("PFX");
    QSet<QString> withPrefixes;
    for (p->goTop(); !p->eof(); p->skip())
        withPrefixes << p->str("CODENT");
    store::WorkArea* e = open("ENT");
    for (e->goTop(); !e->eof(); e->skip()) {
        if (!e->date("FBAJA").isValid()) {
            EXPECT_TRUE(withPrefixes.contains(e->str("CODENT"))) << e->str("NOMBRE").toStdString();
        }
    }
}

TEST_F(Shipped, TheOtherReferenceTables)
{
    // every band BAND() gives is a band of the table
    QSet<QString> bands;
    store::WorkArea* b = open("Band");
    for (b->goTop(); !b->eof(); b->skip())
        bands << b->str("CODBAN").trimmed();
    for (double mhz : {1.9, 3.6, 5.3, 7.1, 10.1, 14.2, 18.1, 21.2, 24.9, 28.5, 51.0, 70.2, 145.0, 435.0, 1296.0})
        EXPECT_TRUE(bands.contains(BAND(mhz))) << mhz;

    // the 50 province codes of the Radioges import, Soria and Valladolid
    QSet<QString> spanish;
    store::WorkArea* prv = open("prv");
    for (prv->goTop(); !prv->eof(); prv->skip())
        if (QStringList{" 89", " 90", " 91", " 92"}.contains(prv->str("CODENT")))
            spanish << prv->str("CODPRV").trimmed();
    EXPECT_EQ(spanish.size(), 52);
    for (const char* c : {"VI", "AB", "A", "AL", "AV", "BA", "IB", "B", "BU", "CC", "CA", "CS", "CR", "CO", "C", "CU", "GI",
                          "GR", "GU", "SS", "H", "HU", "J", "LE", "L", "LO", "LU", "M", "MA", "MU", "NA", "OU", "O", "P",
                          "GC", "PO", "SA", "TF", "S", "SG", "SE", "T", "TE", "TO", "V", "BI", "ZA", "Z", "CE", "ML", "SO", "VA"})
        EXPECT_TRUE(spanish.contains(c)) << c;

    QSet<QString> modes;
    store::WorkArea* m = open("Modo");
    for (m->goTop(); !m->eof(); m->skip())
        modes << m->str("CODMOD").trimmed();
    for (const char* c : {"SSB", "CW", "FM", "AM", "RTTY", "FT8", "FT4", "PSK31"})
        EXPECT_TRUE(modes.contains(c)) << c;

    // the band plan's modes are modes of the table, and FT8 and FT4 have their segments
    QSet<QString> planModes;
    store::WorkArea* plan = open("BandMap");
    for (plan->goTop(); !plan->eof(); plan->skip()) {
        planModes << plan->str("MODE").trimmed();
        EXPECT_LT(plan->num("FREQINI"), plan->num("FREQFIN"));
        EXPECT_TRUE(bands.contains(plan->str("BAND").trimmed()));
    }
    EXPECT_TRUE(modes.contains(planModes));
    EXPECT_TRUE(planModes.contains("FT8") && planModes.contains("FT4"));

    store::WorkArea* cfg = open("DplCfg");
    cfg->setOrder("CodDpl");
    cfg->seek(store::Value::text(QByteArray("DXCCINFO")));
    ASSERT_TRUE(cfg->found());
    EXPECT_EQ(cfg->str("FLD").trimmed(), "DXCC");
    for (const char* award : {"DXCC", "WAZ", "IOTA", "LOCATOR", "WAS"}) {
        cfg->seek(store::Value::text(QByteArray(award).leftJustified(8, ' ')));
        EXPECT_TRUE(cfg->found()) << award;
    }
    EXPECT_EQ(open("DplDet")->recCount(), 52u);
    EXPECT_EQ(open("iota")->recCount(), 1203u);
    EXPECT_EQ(open("Cluster")->recCount(), 4u);
}

TEST_F(Shipped, ExistingTablesAreKeptAndMissingOnesCopied)
{
    // the operator's own entity table stays
    store::WorkArea* e = nullptr;
    ASSERT_TRUE(ws().use("ENT", {.alias = "ENT"}, &e).isOk());
    ASSERT_TRUE(e->append().isOk());
    e->put("CODENT", "407");
    ASSERT_TRUE(e->unlock().isOk());
    ws().closeAll();
    for (const char* f : {"PFX.dbf", "PFX.cdx"})
        ASSERT_TRUE(QFile::remove(data + f));
    ASSERT_TRUE(store::createHome(program, data, "EA1XX", shipped).isOk());
    EXPECT_EQ(open("ENT")->recCount(), 403u);
    EXPECT_GT(open("PFX")->recCount(), 27000u);

    // without shipped tables the catalogue creates them empty
    QTemporaryDir other;
    const QString home = other.path() + "/";
    ASSERT_TRUE(store::createHome(home, home + "datos/", "EA1XX").isOk());
    store::WorkArea* empty = nullptr;
    ASSERT_TRUE(ws().use(home + "datos/ENT", {.alias = "Empty", .readOnly = true}, &empty).isOk());
    EXPECT_EQ(empty->recCount(), 0u);
}

TEST(ShippedDir, FoundInTheBuildTreeOrThroughTheEnvironment)
{
    const QString found = store::shippedTablesDir();
    EXPECT_TRUE(found.endsWith("/refdata/"));
    EXPECT_TRUE(QFile::exists(found + "orlanlog-refdata.stamp"));
    qputenv("ORLANLOG_REFDATA", "/somewhere/else");
    EXPECT_EQ(store::shippedTablesDir(), "/somewhere/else/");
    qunsetenv("ORLANLOG_REFDATA");
}

TEST(ShippedSources, AFaultInASourceFileIsReportedByFileAndLine)
{
    QTemporaryDir dir;
    const QString src = dir.path() + "/src/", out = dir.path() + "/out/";
    QDir().mkpath(src);
    QFile in(QStringLiteral(ORLANLOG_SOURCE_DIR "/data/refdata/ent.csv"));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = in.readAll().split('\n');
    lines[3] = lines[3].replace("AFGANISTAN", "AFGANISTAN \xE2\x82\xBF");   // a character outside Windows-1252
    QFile bad(src + "ent.csv");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(lines.join('\n'));
    bad.close();
    const store::Status s = buildShippedTables(src, out);
    EXPECT_FALSE(s.isOk());
    EXPECT_TRUE(s.message().contains("ent.csv:4:")) << s.message().toStdString();
    EXPECT_TRUE(s.message().contains("Windows-1252")) << s.message().toStdString();
    EXPECT_FALSE(QFile::exists(out + "orlanlog-refdata.stamp"));
    EXPECT_EQ(store::Workspace::instance().area("ENT"), nullptr);
}
