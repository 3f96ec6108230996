// The version migration: an older data directory brought to the current
// structures with every record kept, the download steps against a local
// server and without a connection, and a home at the current version left alone.
#include "upgrade_home.h"

#include "upgrade/migration.h"

#include "web_server.h"

#include "online/endpoints.h"
#include "store/home.h"

#include <QFileInfo>

using namespace upgrade;
using upgrade::testing::UpgradeHome;
namespace cat = store::catalogue;

namespace {

// The current fields of a table without those a later version added.
std::vector<store::FieldSpec> without(const cat::TableDef& def, const QStringList& later)
{
    std::vector<store::FieldSpec> fields;
    for (const store::FieldSpec& f : def.fields)
        if (!later.contains(QString::fromLatin1(f.name)))
            fields.push_back(f);
    return fields;
}

const QStringList kLaterCfg = {"QRZXML", "QRZUSR", "QRZPSW", "QTHUSR", "QTHPSW", "BCKFLD", "QRZPFX",
                               "KNOW",   "FONTPRI", "FONTENT", "LOTWCFM"};
const QStringList kLaterLog = {"LOTWRDATE", "QRA", "LP", "PRNQSL", "NOQSL", "NQSLTX", "QSLMODE", "EXPORT", "UPD"};

} // namespace

class Migration : public UpgradeHome {
protected:
    // Leaves the markers up to and including `last`.
    void keepMarkersUpTo(const QString& last)
    {
        for (const QString& step : store::versionSteps())
            if (step > last)
                QFile::remove(store::versionMarker(program, step));
    }
    // Replaces a data table by one of the given fields, filled by fill.
    void oldTable(const QString& name, const std::vector<store::FieldSpec>& fields,
                  const std::function<void(store::WorkArea&, int)>& fill, int records)
    {
        store::DBDROP(data + name);
        ASSERT_TRUE(store::TableFile::create(data + name + QStringLiteral(".dbf"), fields).isOk());
        store::Workspace w;
        store::WorkArea* a = nullptr;
        ASSERT_TRUE(w.use(data + name + QStringLiteral(".dbf"), {.alias = QStringLiteral("_o"), .shared = false}, &a).isOk());
        for (int i = 0; i < records; ++i) {
            ASSERT_TRUE(a->append().isOk());
            fill(*a, i);
            ASSERT_TRUE(a->unlock().isOk());
        }
    }
    void oldBook(const QString& book)
    {
        oldTable(QStringLiteral("Log") + book, without(cat::logTable(book), kLaterLog),
                 [&](store::WorkArea& a, int i) {
                     a.put("CALL", QStringLiteral("EA%1AB").arg(i + 3));
                     a.put("QSODATE", QDate(2011, 5, i + 1));
                     a.put("TIMEON", "10:3" + QString::number(i));
                     a.put("BAND", "20M");
                     a.put("MODE", "SSB");
                     a.put("FREQ", 14.2 + i / 100.0);
                     a.put("LOTWSDATE", QDate(2011, 6, 1));
                     a.putMemo("NOTES", QStringLiteral("nota %1 de %2").arg(i).arg(book).toLatin1());
                     a.put("KEY", QStringLiteral("%1").arg(i + 1, 7, 10, QLatin1Char('0')));
                 },
                 3);
    }
};

// Data restored from a backup made at step 097: the later steps run at once,
// cfg gains its later fields with its data kept, every book gains the fields up
// to KEY with every QSO and memo kept, and each book gets its award table.
TEST_F(Migration, DataAtStep097ReachesTheCurrentStructuresWithEveryRecordKept)
{
    keepMarkersUpTo(QStringLiteral("097"));
    oldTable(QStringLiteral("cfg"), without(cat::cfg(), kLaterCfg),
             [](store::WorkArea& a, int) {
                 cat::fillCfgDefaults(&a);
                 a.put("CALL", "EA1XX");
                 a.put("NOMBRE", "Juan");
                 a.put("QRA", "IN80");
                 a.put("VOICERATE", 3);
             },
             1);
    {
        // a second book in the catalogue
        store::Workspace w;
        store::WorkArea* b = nullptr;
        ASSERT_TRUE(w.use(data + QStringLiteral("libros.dbf"), {.alias = QStringLiteral("b")}, &b).isOk());
        ASSERT_TRUE(b->append().isOk());
        b->put("NOMBRE", "EA2YY");
        ASSERT_TRUE(b->unlock().isOk());
    }
    oldBook(QStringLiteral("EA1XX"));
    oldBook(QStringLiteral("EA2YY"));
    store::DBDROP(data + QStringLiteral("DplEA2YY"));
    const QStringList before1 = rows(data + QStringLiteral("LogEA1XX.dbf"));
    const QStringList before2 = rows(data + QStringLiteral("LogEA2YY.dbf"));

    const MigrationReport r = ACTVER();
    EXPECT_EQ(r.done.first(), QStringLiteral("098"));
    EXPECT_EQ(r.done.last(), QStringLiteral("191"));
    EXPECT_TRUE(r.postponed.isEmpty());
    EXPECT_EQ(markers().size(), store::versionSteps().size());

    // cfg: the current fields, the old values kept, the new ones set
    const QString cfg = store::findFileNoCase(data + QStringLiteral("cfg.dbf"));
    EXPECT_EQ(fieldNames(cfg), fieldNames(cat::cfg()));
    const QStringList cfgRows = rows(cfg);
    ASSERT_EQ(cfgRows.size(), 1);
    EXPECT_TRUE(cfgRows[0].contains(QStringLiteral("CALL=EA1XX")));
    EXPECT_TRUE(cfgRows[0].contains(QStringLiteral("NOMBRE=Juan")));
    EXPECT_TRUE(cfgRows[0].contains(QStringLiteral("QRA=IN80")));
    EXPECT_TRUE(cfgRows[0].contains(QStringLiteral("QRZPFX=") + callbookPagePrefix()));
    EXPECT_TRUE(cfgRows[0].contains(QStringLiteral("VOICERATE=3"))) << cfgRows[0].toStdString();

    // the books: current structure, same records field by field, memos too
    for (const auto& [book, before] : {std::pair{QStringLiteral("EA1XX"), before1}, std::pair{QStringLiteral("EA2YY"), before2}}) {
        const QString path = data + QStringLiteral("Log") + book + QStringLiteral(".dbf");
        EXPECT_EQ(fieldNames(path), fieldNames(cat::logTable(book))) << book.toStdString();
        const QStringList after = rows(path);
        ASSERT_EQ(after.size(), before.size());
        for (int i = 0; i < after.size(); ++i)
            for (const QString& value : before[i].split(QLatin1Char('|')))
                EXPECT_TRUE(after[i].split(QLatin1Char('|')).contains(value)) << value.toStdString();
        EXPECT_TRUE(QFileInfo::exists(data + QStringLiteral("Dpl") + book + QStringLiteral(".dbf")));
    }
    EXPECT_TRUE(QDir(data).entryList({QStringLiteral("lognew*")}, QDir::Files).isEmpty());
    // step 190: the default reports of the first modes
    const QStringList modes = rows(store::findFileNoCase(data + QStringLiteral("Modo.dbf")));
    ASSERT_GE(modes.size(), 3);
    EXPECT_TRUE(modes[0].contains(QStringLiteral("RSTDEF=59    ")));
    EXPECT_TRUE(modes[1].contains(QStringLiteral("RSTDEF=599   ")));
    // the known stations of the home are kept (step 110 makes the table only when missing)
    EXPECT_EQ(rows(store::findFileNoCase(data + QStringLiteral("know.dbf"))).size(), 1);
}

// From step 096: spots is restructured too (QTF and QRB come back) and the
// voice settings are set in cfg.
TEST_F(Migration, DataAtStep096GetsTheCurrentSpotsAndVoiceSettings)
{
    keepMarkersUpTo(QStringLiteral("096"));
    oldTable(QStringLiteral("spots"), without(cat::spots(), {"QTF", "QRB"}),
             [](store::WorkArea& a, int i) {
                 a.put("CALL", QStringLiteral("DL%1ABC").arg(i));
                 a.put("FREQ", 14025.0);
                 a.put("SQR1", "JN58");
             },
             2);
    ACTVER();
    const QString spots = store::findFileNoCase(data + QStringLiteral("spots.dbf"));
    EXPECT_EQ(fieldNames(spots), fieldNames(cat::spots()));
    const QStringList r = rows(spots);
    ASSERT_EQ(r.size(), 2);
    EXPECT_TRUE(r[1].contains(QStringLiteral("CALL=DL1ABC")));
    EXPECT_TRUE(r[1].contains(QStringLiteral("SQR1=JN58")));
    const QStringList cfg = rows(store::findFileNoCase(data + QStringLiteral("cfg.dbf")));
    EXPECT_TRUE(cfg[0].contains(QStringLiteral("VOICERATE=2|")) && cfg[0].contains(QStringLiteral("VOICEPITCH=-2|")))
        << cfg[0].toStdString();
    EXPECT_TRUE(cfg[0].contains(QStringLiteral("CALL=EA1XX")));
}

// A new installation is at the current version: the migration touches nothing
// and asks nothing.
TEST_F(Migration, EveryMarkerPresentDoesNothing)
{
    EXPECT_EQ(markers().size(), store::versionSteps().size());
    EXPECT_TRUE(missingSteps(program).isEmpty());
    const QByteArray cfg = bytes(store::findFileNoCase(data + QStringLiteral("cfg.dbf")));
    const MigrationReport r = ACTVER();
    EXPECT_TRUE(r.done.isEmpty());
    EXPECT_TRUE(msgs.log().isEmpty());
    EXPECT_EQ(bytes(store::findFileNoCase(data + QStringLiteral("cfg.dbf"))), cfg);
}

// Steps that wait for their download: without a connection nothing is fetched,
// nothing is said and the marker stays missing; with the service they fetch
// the script modules. A status other than 200 is told; the label format then
// comes from the program's own design.
TEST_F(Migration, DownloadStepsUseTheServiceAndWaitWhenOffline)
{
    keepMarkersUpTo(QStringLiteral("191"));
    QFile::remove(store::versionMarker(program, QStringLiteral("089")));
    QFile::remove(store::versionMarker(program, QStringLiteral("088")));
    // offline: both wait for a later start, silently
    MigrationReport r = ACTVER();
    EXPECT_TRUE(r.done.isEmpty());
    EXPECT_EQ(r.postponed, (QStringList{QStringLiteral("088"), QStringLiteral("089")}));
    EXPECT_FALSE(QFileInfo::exists(store::versionMarker(program, QStringLiteral("089"))));
    EXPECT_TRUE(msgs.log().isEmpty()) << msgs.log().join(QLatin1Char('\n')).toStdString();

    WebServer server;
    server.route(QStringLiteral("/media/Esporadicas%20VHF.js"), QByteArray("orlan.info('esporadicas');\n"));
    server.route(QStringLiteral("/media/Activaciones.js"), QByteArray("orlan.info('activaciones');\n"));
    qunsetenv("ORLANLOG_OFFLINE");
    app::oAppl->ini().Set(QStringLiteral("Servicios"), online::endpointKey(online::Endpoint::DownloadService), server.base());
    msgs.answer(false);   // 088: keep the QSL formats
    r = ACTVER();
    EXPECT_EQ(r.done, QStringList{QStringLiteral("089")});
    EXPECT_EQ(r.postponed, QStringList{QStringLiteral("088")});
    EXPECT_EQ(bytes(program + QStringLiteral("obj/Activaciones.js")), QByteArray("orlan.info('activaciones');\n"));
    EXPECT_TRUE(QFileInfo::exists(program + QStringLiteral("obj/Esporadicas VHF.js")));
    EXPECT_TRUE(QFileInfo::exists(store::versionMarker(program, QStringLiteral("089"))));
    EXPECT_FALSE(QFileInfo::exists(store::versionMarker(program, QStringLiteral("088"))));
    EXPECT_TRUE(msgs.take().join(QLatin1Char('\n')).contains(QStringLiteral("Existe un nuevo fichero de formatos de QSL")));

    // 091: the service has no label format (404): said, then the shipped one is imported
    QFile::remove(store::versionMarker(program, QStringLiteral("091")));
    const int formats = rows(store::findFileNoCase(data + QStringLiteral("FrmQsl.dbf"))).size();
    msgs.answer(false);
    r = ACTVER();
    EXPECT_TRUE(r.done.contains(QStringLiteral("091")));
    EXPECT_TRUE(msgs.log().join(QLatin1Char('\n')).contains(QStringLiteral("Error en el objeto httprequest 404")));
    const QStringList frm = rows(store::findFileNoCase(data + QStringLiteral("FrmQsl.dbf")));
    ASSERT_EQ(frm.size(), formats + 1);
    EXPECT_TRUE(frm.last().contains(QStringLiteral("DESC=Etiquetas 70 x 37 mm 3 QSO")));
}

// Steps 092 and 190 on a short mode table of the older structure: "ROS" is
// added once, the table gains DIG and RSTDEF, and the default reports go to
// the records there are.
TEST_F(Migration, ModeStepsOnAShortTable)
{
    QFile::remove(store::versionMarker(program, QStringLiteral("092")));
    QFile::remove(store::versionMarker(program, QStringLiteral("190")));
    oldTable(QStringLiteral("Modo"), without(cat::modo(), {"DIG", "RSTDEF"}),
             [](store::WorkArea& a, int) {
                 a.put("CODMOD", "SSB");
                 a.put("MODO", "Banda lateral");
             },
             1);
    const MigrationReport r = ACTVER();
    EXPECT_EQ(r.done, (QStringList{QStringLiteral("092"), QStringLiteral("190")}));
    const QString modo = store::findFileNoCase(data + QStringLiteral("Modo.dbf"));
    EXPECT_EQ(fieldNames(modo), fieldNames(cat::modo()));
    const QStringList rowsAfter = rows(modo);
    ASSERT_EQ(rowsAfter.size(), 2);
    EXPECT_TRUE(rowsAfter[0].contains(QStringLiteral("MODO=Banda lateral")));
    EXPECT_TRUE(rowsAfter[0].contains(QStringLiteral("RSTDEF=59    ")));
    EXPECT_TRUE(rowsAfter[1].contains(QStringLiteral("CODMOD=ROS")));
    EXPECT_TRUE(rowsAfter[1].contains(QStringLiteral("RSTDEF=599   ")));
    // 092 again does not add the mode twice
    QFile::remove(store::versionMarker(program, QStringLiteral("092")));
    ACTVER();
    EXPECT_EQ(rows(modo).size(), 2);
}
