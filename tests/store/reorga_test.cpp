// The reorganisation: deleted records gone, every tag rebuilt with its rebuild
// key, the blank first record of a new book removed, cancellation between steps.
#include "child_process.h"
#include "home_fixture.h"

#include "store/access.h"
#include "store/reorga.h"

#include <QDir>
#include <QFile>

#include <map>

#include <sys/mount.h>

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

    // Every file of the data directory.
    std::map<QString, QByteArray> files()
    {
        std::map<QString, QByteArray> out;
        for (const QString& f : QDir(data).entryList(QDir::Files)) {
            QFile in(data + f);
            EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << f.toStdString();
            out[f] = in.readAll();
        }
        return out;
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

TEST_F(ReorgaTest, AnotherProcessWithTheLogOpenStopsItBeforeAnythingChanges)
{
    WorkArea* l = log();
    for (int i = 0; i < 30; ++i)
        addQso(l, QStringLiteral("EA%1B").arg(i), QDate(2022, 1, 1).addDays(i));
    ws().closeAll();
    int toChild[2], toParent[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(toParent), 0);
    // an import in another process: the log open, batches of appends once told to go
    const pid_t kid = spawn([&] {
        Workspace w;
        w.setDataDir(data);
        WorkArea* a = nullptr;
        if (!w.use("LogEA1XX", {.alias = "Log"}, &a))
            return 2;
        writeLine(toParent[1], "open");
        readLine(toChild[0]);
        for (int i = 0; i < 300; ++i) {
            if (i % 100 == 0 && !a->beginBatch())
                return 3;
            if (!a->append([i](WorkArea& q) { return q.put("CALL", QStringLiteral("K%1IMP").arg(i)); }) || !a->unlock())
                return 4;
            if (i % 100 == 99 && !a->endBatch())
                return 5;
        }
        return 0;
    });
    ASSERT_EQ(readLine(toParent[0]), "open");
    const auto before = files();
    EXPECT_FALSE(reorganise());
    const QString said = msgs.log().join('\n');
    EXPECT_TRUE(said.contains("LogEA1XX")) << said.toStdString();
    EXPECT_TRUE(files() == before) << "files changed";
    writeLine(toChild[1], "go");
    EXPECT_EQ(waitExit(kid), 0);
    // the import went on as if nothing had happened, and afterwards the reorganisation runs
    expectEveryTagConsistent();
    ASSERT_TRUE(reorganise()) << msgs.log().join('\n').toStdString();
    l = log();
    EXPECT_EQ(l->recCount(), 330u);
    l->setOrder("Call");
    EXPECT_EQ(l->keyCount(), 330u);
}

TEST_F(ReorgaTest, AFullDiskOrAReadOnlyHomeLeavesEveryTableAsItWas)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a small file system needs root";
    QTemporaryDir mountPoint;
    ASSERT_TRUE(mountPoint.isValid());
    const QByteArray where = QFile::encodeName(mountPoint.path());
    if (::mount("tmpfs", where.constData(), "tmpfs", 0, "size=4m") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
    } unmount{where};
    // the home on the small file system, with a log that does not fit twice
    const QString home = mountPoint.path() + "/";
    data = home + "datos/";
    ASSERT_TRUE(createHome(home, data, "EA1XX").isOk());
    ws().setDataDir(data);
    WorkArea* l = log();
    ASSERT_TRUE(l->beginBatch().isOk());
    for (int i = 0; i < 2500; ++i)
        ASSERT_TRUE(l->append([i](WorkArea& q) {
            q.put("CALL", QStringLiteral("EA%1FULL").arg(i));
            return q.put("QSODATE", QDate(2020, 1, 1).addDays(i % 900));
        }).isOk());
    ASSERT_TRUE(l->endBatch().isOk());
    ws().closeAll();
    {
        QFile filler(home + "filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(64 * 1024, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    QFile(home + "filler").resize(QFile(home + "filler").size() - 96 * 1024);   // room for the small tables only
    const auto before = files();

    EXPECT_FALSE(reorganise());
    EXPECT_TRUE(msgs.log().join('\n').contains("LogEA1XX")) << msgs.log().join('\n').toStdString();
    EXPECT_TRUE(files().size() == before.size()) << "files left behind";
    const auto after = files();
    for (const char* f : {"LogEA1XX.dbf", "LogEA1XX.cdx"})
        EXPECT_TRUE(after.at(f) == before.at(f)) << f;
    expectEveryTagConsistent();

    // read-only: nothing can be written, nothing changes
    msgs.take();
    const auto sound = files();
    ASSERT_EQ(::mount("tmpfs", where.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=4m"), 0);
    EXPECT_FALSE(reorganise());
    EXPECT_TRUE(files() == sound);
    ASSERT_EQ(::mount("tmpfs", where.constData(), "tmpfs", MS_REMOUNT, "size=4m"), 0);

    // with room again it runs, and the book is whole
    QFile::remove(home + "filler");
    msgs.take();
    ASSERT_TRUE(reorganise()) << msgs.log().join('\n').toStdString();
    l = log();
    EXPECT_EQ(l->recCount(), 2500u);
    l->setOrder("Call");
    EXPECT_EQ(l->keyCount(), 2500u);
    ws().closeAll();
    expectEveryTagConsistent();
}
