// Call-sign resolution on the shipped tables: the cases that catch real faults,
// every call of MASTER.SCP, the in-memory image against the table walk, and
// changes made by this process and by another one.
#include "refdata/names.h"
#include "refdata/resolve.h"

#include "shipped_home.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

using namespace refdata;
using refdata::testing::ShippedHome;

namespace {

QStringList masterScp(const QString& path)
{
    QFile f(path);
    QStringList calls;
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray& l : f.readAll().split('\n'))
            if (!l.trimmed().isEmpty() && !l.startsWith('#'))
                calls << QString::fromLatin1(l.trimmed());
    return calls;
}

const QDate kToday = QDate::currentDate();

class Resolve : public ShippedHome {
protected:
    QString entityDxcc() { return ent()->eof() ? QString() : ent()->str(QStringLiteral("DXCC")); }
};

} // namespace

TEST_F(Resolve, CallsAsTypedEmptyAndUnknown)
{
    EXPECT_EQ(DXCC("EA3ABC"), " 89");
    EXPECT_EQ(DXCC("ea3 abc"), " 89");
    EXPECT_EQ(DXCC(" e a3abc "), " 89");
    EXPECT_EQ(entityDxcc(), "281");                    // ENT left on the entity

    EXPECT_EQ(DXCC(""), "  0");
    EXPECT_EQ(DXCC("    "), "  0");
    EXPECT_EQ(ent()->recNo(), 2u);                      // the second record in code order ("  2")
    EXPECT_EQ(ent()->str("CODENT"), "  2");

    EXPECT_EQ(DXCC("QQ1ABC"), "");                     // no prefix at all
    EXPECT_TRUE(ent()->eof());
    EXPECT_EQ(DXCC("Ñ1ABC"), "");
}

TEST_F(Resolve, PortableCallsTryTheShortPartFirst)
{
    const QString usa = codeOf("291");
    EXPECT_EQ(DXCC("EA6/W1AW"), " 90");
    EXPECT_EQ(DXCC("W1AW/EA6"), " 90");
    EXPECT_EQ(DXCC("W1AW/QRP"), usa);
    EXPECT_EQ(DXCC("W1AW/MM"), usa);
    EXPECT_EQ(DXCC("W1AW/P"), usa);
    EXPECT_EQ(DXCC("EA3ABC/P"), " 89");
    EXPECT_EQ(DXCC("EA3ABC/QRP"), " 89");
    EXPECT_EQ(DXCC("KH6/W1AW"), codeOf("110"));
    EXPECT_EQ(DXCC("VP2E/W1AW"), codeOf("012"));       // Anguilla through its longest prefix
    EXPECT_EQ(DXCC("EA3ABC/6"), " 89");                 // no prefix "6" in the table: the home part
    addPrefix("6", codeOf("137"));                      // now there is one
    EXPECT_EQ(DXCC("EA3ABC/6"), codeOf("137"));
    EXPECT_EQ(DXCC("AB/CD"), DXCC("AB"));               // equal parts: the left one
}

TEST_F(Resolve, AWholeCallWinsOverItsPrefix)
{
    const QString japan = codeOf("339");
    EXPECT_EQ(DXCC("EA3XYZ"), " 89");
    addPrefix("EA3XYZ", japan);                         // seen at once: no stale image
    EXPECT_EQ(DXCC("EA3XYZ"), japan);
    EXPECT_EQ(entityDxcc(), "339");
    EXPECT_EQ(DXCC("EA3XYY"), " 89");
    EXPECT_EQ(DXCC("EA3XYZ/P"), japan);                 // the home part is the whole call
    EXPECT_EQ(DXCC("EA3XY/P"), " 89");
}

TEST_F(Resolve, APrefixSharedOverTimeResolvesByDate)
{
    EXPECT_EQ(DXCC("PJ2ABC", QDate(2005, 6, 1)), codeOf("085"));
    EXPECT_EQ(entityDxcc(), "085");
    EXPECT_EQ(DXCC("PJ2ABC", QDate(2010, 10, 9)), codeOf("085"));
    EXPECT_EQ(DXCC("PJ2ABC", QDate(2010, 10, 10)), "402");
    EXPECT_EQ(DXCC("PJ2ABC", QDate(2012, 1, 1)), "402");
    EXPECT_EQ(entityDxcc(), "517");
    EXPECT_EQ(DXCC("DL1ABC", QDate(1970, 1, 1)), codeOf("081"));
    EXPECT_EQ(DXCC("DL1ABC", QDate(1980, 1, 1)), codeOf("230"));
    EXPECT_EQ(DXCC("OK1ABC", QDate(1990, 1, 1)), codeOf("218"));
    EXPECT_EQ(DXCC("OK1ABC", QDate(1995, 1, 1)), codeOf("503"));
    EXPECT_EQ(DXCC("I1ABC", QDate(2012, 1, 1)), codeOf("248"));   // a deleted prefix does not take current calls
    // the only record of the prefix is a deleted entity
    EXPECT_EQ(DXCC("1B9ABC", QDate(1970, 1, 1)), codeOf("023"));
    EXPECT_EQ(DXCC("1B9ABC", QDate(2012, 1, 1)), "  0");
    EXPECT_EQ(DXCC("Z81A", QDate(2011, 7, 8)), "  0");          // South Sudan counts from 9 July 2011
    EXPECT_EQ(DXCC("Z81A", QDate(2011, 7, 9)), "406");
    EXPECT_EQ(DXCC("EA3ABC", QDate()), "  0");                   // no date is earlier than any entity
}

TEST_F(Resolve, PrefixOfACallWithoutTable)
{
    EXPECT_EQ(PFX("EA3ABC/6"), "EA6");
    EXPECT_EQ(PFX("EA3ABC"), "EA3");
    EXPECT_EQ(PFX("RAEM"), "RAEM");
    EXPECT_EQ(PFX("3D2AB"), "3D2");
    EXPECT_EQ(PFX("2E0ABC"), "2E0");
    EXPECT_EQ(PFX("EA3ABC/P"), "EA3");
    EXPECT_EQ(PFX("W1AW/QRP"), "W1");
    EXPECT_EQ(PFX("KH6/W1AW"), "KH6");
    EXPECT_EQ(PFX("F/EA3ABC"), "F");
    EXPECT_EQ(PFX("ea3 abc/p"), "EA3");
    EXPECT_EQ(PFX("EA3ABC/"), "EA3");
    EXPECT_EQ(PFX("RAEM/6"), "RAE6");
    EXPECT_EQ(PFX("/6"), "6");
    EXPECT_EQ(PFX(""), "");
}

TEST_F(Resolve, CqZoneAndNames)
{
    EXPECT_EQ(CQZ("EA3ABC"), "14");
    EXPECT_EQ(CQZ("JA1ABC"), "25");
    EXPECT_EQ(CQZ("QQ1ABC"), "  ");
    EXPECT_EQ(CQZ("1B9ABC"), "  ");

    EXPECT_EQ(NOMDXCC("281").trimmed(), QStringLiteral("ESPAÑA"));
    EXPECT_EQ(NOMDXCC("5").trimmed(), "ISLAS ALAND");
    EXPECT_EQ(NOMDXCC("999"), QString(40, ' '));
    EXPECT_EQ(ent()->orderName(), "CODENT");            // order restored
    EXPECT_EQ(NOMENT(" 90").trimmed(), "ISLAS BALEARES");
    EXPECT_EQ(ent()->str("QRA"), "JM19LO");             // ENT left on the entity
    EXPECT_EQ(ENTQRA("406"), "KJ54TU");
    EXPECT_EQ(NOMENT("406").trimmed(), "SUDAN DEL SUR");
    EXPECT_EQ(ent()->str("DXCC"), "521");
    EXPECT_EQ(NOMENT("999"), "");

    EXPECT_EQ(NOMPRV(" 89", "B").trimmed(), "Barcelona");
    EXPECT_EQ(NOMPRV("89", "BA  ").trimmed(), "Badajoz");
    EXPECT_EQ(NOMPRV(" 89", "XX", true), "!!");           // Spain has provinces, not this one
    EXPECT_EQ(NOMPRV(" 89", "XX", false), QString(30, ' '));
    EXPECT_EQ(NOMPRV("402", "XX", true), QString(30, ' ')); // Curaçao has none
    EXPECT_EQ(NOMPRV(" 90", "IB").trimmed(), "Baleares");
    const QString italy = codeOf("248");
    EXPECT_EQ(NOMSUBPRV(italy, "62", "RM").trimmed(), "Roma");
    EXPECT_EQ(NOMSUBPRV(italy, "62", "MI"), "!!");
    EXPECT_EQ(NOMSUBPRV(" 89", "B", "RM"), QString(30, ' '));
    EXPECT_EQ(NOMIOTA("EU-004").trimmed(), "Balearic Islands");
    EXPECT_EQ(NOMIOTA("      "), QString(60, ' '));
    EXPECT_EQ(NOMIOTA("XX-999"), QString(60, ' '));

    EXPECT_EQ(NOMCON(" eu "), "EUROPA");
    EXPECT_EQ(NOMCON("SA"), "S.AMERICA");
    EXPECT_EQ(NOMCON("AN"), "");
    EXPECT_EQ(INFOQSL("Q"), "Cola");
    EXPECT_EQ(INFOQSL("Y"), "Si ");
    EXPECT_EQ(INFOQSL("X"), "   ");
}

// Every call of the contest file resolves, but for these: a digit zero typed
// for the letter O (C02VDD for CO2VDD, J03DDD, T03Z, Y04NF ...) or a block that
// belongs to no entity (1N, 2N, BS4, C1, D0, H1, HM, VY3, XX0) give ""; PJ3T
// and VO3A match only prefixes of entities that no longer count (the old
// Netherlands Antilles' PJ3, Newfoundland's VO) and give "  0".
TEST_F(Resolve, EveryMasterScpCallHasAnEntity)
{
    const QStringList calls = masterScp(source("MASTER.SCP"));
    ASSERT_GT(calls.size(), 80000);
    QStringList none, deleted;
    for (const QString& c : calls) {
        const QString r = DXCC(c, kToday);
        if (r.isEmpty())
            none << c;
        else if (r == "  0")
            deleted << c;
    }
    EXPECT_EQ(none, (QStringList{"1N7N", "2N8N", "BS4QA", "C02VDD", "C02XN", "C06HZ", "C08NMN", "C19AS", "D0AG",
                                 "D0IA", "D0WFF", "D0ZM", "H06HF", "H1AH", "HM1DK", "J03DDD", "J06HF", "T03Z", "T04A",
                                 "T05M", "V02AC", "VY3TT", "XX0XX", "Y04NF"}));
    EXPECT_EQ(deleted, (QStringList{"PJ3T", "VO3A"}));
}

// The image answers exactly as the walk through the tables, and leaves ENT
// on the same record, for real calls at several dates and for odd texts.
TEST_F(Resolve, TheImageAgreesWithTheTableWalk)
{
    QStringList calls = masterScp(source("MASTER.SCP"));
    QRandomGenerator rng(20240621);
    const QStringList pieces = {"/P", "/QRP", "/MM", "/6", "/EA6", "KH6/", "VP2E/", "/", "//", "F/", "/B", " ", "ñ"};
    const qsizetype real = calls.size();
    for (int i = 0; i < 6000; ++i) {
        QString c = calls[rng.bounded(int(real))];
        const QString p = pieces[rng.bounded(int(pieces.size()))];
        c = rng.bounded(2) ? c + p : p + c;
        if (rng.bounded(4) == 0)
            c = c.toLower();
        if (rng.bounded(8) == 0)
            c += QStringLiteral("ABCDEFGHIJKL").left(rng.bounded(12));
        calls << c;
    }
    calls << "" << "/" << "A" << "PJ2" << "VERSION" << "ABCDEFGHIJKLMNO" << "EA3ABC/ABCDEFGHIJKLMNO";
    const int builds = resolutionImageBuilds();
    const QDate dates[] = {kToday, QDate(1960, 1, 1), QDate(1990, 6, 1), QDate(2005, 6, 1), QDate(2010, 10, 10), QDate()};
    int checked = 0;
    for (const QDate& d : dates) {
        for (qsizetype i = 0; i < calls.size(); i += (d == kToday ? 1 : 7)) {
            const QString fast = DXCC(calls[i], d);
            const bool fastEof = ent()->eof();
            const quint32 fastRec = ent()->recNo();
            const QString slow = dxccByTable(calls[i], d);
            ASSERT_EQ(fast, slow) << calls[i].toStdString() << " " << d.toString().toStdString();
            ASSERT_EQ(fastEof, ent()->eof()) << calls[i].toStdString();
            if (!fastEof) {
                ASSERT_EQ(fastRec, ent()->recNo()) << calls[i].toStdString();
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 100000);
    EXPECT_EQ(resolutionImageBuilds(), builds + 1);     // built once, never found out of step
}

TEST_F(Resolve, ChangesOfThisProcessAreSeenAtOnce)
{
    EXPECT_EQ(DXCC("EA3ABC"), " 89");
    const int builds = resolutionImageBuilds();
    // the entity window ends Spain: the record is read on every call
    store::WorkArea* e = nullptr;
    ASSERT_TRUE(ws().use("ENT", {.alias = "EntMan"}, &e).isOk());
    e->setOrder("CodEnt");
    e->seek(store::Value::text(QByteArray(" 89")));
    ASSERT_TRUE(e->found());
    ASSERT_TRUE(e->lockRecord().isOk());
    e->put("FBAJA", QDate(2000, 1, 1));
    ASSERT_TRUE(e->unlock().isOk());
    EXPECT_EQ(DXCC("EA3ABC", QDate(2001, 1, 1)), "  0");
    EXPECT_EQ(DXCC("EA3ABC", QDate(1999, 1, 1)), " 89");
    EXPECT_EQ(resolutionImageBuilds(), builds);          // no key changed

    // a new entity and a prefix for it
    ASSERT_TRUE(e->append().isOk());
    e->put("CODENT", "407");
    e->put("NOMBRE", "ENTIDAD NUEVA");
    ASSERT_TRUE(e->unlock().isOk());
    addPrefix("EA3N", "407");
    EXPECT_EQ(DXCC("EA3NEW"), "407");
    EXPECT_EQ(ent()->str("NOMBRE").trimmed(), "ENTIDAD NUEVA");
    // and the prefix deleted again
    store::WorkArea* p = ws().area("PfxMan");
    p->setOrder("Pfx");
    p->seek(store::Value::text(QByteArray("EA3N      ")));
    ASSERT_TRUE(p->found());
    ASSERT_TRUE(p->lockRecord().isOk());
    ASSERT_TRUE(p->deleteRecord().isOk());
    ASSERT_TRUE(p->unlock().isOk());
    EXPECT_EQ(DXCC("EA3NEW", QDate(1999, 1, 1)), " 89");
}

// Changes made by another process: this test program run again as a writer.
TEST(CrossProcess, Writer)
{
    const QString data = qEnvironmentVariable("ORLANLOG_TEST_DATA");
    if (data.isEmpty())
        GTEST_SKIP() << "only run as the writer of CrossProcessTest";
    store::Workspace w;
    w.setDataDir(data);
    store::WorkArea* a = nullptr;
    if (qEnvironmentVariable("ORLANLOG_TEST_STEP") == "pfx") {
        ASSERT_TRUE(w.use("PFX", {.alias = "Pfx"}, &a).isOk());
        ASSERT_TRUE(a->append().isOk());
        a->put("PFX", "EA3ZZZ");
        a->put("CODENT", qEnvironmentVariable("ORLANLOG_TEST_CODE"));
        ASSERT_TRUE(a->unlock().isOk());
    } else {
        ASSERT_TRUE(w.use("ENT", {.alias = "ENT"}, &a).isOk());
        a->seek(store::Value::text(QByteArray(" 89")));
        ASSERT_TRUE(a->found());
        ASSERT_TRUE(a->lockRecord().isOk());
        a->put("FALTA", QDate(2030, 1, 1));
        ASSERT_TRUE(a->unlock().isOk());
    }
}

class CrossProcessTest : public ShippedHome {
protected:
    void runWriter(const QString& step, const QString& code = QString())
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ORLANLOG_TEST_DATA", data);
        env.insert("ORLANLOG_TEST_STEP", step);
        env.insert("ORLANLOG_TEST_CODE", code);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("/proc/self/exe"), {"--gtest_filter=CrossProcess.Writer"});
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAll().toStdString();
    }
};

TEST_F(CrossProcessTest, ChangesOfAnotherProcessAreSeenOnTheNextCall)
{
    EXPECT_EQ(DXCC("EA3ZZZ"), " 89");
    EXPECT_EQ(DXCC("EA3ABC"), " 89");
    runWriter("pfx", codeOf("339"));
    EXPECT_EQ(DXCC("EA3ZZZ"), codeOf("339"));
    runWriter("ent");
    EXPECT_EQ(DXCC("EA3ABC"), "  0");
    EXPECT_EQ(DXCC("EA3ABC", QDate(2031, 1, 1)), " 89");
}
