#include "catalogue.h"

#include "workspace.h"

#include <QDir>
#include <QFileInfo>

namespace store::catalogue {

const QByteArray kNotDeleted = ".NOT. DELETED()";

namespace {

TagDef tag(const char* name, const char* key, const char* rebuildKey = nullptr)
{
    TagDef t;
    t.name = name;
    t.createKey = key;
    t.rebuildKey = rebuildKey ? QByteArray(rebuildKey) : QByteArray();
    t.createFor = t.rebuildFor = kNotDeleted;
    return t;
}

TagDef forTag(const char* name, const char* key, const QByteArray& cond)
{
    TagDef t = tag(name, key);
    t.createFor = t.rebuildFor = cond;
    return t;
}

TableDef table(const char* name, std::vector<FieldSpec> fields, std::vector<TagDef> tags = {}, Dir dir = Dir::Data)
{
    TableDef t;
    t.name = QString::fromLatin1(name);
    t.fields = std::move(fields);
    t.tags = std::move(tags);
    t.dir = dir;
    return t;
}

std::vector<FieldSpec> logFields()
{
    return {
        {"AGE", 'N', 2},        {"ADDRES", 'M', 10},   {"BAND", 'C', 6},      {"CALL", 'C', 12},
        {"CNTY", 'C', 15},      {"COMMENT", 'C', 30},  {"CONT", 'C', 2},      {"CONTESTID", 'C', 20},
        {"CQZ", 'C', 2},        {"DXCC", 'C', 3},      {"FREQ", 'N', 9, 3},   {"GRIDSQUARE", 'C', 8},
        {"IOTA", 'C', 6},       {"ITUZ", 'C', 2},      {"MODE", 'C', 6},      {"NAME", 'C', 20},
        {"NOTES", 'M', 10},     {"OPERATOR", 'C', 12}, {"PFX", 'C', 6},       {"PROPMODE", 'C', 3},
        {"QSLRDATE", 'D', 8},   {"QSLSDATE", 'D', 8},  {"QSLRCVD", 'C', 1},   {"QSLSENT", 'C', 1},
        {"QSLVIA", 'C', 12},    {"QSODATE", 'D', 8},   {"QTH", 'C', 15},      {"RSTRCVD", 'C', 3},
        {"RSTSENT", 'C', 3},    {"RXPWR", 'N', 4},     {"SATMODE", 'C', 3},   {"SATNAME", 'C', 10},
        {"SRX", 'C', 4},        {"STX", 'C', 4},       {"TENTEN", 'N', 4},    {"TIMEOFF", 'C', 5},
        {"TIMEON", 'C', 5},     {"TXPWR", 'N', 4},     {"JCC", 'C', 4},       {"JCG", 'C', 5},
        {"CODENT", 'C', 3},     {"CODPRV", 'C', 4},    {"EQSLSENT", 'C', 1},  {"EQSLRCVD", 'C', 1},
        {"LOTWSENT", 'C', 1},   {"LOTWRCVD", 'C', 1},  {"LOTWSDATE", 'D', 8}, {"LOTWRDATE", 'D', 8},
        {"QRA", 'C', 6},        {"LP", 'L', 1},        {"PRNQSL", 'L', 1},    {"NOQSL", 'L', 1},
        {"NQSLTX", 'N', 1},     {"QSLMODE", 'C', 1},   {"EXPORT", 'L', 1},    {"UPD", 'N', 1},
        {"KEY", 'C', 7},
    };
}

} // namespace

TagSpec TagDef::tagSpec(bool rebuild) const
{
    TagSpec s;
    s.name = name;
    s.keyExpr = rebuild && !rebuildKey.isEmpty() ? rebuildKey : createKey;
    s.forExpr = rebuild ? rebuildFor : createFor;
    s.custom = rebuild ? customRebuild : custom;
    s.descending = descending;
    return s;
}

TableDef logTable(const QString& book)
{
    TagDef custom = tag("Custom", "DToS(QsoDate)", "DToS(QsoDate)+TimeOn");
    custom.createFor.clear();                 // created without a condition
    custom.custom = custom.customRebuild = true;
    TagDef prn = forTag("PrnQsl", "Upper(Call)+DToS(QsoDate)+TimeOn", kNotDeleted + " .AND. PRNQSL");
    prn.rebuildKey = "CodEnt+Upper(Call)+DToS(QsoDate)+TimeOn";
    TableDef t = table("Log", logFields(),
                       {tag("QsoDateTimeOn", "DToS(QsoDate)+TimeOn"), tag("Call", "Upper(Call)", "Upper(Call)+DToS(QsoDate)"),
                        tag("CodEnt", "CodEnt+DToS(QsoDate)"), tag("Band", "Band+DToS(QsoDate)"),
                        tag("Mode", "Mode+DToS(QsoDate)"), custom, prn});
    t.name += book;
    return t;
}

TableDef attachTable(const QString& book)
{
    TableDef t = table("Attach", {{"KEY", 'C', 7}, {"TYPE", 'C', 1}, {"DESC", 'C', 30}, {"FILE", 'M', 10}},
                       {tag("Key", "Key", "Key+Type")});
    t.name += book;
    return t;
}

TableDef dplLogTable(const QString& book)
{
    TableDef t = table("Dpl", {{"KEY", 'C', 7}, {"DPL", 'C', 8}, {"COD", 'C', 10}}, {tag("Key", "Key")});
    t.name += book;
    return t;
}

TableDef cfg()
{
    return table("cfg", {
        {"CALL", 'C', 12},     {"NOMBRE", 'C', 12},    {"EMAIL", 'C', 25},     {"QRA", 'C', 6},
        {"AUTOADD", 'L', 1},   {"MDI", 'L', 1},        {"CHKCFM", 'L', 1},     {"LOGPAUTADO", 'L', 1},
        {"LOGBCK1", 'N', 10},  {"LOGBCK2", 'N', 10},   {"QSLPAUTADO", 'L', 1}, {"QSLBCK1", 'N', 10},
        {"QSLBCK2", 'N', 10},  {"ACOLACT", 'L', 1},    {"AQSLTXFOR", 'N', 10}, {"AQSLTXBCK", 'N', 10},
        {"AQSLRXFOR", 'N', 10}, {"AQSLRXBCK", 'N', 10}, {"CATON", 'L', 1},     {"CATRIG", 'N', 1},
        {"CATCLUS", 'L', 1},   {"CCOLACT", 'L', 1},    {"CSNDACT", 'L', 1},    {"CIOTAACT", 'L', 1},
        {"CATBTN", 'L', 1},    {"CLSVOICE", 'L', 1},   {"VOICERATE", 'N', 1},  {"VOICEPITCH", 'N', 3},
        {"QRZXML", 'L', 1},    {"QRZUSR", 'C', 30},    {"QRZPSW", 'C', 30},    {"QRZFILL", 'L', 1},
        {"QTHUSR", 'C', 30},   {"QTHPSW", 'C', 30},    {"BCKFLD", 'C', 100},   {"QRZPFX", 'C', 50},
        {"KNOW", 'L', 1},      {"FONTPRI", 'C', 35},   {"FONTENT", 'C', 35},   {"LOTWCFM", 'L', 1},
    });
}

TableDef libros()
{
    TableDef t = table("libros", {{"NOMBRE", 'C', 20}, {"DESCRI", 'C', 40}, {"OPRDEF", 'C', 12},
                                  {"ACTIVO", 'L', 1}, {"REG", 'N', 8}});
    t.createdByProgram = false;
    return t;
}

TableDef ent()
{
    TableDef t = table("ENT",
                       {{"CODENT", 'C', 3}, {"PFX", 'C', 10}, {"NOMBRE", 'C', 40}, {"CQZ", 'C', 2}, {"ITUZ", 'C', 2},
                        {"CONT", 'C', 2}, {"SIT", 'C', 1}, {"DHORA", 'C', 5}, {"FALTA", 'D', 8}, {"FBAJA", 'D', 8},
                        {"DXCC", 'C', 3}, {"LEADX", 'L', 1}, {"LDXCC", 'L', 1}, {"QRA", 'C', 6}, {"IOTA", 'C', 6}},
                       {tag("CodEnt", "FIELD->CodEnt"), tag("Dxcc", "FIELD->Dxcc"), tag("Nombre", "FIELD->Nombre"),
                        tag("Pfx", "FIELD->Pfx")});
    t.createdByProgram = false;
    return t;
}

TableDef pfx()
{
    TableDef t = table("PFX",
                       {{"PFX", 'C', 10}, {"CODENT", 'C', 3}, {"CQZ", 'C', 2}, {"ITUZ", 'C', 2}, {"QRA", 'C', 6},
                        {"GMT", 'N', 5, 1}, {"CTY", 'L', 1}},
                       {tag("Pfx", "FIELD->Pfx"), tag("CodEnt", "FIELD->CodEnt")});
    t.createdByProgram = false;
    return t;
}

TableDef iota()
{
    TableDef t = table("iota", {{"IOTA", 'C', 6}, {"NOMBRE", 'C', 60}, {"PFX", 'C', 10}, {"CODENT", 'C', 3},
                                {"NOMBRE2", 'C', 70}},
                       {tag("iota", "Iota")});
    t.createdByProgram = false;
    return t;
}

TableDef prv()
{
    return table("prv", {{"CODENT", 'C', 3}, {"CODPRV", 'C', 4}, {"NOMBRE", 'C', 30}, {"PFX", 'C', 4},
                         {"CQZ", 'C', 2}, {"ITUZ", 'C', 2}},
                 {tag("EntPrv", "CodEnt+CodPrv"), tag("EntNom", "CodEnt+Upper(Nombre)")});
}

TableDef subprv()
{
    TableDef t = table("subprv", {{"CODENT", 'C', 3}, {"CODPRV", 'C', 4}, {"CODSUBPRV", 'C', 6}, {"NOMBRE", 'C', 30}},
                       {tag("EntPrvSub", "CodEnt+CodPrv+CodSubPrv"), tag("EntPrvNom", "CodEnt+CodPrv+Upper(Nombre)"),
                        tag("EntNom", "CodEnt+Upper(Nombre)")});
    t.createdByProgram = false;
    return t;
}

TableDef band()
{
    TableDef t = table("Band", {{"CODBAN", 'C', 6}, {"BANDA", 'C', 20}, {"CLUSIN", 'L', 1}});
    t.createdByProgram = false;
    return t;
}

TableDef modo()
{
    return table("Modo", {{"CODMOD", 'C', 6}, {"MODO", 'C', 15}, {"CLUSIN", 'L', 1}, {"DIG", 'L', 1}, {"RSTDEF", 'C', 6}});
}

TableDef propa()
{
    TableDef t = table("Propa", {{"CODPRO", 'C', 6}, {"PROPA", 'C', 30}});
    t.createdByProgram = false;
    return t;
}

TableDef bandMap()
{
    TableDef t = table("BandMap", {{"BAND", 'C', 6}, {"FREQINI", 'N', 11, 4}, {"FREQFIN", 'N', 11, 4}, {"MODE", 'C', 6}},
                       {tag("Band", "PadR(Band,6)")});
    t.createdByProgram = false;
    return t;
}

TableDef cluster()
{
    TableDef t = table("Cluster", {{"NOMBRE", 'C', 30}, {"SITE", 'C', 60}, {"PORT", 'N', 5}, {"ON", 'L', 1}, {"AUTO", 'L', 1}});
    t.createdByProgram = false;
    return t;
}

TableDef frmQsl()
{
    TableDef t = table("FrmQsl", {{"DESC", 'C', 40}, {"LBL", 'L', 1}, {"DEFAULT", 'L', 1}, {"FORMATO", 'M', 10},
                                  {"ETIXPAG", 'N', 3}, {"QSOXLBL", 'N', 2}, {"ULTETI", 'N', 3}},
                       {tag("Desc", "Desc"), forTag("Lbl", "Lbl", kNotDeleted + " .AND. LBL"),
                        forTag("Qsl", "Lbl", kNotDeleted + " .AND. .NOT. LBL")});
    t.createdByProgram = false;
    return t;
}

TableDef vhfdb()
{
    TableDef t = table("vhfdb", {{"CALL", 'C', 12}, {"QRA", 'C', 6}, {"NOTA", 'C', 50}}, {tag("Call", "Upper(Call)")});
    t.createdByProgram = false;
    t.optional = true;
    return t;
}

TableDef know()
{
    TableDef t = table("know", {{"CALL", 'C', 12}, {"NOTA", 'C', 50}}, {tag("call", "call")});
    t.optional = true;
    return t;
}

TableDef dplCfg()
{
    std::vector<FieldSpec> f = {{"CODDPL", 'C', 8}, {"DESCRI", 'C', 30}, {"FLD", 'C', 10}};
    for (int i = 1; i <= 5; ++i)
        f.push_back({"CODENT" + QByteArray::number(i), 'C', 3});
    for (int i = 1; i <= 10; ++i)
        f.push_back({"BAND" + QByteArray::number(i), 'C', 6});
    for (int i = 1; i <= 6; ++i)
        f.push_back({"MODE" + QByteArray::number(i), 'C', 6});
    for (const char* l : {"MIXED", "CINCOB", "DIG", "NOSTD"})
        f.push_back({l, 'L', 1});
    return table("DplCfg", f, {tag("CodDpl", "CodDpl")});
}

TableDef dplCab()
{
    TableDef t = table("DplCab", {{"DPLCOD", 'C', 8}, {"DESC", 'C', 60}}, {tag("Dpl", "DplCod")});
    t.createdByProgram = false;
    t.optional = true;
    return t;
}

TableDef dplDet()
{
    TableDef t = table("DplDet", {{"DPLCOD", 'C', 8}, {"COD", 'C', 10}, {"DESC", 'C', 60}},
                       {tag("Dpl", "DplCod+Cod"), tag("DplDesc", "DplCod+Desc")});
    t.createdByProgram = false;
    t.optional = true;
    return t;
}

TableDef spots()
{
    return table("spots", {{"CALL", 'C', 12},  {"FREQ", 'N', 8, 3}, {"BAND", 'C', 6},    {"MODE", 'C', 6},
                           {"COMENT", 'C', 30}, {"TIME", 'C', 5},    {"ORIGEN", 'C', 12}, {"SQR1", 'C', 6},
                           {"SQR2", 'C', 6},   {"PROTIP", 'C', 2},  {"FREQ2", 'N', 9, 2}, {"CODENT", 'C', 3},
                           {"STSENT", 'C', 1}, {"STSMODE", 'C', 1}, {"STSBAND", 'C', 1}, {"STSIOTA", 'C', 1},
                           {"STSBANDMOD", 'C', 1}, {"QTF", 'C', 3}, {"QRB", 'C', 6}},
                 {tag("TimCalOri", "Time+Call+Origen"), tag("Band", "BAnd")});
}

TableDef cfgSpot(bool withIota)
{
    std::vector<FieldSpec> f = {{"STSENT", 'C', 1}, {"STSMODE", 'C', 1}, {"STSBAND", 'C', 1}, {"STSBANDMOD", 'C', 1}};
    if (withIota)
        f.push_back({"STSIOTA", 'C', 1});
    for (FieldSpec s : std::vector<FieldSpec>{{"COLFOR", 'N', 10}, {"COLBCK", 'N', 10}, {"SND", 'C', 55},
                                              {"DESC", 'C', 40}, {"FLD", 'C', 2}})
        f.push_back(s);
    TableDef t = table("CfgSpot", f,
                       {tag("Sts", withIota ? "IF(Fld=\"*\",\"*\",\" \")+StsEnt+StsMode+StsBand+StsBandMod+StsIota"
                                            : "IF(Fld=\"*\",\"*\",\" \")+StsEnt+StsMode+StsBand+StsBandMod")});
    t.optional = true;
    return t;
}

TableDef ann()
{
    TableDef t = table("ann", {{"CALL", 'C', 12}, {"ANN", 'C', 110}, {"TIME", 'C', 5}, {"TALK", 'L', 1}});
    t.optional = true;
    return t;
}

TableDef wcy()
{
    TagDef dattim = tag("DATTIM", "Descend(RecNo())");
    TableDef t = table("wcy", {{"CALL", 'C', 12}, {"DATE", 'D', 8}, {"TIME", 'C', 5}, {"SFI", 'N', 4}, {"A", 'N', 2},
                               {"K", 'N', 2}, {"EK", 'N', 2}, {"R", 'N', 3}, {"SA", 'C', 3}, {"GMF", 'C', 3},
                               {"AURORA", 'C', 3}},
                       {dattim});
    t.optional = true;
    return t;
}

TableDef wwv()
{
    TableDef t = table("wwv", {{"CALL", 'C', 12}, {"TIME", 'C', 5}, {"DATE", 'D', 8}, {"SFI", 'N', 4}, {"A", 'N', 2},
                               {"K", 'N', 2}, {"FORECAST", 'C', 25}},
                       {tag("DATTIM", "Descend(RecNo())")});
    t.optional = true;
    return t;
}

TableDef reportLog()
{
    TableDef t = table("log", logFields(), {}, Dir::Reports);
    t.createdByProgram = false;
    return t;
}

TableDef logLbl()
{
    std::vector<FieldSpec> f = {{"OPERATOR", 'C', 12}, {"CODENT", 'C', 3}, {"CALL", 'C', 12}, {"NAME", 'C', 15},
                                {"QSLVIA", 'C', 12}};
    const std::vector<FieldSpec> block = {{"QSODATE", 'D', 8}, {"TIMEON", 'C', 5}, {"BAND", 'C', 6}, {"FREQ", 'N', 9, 3},
                                          {"MODE", 'C', 6}, {"RSTSENT", 'C', 3}, {"QSL", 'C', 3}, {"COMMENT", 'C', 30},
                                          {"CONTESTID", 'C', 20}};
    for (const FieldSpec& b : block)
        for (int n = 1; n <= 9; ++n)
            f.push_back({b.name.left(9) + QByteArray::number(n), b.type, b.len, b.dec});
    for (int n = 1; n <= 9; ++n)
        f.push_back({"GRID" + QByteArray::number(n), 'C', 8});
    for (int n = 1; n <= 9; ++n)
        f.push_back({"MIGRID" + QByteArray::number(n), 'C', 8});
    return table("LogLbl", f, {}, Dir::Reports);
}

TableDef infWrkNotConf()
{
    return table("InfWrkNotConf", {{"CODENT", 'C', 3}, {"ENTIDAD", 'C', 24}, {"QSODATE", 'D', 8}, {"TIMEON", 'C', 5},
                                   {"CALL", 'C', 12}, {"BAND", 'C', 6}, {"MODE", 'C', 6}, {"QSLSDATE", 'D', 8},
                                   {"NQSLTX", 'N', 1}, {"QSLMODE", 'C', 1}},
                 {}, Dir::Reports);
}

TableDef infWrk()
{
    return table("InfWrk", {{"CODENT", 'C', 3}, {"ENTIDAD", 'C', 24}, {"QSODATE", 'D', 8}, {"LACTIVO", 'L', 1}}, {},
                 Dir::Reports);
}

TableDef tmpGrf()
{
    return table("TmpGrf", {{"CODENT", 'C', 3}, {"QSO", 'N', 5}}, {tag("CodEnt", "CodEnt"), tag("QSO", "QSO")},
                 Dir::Program);
}

TableDef dplTmp(const QString& name)
{
    TableDef t = dplCfg();
    t.name = name;
    t.tags.clear();
    return t;
}

TableDef dplStatus(const QStringList& bands)
{
    std::vector<FieldSpec> f = {{"FLD", 'C', 10}, {"DESC", 'C', 20}, {"MODO", 'C', 6}};
    for (const QString& b : bands)
        f.push_back({b.toLatin1().toUpper().left(10), 'C', 3});
    return table("Dpl", f, {tag("FldMod", "Fld + Modo"), tag("Desc", "Desc")});
}

TableDef estDxcc(const QStringList& bands)
{
    TableDef t = dplStatus(bands);
    t.name = QStringLiteral("EstDxcc");
    for (const QString& b : bands)
        t.fields.push_back({("L" + b.toLatin1().toUpper()).left(10), 'L', 1});
    t.tags = {tag("FldMod", "Fld+Modo")};
    return t;
}

std::vector<TableDef> homeTables()
{
    return {cfg(),     libros(),  ent(),    pfx(),   iota(),     prv(),   subprv(),   band(),    modo(),
            propa(),   bandMap(), cluster(), frmQsl(), vhfdb(),   know(),  dplCfg(),   dplCab(),  dplDet(),
            spots(),   cfgSpot(), ann(),     wcy(),    wwv(),     reportLog(), logLbl()};
}

bool findTable(const QString& base, TableDef* out)
{
    std::vector<TableDef> fixed = homeTables();
    for (TableDef t : {infWrkNotConf(), infWrk(), tmpGrf()})
        fixed.push_back(std::move(t));
    for (TableDef& t : fixed)
        if (t.name.compare(base, Qt::CaseInsensitive) == 0) {
            *out = std::move(t);
            return true;
        }
    // longer prefixes first: "DplLog" before "Log"
    const std::pair<const char*, TableDef (*)(const QString&)> books[] = {
        {"DplLog", dplLogTable}, {"Attach", attachTable}, {"Log", logTable}};
    for (const auto& [prefix, make] : books) {
        const QString p = QString::fromLatin1(prefix);
        if (base.size() > p.size() && base.startsWith(p, Qt::CaseInsensitive)) {
            *out = make(base.mid(p.size()));
            return true;
        }
    }
    return false;
}

QString directoryOf(const TableDef& t, const QString& programDir, const QString& dataDir)
{
    switch (t.dir) {
    case Dir::Program: return programDir;
    case Dir::Reports: return programDir + QStringLiteral("reports/");
    case Dir::Data: break;
    }
    return dataDir;
}

Status create(const TableDef& t, const QString& path, bool rebuildKeys)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    Workspace w;
    if (Status s = TableFile::create(path, t.fields); !s)
        return s;
    if (t.tags.empty())
        return {};
    WorkArea* a = nullptr;
    if (Status s = w.use(path, {.alias = QStringLiteral("_crt"), .shared = false}, &a); !s)
        return s;
    for (const TagDef& tg : t.tags)
        if (Status s = a->createTag(tg.tagSpec(rebuildKeys)); !s)
            return s;
    return w.close(QStringLiteral("_crt"));
}

void fillCfgDefaults(WorkArea* c)
{
    for (const char* f : {"AUTOADD", "MDI", "CHKCFM", "LOGPAUTADO", "QSLPAUTADO", "ACOLACT", "CATCLUS", "CCOLACT",
                          "CATBTN", "KNOW"})
        c->put(QString::fromLatin1(f), true);
    c->put("CATON", false);
    c->put("CLSVOICE", false);
    c->put("QRZFILL", false);
    c->put("LOGBCK1", 16777194);
    c->put("LOGBCK2", 16766378);
    c->put("QSLBCK1", 16055039);
    c->put("QSLBCK2", 11786751);
    c->put("AQSLTXBCK", 8421631);
    c->put("AQSLRXBCK", 12058551);
    c->put("CATRIG", 1);
    c->put("VOICERATE", 2);
    c->put("VOICEPITCH", -2);
    c->put("QRZPFX", "www.qrz.com/db/");
}

void fillKnowSeed(WorkArea* k)
{
    k->put("CALL", QStringLiteral("ORLAN"));
    k->put("NOTA", QStringLiteral("Autor de Orlan Win Log, el programa de este libro"));
}

} // namespace catalogue
