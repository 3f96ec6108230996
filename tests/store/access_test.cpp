// Opening with retries, appends and locks with their questions, scoped
// navigation, QSO keys, and the operations on whole tables.
#include "home_fixture.h"

#include "store/access.h"
#include "store/catalogue.h"

#include <QFile>
#include <QFileInfo>

#include <sys/wait.h>
#include <unistd.h>

using namespace store;
using namespace store::testing;

class AccessTest : public HomeTest {
protected:
    WorkArea* openLog()
    {
        EXPECT_TRUE(NETUSE("LogEA1XX", true, 1, "Log"));
        return ws().area("Log");
    }
};

TEST_F(AccessTest, NetuseReportsErrorsAtOnceAndAsksAboutBusyTables)
{
    EXPECT_FALSE(NETUSE("nothere"));
    EXPECT_EQ(msgs.take(), QStringList({"stop: No pudo abrirse la tabla nothere\r\nel fichero no existe (error 2)"}));

    Workspace other;
    other.setDataDir(data);
    ASSERT_TRUE(other.use("cfg", {.shared = false}).isOk());
    msgs.answer(true);     // retry once more
    msgs.answer(false);    // then give up
    EXPECT_FALSE(NETUSE("cfg", true, 1));
    EXPECT_EQ(msgs.take(), QStringList({"yesNo: No pudo bloquearse \r¿Reintentar? -> yes",
                                        "yesNo: No pudo bloquearse \r¿Reintentar? -> no"}));
    other.closeAll();
    EXPECT_TRUE(NETUSE("cfg"));
    EXPECT_EQ(ws().current()->alias(), "cfg");
}

TEST_F(AccessTest, LocksAskWithSecondsAndWaitWithout)
{
    WorkArea* log = openLog();
    Workspace other;
    other.setDataDir(data);
    WorkArea* holder = nullptr;
    ASSERT_TRUE(other.use("LogEA1XX", {.alias = "h"}, &holder).isOk());
    holder->goTop();
    ASSERT_TRUE(holder->lockTable().isOk());

    ws().select("Log");
    log->goTop();
    msgs.answer(false);
    EXPECT_FALSE(RECLOCK(1));
    EXPECT_EQ(msgs.take(), QStringList({"ask: No se pudo bloquear el registro. ; ¿Reintentar? -> NO"}));
    msgs.answer(false);
    EXPECT_FALSE(ADDREC(1));
    EXPECT_EQ(msgs.take(), QStringList({"ask: No se pudo añadir el registro.;Fichero Bloqueado;¿Reintentar? -> NO"}));
    msgs.answer(false);
    EXPECT_FALSE(FILLOCK(1));
    EXPECT_EQ(msgs.take(), QStringList({"ask: No se pudo bloquear el registro.;¿Reintentar? -> NO"}));

    // Without seconds: no question, it waits until another process lets go.
    other.closeAll();
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    fflush(nullptr);
    const pid_t kid = fork();
    if (kid == 0) {
        Workspace w;
        w.setDataDir(data);
        WorkArea* a = nullptr;
        if (!w.use("LogEA1XX", {.alias = "k"}, &a) || !a->lockTable())
            _exit(2);
        (void)!write(ready[1], "x", 1);
        usleep(400000);
        a->unlock();
        _exit(0);
    }
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    EXPECT_TRUE(RECLOCK());
    EXPECT_TRUE(ADDREC());
    EXPECT_TRUE(msgs.log().isEmpty());
    EXPECT_GT(msgs.pauses(), 0);
    log->unlock();
    int status = 0;
    waitpid(kid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(AccessTest, KeygenFollowsTheLastPhysicalRecord)
{
    WorkArea* log = openLog();
    EXPECT_EQ(KEYGEN(), "0000001");            // the blank first record counts as key 0
    addQso(log, "EA4A", QDate(2020, 1, 1), "10:00", "281", "0000090");
    addQso(log, "EA4B", QDate(2019, 1, 1), "10:00", "281", "0000041");
    log->setOrder("Call");
    log->seek(Value::text(QStringLiteral("EA4A")));
    const quint32 before = log->recNo();
    EXPECT_EQ(KEYGEN(), "0000042");
    EXPECT_EQ(log->recNo(), before);            // position and order come back
    EXPECT_EQ(log->orderName(), QByteArray("CALL"));
    log->goTo(3);
    ASSERT_TRUE(log->lockRecord().isOk());
    ASSERT_TRUE(log->deleteRecord().isOk());
    log->unlock();
    EXPECT_EQ(KEYGEN(), "0000091");             // the last record that is not deleted
}

TEST_F(AccessTest, TwoComputersWithTheSameKeyStillGetDifferentKeys)
{
    openLog();
    const QString shared = KEYGEN();            // both computers prepared their form now
    ws().closeAll();
    int go[2], done[2];
    ASSERT_EQ(pipe(go), 0);
    ASSERT_EQ(pipe(done), 0);
    std::vector<pid_t> kids;
    for (int k = 0; k < 2; ++k) {
        fflush(nullptr);
        const pid_t pid = fork();
        if (pid == 0) {
            ui::ScriptedMessages quiet;
            ui::setMessages(&quiet);
            Workspace::instance().closeAll();
            if (!NETUSE("LogEA1XX", true, 1, "Log"))
                _exit(2);
            char c;
            (void)!read(go[0], &c, 1);
            for (int i = 0; i < 50; ++i) {
                QString key = shared;    // the same key every time, as two forms opened together would have
                if (!ADDQSO(&key))
                    _exit(3);
                Workspace::instance().area("Log")->put("CALL", QStringLiteral("K%1").arg(k));
                Workspace::instance().area("Log")->unlock();
            }
            _exit(0);
        }
        kids.push_back(pid);
    }
    (void)!write(go[1], "xx", 2);
    for (pid_t p : kids) {
        int status = 0;
        waitpid(p, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    WorkArea* log = openLog();
    QSet<QString> keys;
    int qsos = 0;
    log->setOrder(0);
    for (log->goTop(); !log->eof(); log->skip()) {
        if (log->str("CALL").trimmed().isEmpty())
            continue;
        ++qsos;
        keys.insert(log->str("KEY"));
    }
    EXPECT_EQ(qsos, 100);
    EXPECT_EQ(keys.size(), 100);
    EXPECT_TRUE(keys.contains(shared));
}

TEST_F(AccessTest, ScopedNavigationCountsItsMoves)
{
    WorkArea* log = openLog();
    addQso(log, "A1", QDate(2020, 1, 1), "10:00", "280");
    addQso(log, "A2", QDate(2020, 1, 1), "10:00", "281");
    addQso(log, "A3", QDate(2020, 1, 2), "10:00", "281");
    addQso(log, "A4", QDate(2020, 1, 3), "10:00", "281");
    addQso(log, "A5", QDate(2020, 1, 1), "10:00", "282");
    log->setOrder("CodEnt");
    const Value scope = Value::text(QStringLiteral("281"));
    BOTFIL("Log", scope);
    EXPECT_EQ(log->str("CALL").trimmed(), "A4");         // not the "282" after it
    EXPECT_EQ(SKIPFIL("Log", scope, 5), 0);              // last of the scope: stays
    EXPECT_EQ(log->str("CALL").trimmed(), "A4");
    TOPFIL("Log", scope);
    EXPECT_EQ(log->str("CALL").trimmed(), "A2");
    EXPECT_EQ(SKIPFIL("Log", scope, 5), 2);              // only two more in scope
    EXPECT_EQ(log->str("CALL").trimmed(), "A4");
    EXPECT_EQ(SKIPFIL("Log", scope, -1), -1);
    EXPECT_EQ(log->str("CALL").trimmed(), "A3");
    EXPECT_EQ(SKIPFIL("Log", scope, -5), -1);
    EXPECT_EQ(log->str("CALL").trimmed(), "A2");
    EXPECT_EQ(SKIPFIL("Log", scope, 0), 0);
    log->seek(Value::text(QStringLiteral("282")));
    EXPECT_EQ(SKIPFIL("Log", scope, 1), 0);              // outside the scope: no move
    EXPECT_EQ(log->str("CALL").trimmed(), "A5");
}

TEST_F(AccessTest, EmptinessRules)
{
    EXPECT_TRUE(VACIO(Value::text(QStringLiteral("000"))));
    EXPECT_TRUE(VACIO(Value::text(QStringLiteral("   "))));
    EXPECT_FALSE(VACIO(Value::text(QStringLiteral(" 0 7"))));
    EXPECT_TRUE(VACIO(Value::number(0)));
    EXPECT_FALSE(VACIO(Value::number(7)));
    EXPECT_TRUE(VACIO(Value::date(QDate(2020, 1, 1))));   // a date is always empty here
    EXPECT_TRUE(VACIO(Value::logical(true)));
    EXPECT_TRUE(NOVACIO(Value::text(QStringLiteral("000"))));   // "000" is not blank
    EXPECT_FALSE(NOVACIO(Value::date(QDate())));
    EXPECT_FALSE(NOVACIO(Value::logical(false), "Falta el dato"));
    EXPECT_EQ(msgs.take(), QStringList({"stop: Campo obligatorio, no puede quedar en blanco", "stop: Falta el dato"}));
    EXPECT_EQ(ULTIMA(Value::text(QStringLiteral("281"))).bytes(), "282");
    EXPECT_EQ(ULTIMA(Value::number(4)).toNumber(), 5);
    EXPECT_EQ(ULTIMA(Value::date(QDate(2020, 2, 28))).toDate(), QDate(2020, 2, 29));
}

TEST_F(AccessTest, CryptRepairsOnlyTheSubstituteTypeBytes)
{
    auto setFirstByte = [&](const QString& name, uchar b) {
        QFile f(data + name);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write(reinterpret_cast<const char*>(&b), 1);
    };
    auto firstByte = [&](const QString& name) {
        QFile f(data + name);
        f.open(QIODevice::ReadOnly);
        return uchar(f.read(1).at(0));
    };
    setFirstByte("Band.dbf", 254);
    setFirstByte("Modo.dbf", 255);
    setFirstByte("Propa.dbf", 253);
    const QString list = CRYPT();
    EXPECT_EQ(firstByte("Band.dbf"), 131);
    EXPECT_EQ(firstByte("Modo.dbf"), 3);
    EXPECT_EQ(firstByte("Propa.dbf"), 245);
    EXPECT_EQ(firstByte("cfg.dbf"), 3);
    EXPECT_TRUE(list.contains("Band.dbf       254\r\n"));
    EXPECT_TRUE(list.contains("cfg.dbf         3\r\n"));
}

TEST_F(AccessTest, DeletingABookRemovesItsTablesAndRecord)
{
    ASSERT_TRUE(CRTLOG("EA2ZZ"));
    ASSERT_TRUE(QFileInfo::exists(data + "LogEA2ZZ.dbf"));
    ASSERT_TRUE(NETUSE("libros", true, 1, "LibBrw"));
    WorkArea* lib = ws().area("LibBrw");
    lib->append();
    lib->put("NOMBRE", "EA2ZZ");
    lib->unlock();
    ASSERT_TRUE(lib->lockRecord().isOk());
    bool reopened = false;
    hooks().reopenSession = [&] { reopened = true; };
    DLTLOG("EA2ZZ", true);
    hooks().reopenSession = nullptr;
    EXPECT_TRUE(reopened);
    EXPECT_FALSE(QFileInfo::exists(data + "LogEA2ZZ.dbf"));
    EXPECT_FALSE(QFileInfo::exists(data + "LogEA2ZZ.cdx"));
    EXPECT_FALSE(QFileInfo::exists(data + "AttachEA2ZZ.dbf"));
    EXPECT_FALSE(QFileInfo::exists(data + "DplEA2ZZ.dbf"));
    EXPECT_TRUE(QFileInfo::exists(data + "LogEA1XX.dbf"));
    ASSERT_TRUE(NETUSE("libros", true, 1, "LibBrw"));
    EXPECT_EQ(ws().area("LibBrw")->keyCount(), 1u);
}

TEST_F(AccessTest, OnlyTableLogIsBare)
{
    ASSERT_TRUE(CRTLOG("EA3YY", true));
    EXPECT_TRUE(QFileInfo::exists(data + "LogEA3YY.dbf"));
    EXPECT_FALSE(QFileInfo::exists(data + "LogEA3YY.cdx"));
    EXPECT_FALSE(QFileInfo::exists(data + "AttachEA3YY.dbf"));
    ASSERT_TRUE(NETUSE("LogEA3YY"));
    EXPECT_EQ(ws().current()->recCount(), 0u);
}

TEST_F(AccessTest, StructureChangeCarriesTheRecordsOver)
{
    ASSERT_TRUE(NETUSE("Modo", true, 1));
    WorkArea* m = ws().current();
    m->append();
    m->put("CODMOD", "SSB");
    m->put("MODO", QStringLiteral("Banda lateral"));
    m->put("DIG", false);
    m->unlock();
    ws().closeAll();
    // the new structure: MODO wider, RSTDEF gone, a new field
    ASSERT_TRUE(TableFile::create(program + "Modo.dbf", {{"CODMOD", 'C', 6}, {"MODO", 'C', 30}, {"CLUSIN", 'L', 1},
                                                         {"DIG", 'L', 1}, {"NOTA", 'M', 10}}).isOk());
    ASSERT_TRUE(CHGDBF("Modo"));
    EXPECT_FALSE(QFileInfo::exists(program + "Modo.dbf"));
    ASSERT_TRUE(NETUSE("Modo"));
    m = ws().current();
    EXPECT_EQ(m->field(1).len, 30);
    EXPECT_EQ(m->fieldPos("RSTDEF"), -1);
    m->goTop();
    EXPECT_EQ(m->str("MODO").trimmed(), "Banda lateral");
    EXPECT_TRUE(QFileInfo::exists(data + "Modo.fpt"));
}
