// A fresh home holds every table with the structure other files rely on.
#include "home_fixture.h"

#include "store/access.h"
#include "store/catalogue.h"

#include <QFileInfo>

using namespace store;
using namespace store::testing;

namespace {

// "NAME C 12" per field, as read back from the file.
QStringList structureOf(const QString& path)
{
    Workspace w;
    WorkArea* a = nullptr;
    EXPECT_TRUE(w.use(path, {.alias = "x", .readOnly = true}, &a).isOk()) << path.toStdString();
    QStringList out;
    for (int i = 0; a && i < a->fieldCount(); ++i) {
        const DbfField& f = a->field(i);
        out << QStringLiteral("%1 %2 %3%4").arg(QString::fromLatin1(f.name)).arg(QLatin1Char(f.type)).arg(f.len)
                   .arg(f.dec ? QStringLiteral(".%1").arg(f.dec) : QString());
    }
    return out;
}

QStringList tagsOf(const QString& path)
{
    Workspace w;
    WorkArea* a = nullptr;
    EXPECT_TRUE(w.use(path, {.alias = "x", .readOnly = true}, &a).isOk());
    QStringList out;
    for (int i = 0; a && i < a->tagCount(); ++i) {
        CdxTag* t = a->table().cdx()->tag(i);
        out << QStringLiteral("%1: %2 | %3%4").arg(QString::fromLatin1(t->name()), QString::fromLatin1(t->definition().keyExpr),
                                                   QString::fromLatin1(t->definition().forExpr), t->custom() ? " (custom)" : "");
    }
    return out;
}

} // namespace

class CatalogueTest : public HomeTest {};

TEST_F(CatalogueTest, TablesHaveTheirExactStructures)
{
    EXPECT_EQ(structureOf(data + "cfg.dbf"), QStringList({
        "CALL C 12", "NOMBRE C 12", "EMAIL C 25", "QRA C 6", "AUTOADD L 1", "MDI L 1", "CHKCFM L 1", "LOGPAUTADO L 1",
        "LOGBCK1 N 10", "LOGBCK2 N 10", "QSLPAUTADO L 1", "QSLBCK1 N 10", "QSLBCK2 N 10", "ACOLACT L 1",
        "AQSLTXFOR N 10", "AQSLTXBCK N 10", "AQSLRXFOR N 10", "AQSLRXBCK N 10", "CATON L 1", "CATRIG N 1",
        "CATCLUS L 1", "CCOLACT L 1", "CSNDACT L 1", "CIOTAACT L 1", "CATBTN L 1", "CLSVOICE L 1", "VOICERATE N 1",
        "VOICEPITCH N 3", "QRZXML L 1", "QRZUSR C 30", "QRZPSW C 30", "QRZFILL L 1", "QTHUSR C 30", "QTHPSW C 30",
        "BCKFLD C 100", "QRZPFX C 50", "KNOW L 1", "FONTPRI C 35", "FONTENT C 35", "LOTWCFM L 1"}));
    EXPECT_EQ(structureOf(data + "LogEA1XX.dbf"), QStringList({
        "AGE N 2", "ADDRES M 10", "BAND C 6", "CALL C 12", "CNTY C 15", "COMMENT C 30", "CONT C 2", "CONTESTID C 20",
        "CQZ C 2", "DXCC C 3", "FREQ N 9.3", "GRIDSQUARE C 8", "IOTA C 6", "ITUZ C 2", "MODE C 6", "NAME C 20",
        "NOTES M 10", "OPERATOR C 12", "PFX C 6", "PROPMODE C 3", "QSLRDATE D 8", "QSLSDATE D 8", "QSLRCVD C 1",
        "QSLSENT C 1", "QSLVIA C 12", "QSODATE D 8", "QTH C 15", "RSTRCVD C 3", "RSTSENT C 3", "RXPWR N 4",
        "SATMODE C 3", "SATNAME C 10", "SRX C 4", "STX C 4", "TENTEN N 4", "TIMEOFF C 5", "TIMEON C 5", "TXPWR N 4",
        "JCC C 4", "JCG C 5", "CODENT C 3", "CODPRV C 4", "EQSLSENT C 1", "EQSLRCVD C 1", "LOTWSENT C 1",
        "LOTWRCVD C 1", "LOTWSDATE D 8", "LOTWRDATE D 8", "QRA C 6", "LP L 1", "PRNQSL L 1", "NOQSL L 1",
        "NQSLTX N 1", "QSLMODE C 1", "EXPORT L 1", "UPD N 1", "KEY C 7"}));
    EXPECT_EQ(structureOf(data + "AttachEA1XX.dbf"), QStringList({"KEY C 7", "TYPE C 1", "DESC C 30", "FILE M 10"}));
    EXPECT_EQ(structureOf(data + "DplEA1XX.dbf"), QStringList({"KEY C 7", "DPL C 8", "COD C 10"}));
    EXPECT_EQ(structureOf(data + "spots.dbf"), QStringList({
        "CALL C 12", "FREQ N 8.3", "BAND C 6", "MODE C 6", "COMENT C 30", "TIME C 5", "ORIGEN C 12", "SQR1 C 6",
        "SQR2 C 6", "PROTIP C 2", "FREQ2 N 9.2", "CODENT C 3", "STSENT C 1", "STSMODE C 1", "STSBAND C 1",
        "STSIOTA C 1", "STSBANDMOD C 1", "QTF C 3", "QRB C 6"}));
    EXPECT_EQ(structureOf(data + "CfgSpot.dbf"), QStringList({
        "STSENT C 1", "STSMODE C 1", "STSBAND C 1", "STSBANDMOD C 1", "STSIOTA C 1", "COLFOR N 10", "COLBCK N 10",
        "SND C 55", "DESC C 40", "FLD C 2"}));
    QStringList dplCfg = {"CODDPL C 8", "DESCRI C 30", "FLD C 10"};
    for (int i = 1; i <= 5; ++i)
        dplCfg << QStringLiteral("CODENT%1 C 3").arg(i);
    for (int i = 1; i <= 10; ++i)
        dplCfg << QStringLiteral("BAND%1 C 6").arg(i);
    for (int i = 1; i <= 6; ++i)
        dplCfg << QStringLiteral("MODE%1 C 6").arg(i);
    dplCfg << "MIXED L 1" << "CINCOB L 1" << "DIG L 1" << "NOSTD L 1";
    EXPECT_EQ(structureOf(data + "DplCfg.dbf"), dplCfg);

    QStringList logLbl = {"OPERATOR C 12", "CODENT C 3", "CALL C 12", "NAME C 15", "QSLVIA C 12"};
    for (const char* f : {"QSODATE%1 D 8", "TIMEON%1 C 5", "BAND%1 C 6", "FREQ%1 N 9.3", "MODE%1 C 6", "RSTSENT%1 C 3",
                          "QSL%1 C 3", "COMMENT%1 C 30", "CONTESTID%1 C 20", "GRID%1 C 8", "MIGRID%1 C 8"})
        for (int n = 1; n <= 9; ++n)
            logLbl << QString::fromLatin1(f).arg(n);
    EXPECT_EQ(structureOf(program + "reports/LogLbl.dbf"), logLbl);
    EXPECT_EQ(structureOf(data + "know.dbf"), QStringList({"CALL C 12", "NOTA C 50"}));
    EXPECT_EQ(structureOf(data + "ann.dbf"), QStringList({"CALL C 12", "ANN C 110", "TIME C 5", "TALK L 1"}));
}

TEST_F(CatalogueTest, ANewLogHasOneBlankRecordAndItsCreationTags)
{
    EXPECT_EQ(tagsOf(data + "LogEA1XX.dbf"), QStringList({
        "QSODATETIM: DToS(QsoDate)+TimeOn | .NOT. DELETED()",
        "CALL: Upper(Call) | .NOT. DELETED()",
        "CODENT: CodEnt+DToS(QsoDate) | .NOT. DELETED()",
        "BAND: Band+DToS(QsoDate) | .NOT. DELETED()",
        "MODE: Mode+DToS(QsoDate) | .NOT. DELETED()",
        "CUSTOM: DToS(QsoDate) |  (custom)",
        "PRNQSL: Upper(Call)+DToS(QsoDate)+TimeOn | .NOT. DELETED() .AND. PRNQSL"}));
    Workspace w;
    WorkArea* log = nullptr;
    ASSERT_TRUE(w.use(data + "LogEA1XX", {}, &log).isOk());
    EXPECT_EQ(log->recCount(), 1u);
    EXPECT_TRUE(log->str("CALL").trimmed().isEmpty());
    EXPECT_EQ(tagsOf(data + "AttachEA1XX.dbf"), QStringList({"KEY: Key | .NOT. DELETED()"}));
    EXPECT_EQ(tagsOf(data + "ENT.dbf").first(), "CODENT: FIELD->CodEnt | .NOT. DELETED()");
    EXPECT_EQ(tagsOf(data + "CfgSpot.dbf"),
              QStringList({"STS: IF(Fld=\"*\",\"*\",\" \")+StsEnt+StsMode+StsBand+StsBandMod+StsIota | .NOT. DELETED()"}));
    EXPECT_EQ(tagsOf(data + "wcy.dbf"), QStringList({"DATTIM: Descend(RecNo()) | .NOT. DELETED()"}));
}

TEST_F(CatalogueTest, SettingsAndKnownStationsStartWithTheirRecords)
{
    Workspace w;
    WorkArea* c = nullptr;
    ASSERT_TRUE(w.use(data + "cfg", {}, &c).isOk());
    EXPECT_EQ(c->recCount(), 1u);
    EXPECT_EQ(c->str("CALL").trimmed(), "EA1XX");
    EXPECT_TRUE(c->logical("AUTOADD"));
    EXPECT_FALSE(c->logical("CATON"));
    EXPECT_EQ(c->num("LOGBCK1"), 16777194);
    EXPECT_EQ(c->num("AQSLRXBCK"), 12058551);
    EXPECT_EQ(c->num("VOICEPITCH"), -2);
    EXPECT_EQ(c->num("CATRIG"), 1);
    WorkArea* k = nullptr;
    ASSERT_TRUE(w.use(data + "know", {}, &k).isOk());
    EXPECT_EQ(k->str("CALL").trimmed(), "ORLAN");
    EXPECT_FALSE(k->str("NOTA").trimmed().isEmpty());
    WorkArea* b = nullptr;
    ASSERT_TRUE(w.use(data + "libros", {}, &b).isOk());
    EXPECT_EQ(b->str("NOMBRE").trimmed(), "EA1XX");
    EXPECT_EQ(b->str("DESCRI").trimmed(), "Libro guardia EA1XX");
    EXPECT_TRUE(b->logical("ACTIVO"));
    // a second run changes nothing
    w.closeAll();
    ASSERT_TRUE(createHome(program, data, "EA1XX").isOk());
    ASSERT_TRUE(w.use(data + "libros", {}, &b).isOk());
    EXPECT_EQ(b->recCount(), 1u);
}

TEST_F(CatalogueTest, SessionOpensEveryAliasOnItsOrder)
{
    QString book;
    ASSERT_TRUE(ABREDBF(nullptr, &book));
    EXPECT_EQ(book, "EA1XX");
    const std::pair<const char*, const char*> expected[] = {
        {"LibBrw", ""}, {"Band", ""}, {"Modo", ""}, {"Propa", ""}, {"iota", "IOTA"}, {"prv", "ENTPRV"},
        {"subprv", "ENTPRVSUB"}, {"ENT", "CODENT"}, {"Pfx", "PFX"}, {"spots", ""}, {"CLUSTER", ""},
        {"Log", "QSODATETIM"}, {"Log2", "CALL"}, {"LogQsl", "CALL"}, {"LogSpool", "PRNQSL"}, {"Attach", "KEY"},
        {"DplLog", "KEY"}, {"DplCfg", "CODDPL"}, {"BandMap", "BAND"}, {"FrmQsl", "DESC"}, {"vhfdb", "CALL"},
        {"CfgSpot", "STS"}, {"DplCab", "DPL"}, {"DplDet", "DPL"}, {"know", "CALL"}, {"wwv", "DATTIM"},
        {"wcy", "DATTIM"}, {"ann", ""}};
    for (auto [alias, order] : expected) {
        WorkArea* a = ws().area(alias);
        ASSERT_TRUE(a) << alias;
        EXPECT_EQ(a->orderName(), QByteArray(order)) << alias;
        EXPECT_TRUE(a->shared()) << alias;
    }
    EXPECT_FALSE(msgs.unexpected());
    EXPECT_TRUE(msgs.log().isEmpty()) << msgs.log().join("\n").toStdString();
}
