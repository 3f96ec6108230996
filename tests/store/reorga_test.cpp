// The reorganisation: deleted records gone, every tag rebuilt with its rebuild
// key, the blank first record of a new book removed, cancellation between steps.
#include "home_fixture.h"

#include "store/access.h"
#include "store/reorga.h"

#include <QFile>

using namespace store;
using namespace store::testing;

class ReorgaTest : public HomeTest {
protected:
    bool reorganise()
    {
        bool done = false;
        msgs.meter([&](ui::Meter& m) { done = REORGA(m); }, "Procesando, espere por favor ... ");
        return done;
    }

    WorkArea* log()
    {
        if (!ws().area("Log")) {
            EXPECT_TRUE(NETUSE("LogEA1XX", true, 1, "Log"));
        }
        return ws().area("Log");
    }

    void expectEveryTagConsistent()
    {
        for (const QString t : {"LogEA1XX", "ENT", "PFX", "FrmQsl", "wcy", "AttachEA1XX"}) {
            Workspace w;
            w.setDataDir(data);
            WorkArea* a = nullptr;
            ASSERT_TRUE(w.use(t, {.alias = "v"}, &a).isOk()) << t.toStdString();
            std::vector<QString> problems;
            ASSERT_TRUE(a->table().verify(&problems).isOk());
            for (const auto& p : problems)
                ADD_FAILURE() << t.toStdString() << ": " << p.toStdString();
        }
    }
};

TEST_F(ReorgaTest, RemovesTheBlankFirstRecordAndRebuildsWithTheRebuildKeys)
{
    WorkArea* l = log();
    addQso(l, "EA4ZZ", QDate(2021, 5, 1), "10:00");
    addQso(l, "EA4ZZ", QDate(2019, 5, 1), "10:00");
    addQso(l, "DL1AA", QDate(2020, 5, 1), "10:00");
    l->goTo(4);
    l->lockRecord();
    l->deleteRecord();
    l->unlock();
    ws().closeAll();
    ASSERT_TRUE(reorganise());
    EXPECT_TRUE(msgs.meterTitles.contains("Reorganizando Log EA1XX"));
    EXPECT_TRUE(msgs.meterTitles.contains("Reorganizando Entidades"));
    EXPECT_TRUE(ws().aliases().empty());              // everything is left closed

    l = log();
    EXPECT_EQ(l->recCount(), 2u);                     // blank record and deleted QSO are gone
    l->setOrder("Call");
    EXPECT_EQ(l->orderKeyExpr(), QByteArray("Upper(Call)+DToS(QsoDate)"));
    l->setOrder("PrnQsl");
    EXPECT_EQ(l->orderKeyExpr(), QByteArray("CodEnt+Upper(Call)+DToS(QsoDate)+TimeOn"));
    // a second time the first record has a call, so nothing is lost
    ws().closeAll();
    ASSERT_TRUE(reorganise());
    l = log();
    EXPECT_EQ(l->recCount(), 2u);
    l->setOrder("Call");
    addQso(l, "EA4ZZ", QDate(2020, 5, 1), "10:00");
    l->seek(Value::text(QStringLiteral("EA4ZZ")));
    QStringList dates;
    for (; !l->eof() && l->str("CALL").trimmed() == "EA4ZZ"; l->skip())
        dates << l->date("QSODATE").toString("yyyy");
    EXPECT_EQ(dates, QStringList({"2019", "2020", "2021"}));   // equal calls by date
    ws().closeAll();
    expectEveryTagConsistent();
}

TEST_F(ReorgaTest, CustomTagIsEmptyAndServersAreDisconnected)
{
    WorkArea* l = log();
    addQso(l, "EA4ZZ", QDate(2021, 5, 1));
    l->setOrder("Call");
    l->seek(Value::text(QStringLiteral("EA4ZZ")));
    ASSERT_TRUE(l->keyAdd("Custom").isOk());
    ASSERT_TRUE(NETUSE("Cluster", true, 1, "Cluster"));
    WorkArea* c = ws().area("Cluster");
    c->append();
    c->put("NOMBRE", "local");
    c->put("ON", true);
    c->unlock();
    ws().closeAll();
    ASSERT_TRUE(reorganise());
    l = log();
    l->setOrder("Custom");
    EXPECT_EQ(l->keyCount(), 0u);
    EXPECT_EQ(l->orderKeyExpr(), QByteArray("DToS(QsoDate)+TimeOn"));
    ASSERT_TRUE(NETUSE("Cluster", true, 1, "Cluster"));
    ws().area("Cluster")->goTop();
    EXPECT_FALSE(ws().area("Cluster")->logical("ON"));
}

TEST_F(ReorgaTest, OptionalTablesMayBeMissing)
{
    for (const char* t : {"DplCab", "DplDet", "vhfdb", "wcy", "wwv", "CfgSpot"})
        ws().drop(data + t);
    ASSERT_TRUE(reorganise());
    EXPECT_FALSE(msgs.unexpected());
    for (const QString& line : msgs.log())
        EXPECT_FALSE(line.startsWith("stop:")) << line.toStdString();
}

TEST_F(ReorgaTest, CancelFinishesTheStepAndNamesWhatIsLeft)
{
    WorkArea* l = log();
    for (int i = 0; i < 50; ++i)
        addQso(l, QStringLiteral("EA%1A").arg(i), QDate(2020, 1, 1).addDays(i));
    ws().closeAll();
    msgs.cancelMeterAfter(3);
    EXPECT_FALSE(reorganise());
    const QStringList log = msgs.log();
    ASSERT_FALSE(log.isEmpty());
    EXPECT_TRUE(log.last().startsWith("alert: Reorganización interrumpida")) << log.last().toStdString();
    EXPECT_TRUE(log.last().contains("Log EA1XX"));
    // every index is whole: either rebuilt or as it was
    expectEveryTagConsistent();
}
