// The CTY.DAT import on the shipped tables: what each alias does to the prefix
// table, what it must never do, the version marker, cancelling and bad files.
#include "refdata/cty_import.h"
#include "refdata/resolve.h"

#include "shipped_home.h"

#include <QCryptographicHash>
#include <QFile>

using namespace refdata;
using refdata::testing::ShippedHome;

namespace {

class TestMeter : public ui::Meter {
public:
    void setTotal(qint64 t) override { total = t; }
    void setPosition(qint64 p) override { positions.push_back(p); }
    void setText(const QString&) override {}
    void setTitle(const QString&) override {}
    bool cancelled() override { return cancelAfter >= 0 && checks++ >= cancelAfter; }
    qint64 total = 0;
    std::vector<qint64> positions;
    int cancelAfter = -1;
    int checks = 0;
};

class CtyImport : public ShippedHome {
protected:
    void SetUp() override
    {
        ShippedHome::SetUp();
        pfx = ws().area("Pfx");
        if (!pfx) {
            ASSERT_TRUE(ws().use("PFX", {.alias = "Pfx"}, &pfx).isOk());
        }
        ASSERT_TRUE(ws().use("ENT", {.alias = "ENT"}).isOk());
    }

    QString write(const QByteArray& text, const char* name = "cty.dat")
    {
        const QString path = program + QLatin1String(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text);
        return path;
    }

    bool import(const QByteArray& text, bool automatic = false)
    {
        TestMeter m;
        return CTYIMP(m, automatic, write(text), &result);
    }

    // The prefix record of a prefix (whole field), or false.
    bool seek(const char* prefix)
    {
        pfx->setOrder("Pfx");
        pfx->seek(store::Value::text(QByteArray(prefix).leftJustified(10, ' ')));
        return pfx->found();
    }

    static QByteArray fileHash(const QString& path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
    }

    store::WorkArea* pfx = nullptr;
    CtyImportResult result;
};

const QByteArray kSpainHead = "Spain:  14:  37:  EU:   40.32:     3.43:    -1.0:  EA:\n";

} // namespace

TEST_F(CtyImport, AliasesWithOverridesAreStoredForTheRecordsEntity)
{
    ASSERT_TRUE(seek("EA"));
    const QByteArray eaBefore = pfx->str("CQZ").toLatin1() + pfx->str("ITUZ").toLatin1() + pfx->str("QRA").toLatin1();
    ASSERT_TRUE(import("# a comment line\n# another one\n" + kSpainHead
                       + "    =EA3XYZ(14)[37],EA3QQ~-2.0~, # Madrid; Cuenca\n    =EA3BR{AF}(33),EA,\n"
                         "    =ea3low;\n"
                         "United States:  05:  08:  NA:  37.53:  91.67:  5.0:  K:\n    K<40.0/75.0>;\n"));
    EXPECT_EQ(msgs.take(), QStringList{"info: Importación completa"});   // no "Alert" box for the UTC offset
    EXPECT_EQ(result.records, 2);
    EXPECT_EQ(result.added, 4);

    ASSERT_TRUE(seek("EA3XYZ"));
    EXPECT_EQ(pfx->str("CODENT"), " 89");
    EXPECT_EQ(pfx->str("CQZ"), "14");
    EXPECT_EQ(pfx->str("ITUZ"), "37");
    EXPECT_TRUE(pfx->logical("CTY"));
    ASSERT_TRUE(seek("EA3QQ"));
    EXPECT_DOUBLE_EQ(pfx->num("GMT"), -2.0);
    ASSERT_TRUE(seek("EA3BR"));                           // a continent override is not part of the prefix
    EXPECT_EQ(pfx->str("CQZ"), "33");
    EXPECT_TRUE(seek("EA3LOW"));
    EXPECT_FALSE(seek("MADRID"));                         // comments are taken out
    ASSERT_TRUE(seek("EA"));                              // exists for Spain, no override: as it was
    EXPECT_EQ(pfx->str("CQZ").toLatin1() + pfx->str("ITUZ").toLatin1() + pfx->str("QRA").toLatin1(), eaBefore);
    ASSERT_TRUE(seek("K"));                               // latitude 40 north, longitude 75 west
    EXPECT_EQ(pfx->str("QRA"), "FN20MA");
    EXPECT_EQ(pfx->str("CODENT"), codeOf("291"));
    EXPECT_EQ(DXCC("EA3XYZ"), " 89");
}

TEST_F(CtyImport, OnlyOverriddenFieldsChangeAndOtherEntitiesKeepTheirPrefixes)
{
    ASSERT_TRUE(seek("JA"));
    const QString japan = pfx->str("CODENT");
    const QString jaZones = pfx->str("CQZ") + pfx->str("ITUZ");
    ASSERT_TRUE(seek("EA"));
    const QString eaItu = pfx->str("ITUZ");
    ASSERT_TRUE(import(kSpainHead + "    EA(33),JA(1)[1],=JA1ABC;\n"
                       "Nowhere:  1:  1:  EU:  0:  0:  0:  XX9Q:\n    =EA3QQQ,EA(5);\n"
                       "European Turkey:  20:  39:  EU:  41.02:  -28.97:  -2.0:  *TA1:\n    TA1,=EA3TT;\n"));
    ASSERT_TRUE(seek("EA"));
    EXPECT_EQ(pfx->str("CQZ"), "33");
    EXPECT_EQ(pfx->str("ITUZ"), eaItu);
    ASSERT_TRUE(seek("JA"));                              // Japan's prefix: left alone
    EXPECT_EQ(pfx->str("CODENT"), japan);
    EXPECT_EQ(pfx->str("CQZ") + pfx->str("ITUZ"), jaZones);
    ASSERT_TRUE(seek("JA1ABC"));                          // a full call the table did not know
    EXPECT_EQ(pfx->str("CODENT"), " 89");
    EXPECT_FALSE(seek("EA3QQQ"));                         // records without an entity change nothing
    EXPECT_FALSE(seek("EA3TT"));
    EXPECT_EQ(result.records, 3);
    EXPECT_EQ(result.skipped, 2);
    EXPECT_EQ(result.foreign, 1);
    EXPECT_EQ(result.updated, 1);
}

// The Netherlands Antilles had the main prefix PJ2 before Curaçao: the file's
// PJ2 record is Curaçao's, whatever the order of the entity table.
TEST_F(CtyImport, ADeletedEntityNeverTakesItsSuccessorsPrefixes)
{
    ASSERT_TRUE(import("Curacao:  09:  11:  SA:  12.17:  69.00:  4.0:  PJ2:\n    =PJ2NEW,PJ2;\n"));
    ASSERT_TRUE(seek("PJ2NEW"));
    EXPECT_EQ(pfx->str("CODENT"), "402");
    EXPECT_EQ(result.unchanged, 1);
}

TEST_F(CtyImport, TheVersionMarkerAndLongCalls)
{
    EXPECT_EQ(CTYVER(), "VER230502");                     // the shipped file
    ASSERT_TRUE(import(kSpainHead + "    =VER20991231,=VERSION,=PF100ROVER/J,=EA3ABCDEFGHIJ;\n"));
    EXPECT_EQ(CTYVER(), "VER991231");
    EXPECT_TRUE(seek("PF100ROVER"));                      // cut to the field, not taken for a version
    EXPECT_TRUE(seek("EA3ABCDEFG"));
    const int added = result.added;
    EXPECT_EQ(added, 2);
    ASSERT_TRUE(import(kSpainHead + "    =VER20991231,=VERSION,=PF100ROVER/J,=EA3ABCDEFGHIJ;\n"));
    EXPECT_EQ(result.added, 0);                           // a second import adds nothing
    EXPECT_EQ(result.unchanged + result.foreign, 4);
}

TEST_F(CtyImport, TheShippedFileAgainAddsNothing)
{
    const quint32 before = pfx->recCount();
    TestMeter m;
    ASSERT_TRUE(CTYIMP(m, false, source("cty.dat"), &result));
    EXPECT_EQ(result.added, 0);
    EXPECT_EQ(pfx->recCount(), before);
    EXPECT_EQ(m.total, QFile(source("cty.dat")).size());
    EXPECT_EQ(m.positions.size(), 347u);                  // one a record, and the end
    EXPECT_TRUE(std::is_sorted(m.positions.begin(), m.positions.end()));
    EXPECT_EQ(m.positions.back(), m.total);               // full behind "Importación completa"
}

TEST_F(CtyImport, ACancelledImportKeepsWhatItDid)
{
    TestMeter m;
    m.cancelAfter = 1;
    const QString path = write(kSpainHead + "    =EA3AAA;\n" + kSpainHead + "    =EA3BBB;\n");
    EXPECT_FALSE(CTYIMP(m, false, path, &result));
    EXPECT_TRUE(result.cancelled);
    EXPECT_TRUE(seek("EA3AAA"));
    EXPECT_FALSE(seek("EA3BBB"));
    EXPECT_TRUE(msgs.take().isEmpty());
    EXPECT_EQ(ent()->orderName(), "CODENT");              // the entity table's order is restored
}

TEST_F(CtyImport, BadFilesAreToldAndChangeNothing)
{
    const QByteArray pfxHash = fileHash(data + "PFX.dbf");
    TestMeter m;
    EXPECT_FALSE(CTYIMP(m, false, program + "missing.dat", &result));
    EXPECT_FALSE(import(""));
    EXPECT_FALSE(import(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + QByteArray(3000, '\x07')));
    EXPECT_FALSE(import("no colons here; nor here;"));
    EXPECT_EQ(msgs.take(), (QStringList{"stop: Error de aperturar", "stop: Fichero vacio",
                                         "stop: El fichero " + program + "cty.dat no tiene el formato CTY.DAT: no se ha importado nada",
                                         "stop: El fichero " + program + "cty.dat no tiene el formato CTY.DAT: no se ha importado nada"}));
    // automatic: cty.dat of the program directory, and not a word
    QFile::remove(program + "cty.dat");
    EXPECT_FALSE(CTYIMP(m, true));
    EXPECT_TRUE(msgs.take().isEmpty());
    ws().closeAll();
    EXPECT_EQ(fileHash(data + "PFX.dbf"), pfxHash);
}

TEST_F(CtyImport, AutomaticImportReadsTheProgramDirectory)
{
    write(kSpainHead + "    =EA3AUT;\n");
    TestMeter m;
    EXPECT_TRUE(CTYIMP(m, true, QString(), &result));
    EXPECT_TRUE(seek("EA3AUT"));
    EXPECT_TRUE(msgs.take().isEmpty());
}
