// Several processes on one table: concurrent appends, locks between processes,
// and a writer killed in the middle of its work.
#include "child_process.h"
#include "store_fixture.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSet>

#include <csignal>
#include <poll.h>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

using namespace store;
using namespace store::testing;
using namespace Qt::StringLiterals;

namespace {

class MultiProcessTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        makeTable("shared", logFields(), logTags());
        ws.closeAll();   // children must not inherit open tables
    }

    // Appends count QSOs tagged with the writer's number; 0 on success. A
    // batched writer works like an import: batches of a hundred filled appends.
    int appendQsos(int writer, int count, int reportFd = -1, bool batched = false)
    {
        Workspace w;
        w.setDataDir(dir());
        WorkArea* a = nullptr;
        if (Status s = w.use("shared", {.alias = "Log"}, &a); !s) {
            fprintf(stderr, "writer %d: %s\n", writer, qPrintable(s.text()));
            return 2;
        }
        for (int i = 0; i < count; ++i) {
            const QString key = QStringLiteral("%1%2").arg(writer).arg(i, 6, 10, QLatin1Char('0'));
            auto fill = [&](WorkArea& w) {
                w.put("KEY", key);
                w.put("CALL", QStringLiteral("W%1X%2").arg(writer).arg(i % 97));
                w.put("QSODATE", QDate(2024, 1, 1).addDays((i * 7 + writer) % 365));
                w.put("TIMEON", QStringLiteral("%1:%2").arg(i % 24, 2, 10, QLatin1Char('0')).arg(writer * 10, 2, 10, QLatin1Char('0')));
                w.put("CODENT", QStringLiteral("%1").arg(i % 300, 3));
                return w.put("PRNQSL", i % 5 == 0);
            };
            if (batched && i == 0 && !a->beginBatch())
                return 6;
            Status s;
            for (int tries = 0; (s = batched ? a->append(fill) : a->append()).code() == StatusCode::Busy && tries < 100000;
                 ++tries)
                usleep(100);
            if (!s) {
                fprintf(stderr, "writer %d, append %d: %s\n", writer, i, qPrintable(s.text()));
                return 3;
            }
            if (!batched)
                fill(*a);
            if (!a->unlock())
                return 4;
            if (batched && i % 100 == 99 && !a->renewBatch())
                return 7;
            if (batched && i == count - 1 && !a->endBatch())
                return 7;
            if (reportFd >= 0)
                writeLine(reportFd, key.toLatin1());
            // readers interleaved with the writers: a seek of something just written
            if (i % 50 == 0) {
                a->setOrder("Call");
                a->seek(Value::text(QStringLiteral("W%1X").arg(writer)));
                if (!a->found())
                    return 5;
                a->setOrder("QsoDateTimeOn");
            }
        }
        return 0;
    }
};

} // namespace

TEST_F(MultiProcessTest, FourWritersEndWithEveryRecordInEveryTag)
{
    std::vector<pid_t> kids;
    // two of them append in batches, as an import does
    for (int w = 1; w <= 4; ++w)
        kids.push_back(spawn([this, w] { return appendQsos(w, 2500, -1, w % 2 == 0); }));
    // a fifth process walks the Call order all the while: it must always be in order
    kids.push_back(spawn([this] {
        Workspace w;
        w.setDataDir(dir());
        WorkArea* a = nullptr;
        if (!w.use("shared", {.alias = "Reader"}, &a) || !a->setOrder("Call"))
            return 2;
        for (int round = 0; round < 30; ++round) {
            // every other round as a read-only walk that keeps the index steady
            std::optional<ReadWalk> walk;
            if (round % 2)
                walk.emplace(*a);
            QString prev;
            for (a->goTop(); !a->eof(); a->skip()) {
                const QString call = a->str("CALL");
                if (call < prev)
                    return 6;
                prev = call;
            }
        }
        return 0;
    }));
    for (pid_t k : kids)
        EXPECT_EQ(waitExit(k), 0);

    WorkArea* a = nullptr;
    ASSERT_TRUE(ws.use("shared", {.alias = "Log"}, &a).isOk());
    EXPECT_EQ(a->recCount(), 10000u);
    QSet<QString> keys;
    a->setOrder(0);
    for (a->goTop(); !a->eof(); a->skip())
        keys.insert(a->str("KEY"));
    EXPECT_EQ(keys.size(), 10000);
    expectTagsConsistent(a);
    for (const char* tag : {"QsoDateTimeOn", "Call", "CodEnt", "Band", "Mode"}) {
        a->setOrder(tag);
        EXPECT_EQ(a->keyCount(), 10000u) << tag;
    }
    a->setOrder("PrnQsl");
    EXPECT_EQ(a->keyCount(), 2000u);
}

TEST_F(MultiProcessTest, AReadWalkNeverKeepsAnotherProcessWaitingLongAndSeesItsChanges)
{
    auto appendCall = [](WorkArea* w, const QString& call) {
        return w->append([&](WorkArea& r) { return r.put("CALL", call); });
    };
    int toChild[2], fromChild[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(fromChild), 0);
    // The other process appends twice when told to and says how long it waited;
    // a lock left behind would keep it waiting for ever, so it gives up after a while.
    const pid_t kid = spawn([&] {
        alarm(20);
        Workspace w;
        w.setDataDir(dir());
        WorkArea* b = nullptr;
        if (!w.use("shared", {.alias = "Other"}, &b))
            return 2;
        for (const QString& call : {u"EA4D"_s, u"EA7G"_s}) {
            readLine(toChild[0]);
            QElapsedTimer waited;
            waited.start();
            if (!appendCall(b, call))
                return 3;
            writeLine(fromChild[1], QByteArray::number(waited.elapsed()));
        }
        return 0;
    });

    ::close(toChild[0]);
    ::close(fromChild[1]);
    auto childWaitedMs = [&] {
        const QByteArray line = readLine(fromChild[0]);
        return line.isEmpty() ? qint64(-1) : line.toLongLong();   // -1: it died
    };

    WorkArea* a = nullptr;
    ASSERT_TRUE(ws.use("shared", {.alias = "Log"}, &a).isOk());
    for (const char* call : {"EA1A", "EA3C", "EA5E"})
        ASSERT_TRUE(appendCall(a, QString::fromLatin1(call)).isOk());
    ASSERT_TRUE(a->setOrder("Call").isOk());
    QStringList seen;
    {
        ReadWalk walk(*a);
        ASSERT_TRUE(a->goTop().isOk());
        seen << a->str("CALL").trimmed();
        ASSERT_TRUE(a->skip().isOk());
        seen << a->str("CALL").trimmed();   // the index lock is kept from here on
        writeLine(toChild[1], "append");
        // the walk goes on, slowly, while the other process waits to write
        pollfd answer{fromChild[0], POLLIN, 0};
        for (int i = 0; i < 400 && ::poll(&answer, 1, 5) == 0; ++i)
            ASSERT_TRUE(a->seek(Value::text(u"EA3C"_s)).isOk());
        const qint64 waited = childWaitedMs();
        EXPECT_GE(waited, 0);
        EXPECT_LT(waited, 1000) << "the walk kept the other process waiting";
        // this process writes during its own walk too
        ASSERT_TRUE(appendCall(a, u"EA6F"_s).isOk());
        ASSERT_TRUE(a->seek(Value::text(u"EA3C"_s)).isOk());
        for (a->skip(); !a->eof(); a->skip())
            seen << a->str("CALL").trimmed();
    }
    EXPECT_EQ(seen.join(u' ').toStdString(), "EA1A EA3C EA4D EA5E EA6F");
    // the walk is over and this process does nothing more: nothing of it is left locked
    writeLine(toChild[1], "append");
    const qint64 waited = childWaitedMs();
    EXPECT_GE(waited, 0);
    EXPECT_LT(waited, 1000);
    EXPECT_EQ(waitExit(kid), 0);
}

TEST_F(MultiProcessTest, LocksAndExclusiveUseHoldBetweenProcesses)
{
    WorkArea* a = nullptr;
    ASSERT_TRUE(ws.use("shared", {.alias = "Log"}, &a).isOk());
    ASSERT_TRUE(a->append().isOk());
    ASSERT_TRUE(a->unlock().isOk());
    ws.closeAll();

    int toChild[2], toParent[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(toParent), 0);
    const pid_t kid = spawn([&] {
        Workspace w;
        w.setDataDir(dir());
        WorkArea* b = nullptr;
        if (!w.use("shared", {.alias = "Log"}, &b) || !b->lockRecord())
            return 2;
        writeLine(toParent[1], "locked");
        readLine(toChild[0]);
        b->unlock();
        writeLine(toParent[1], "unlocked");
        readLine(toChild[0]);
        return 0;
    });
    ASSERT_EQ(readLine(toParent[0]), "locked");
    ASSERT_TRUE(ws.use("shared", {.alias = "Log"}, &a).isOk());
    EXPECT_EQ(a->lockRecord().code(), StatusCode::Busy);
    EXPECT_EQ(a->lockTable().code(), StatusCode::Busy);
    EXPECT_TRUE(a->append().isOk());                        // appending is still possible
    a->unlock();
    Workspace other;
    other.setDataDir(dir());
    ws.closeAll();
    EXPECT_EQ(other.use("shared", {.shared = false}).code(), StatusCode::Busy);   // the child has it open
    writeLine(toChild[1], "go");
    ASSERT_EQ(readLine(toParent[0]), "unlocked");
    ASSERT_TRUE(ws.use("shared", {.alias = "Log"}, &a).isOk());
    EXPECT_TRUE(a->lockRecord().isOk());
    EXPECT_EQ(a->recCount(), 2u);
    a->unlock();
    writeLine(toChild[1], "end");
    EXPECT_EQ(waitExit(kid), 0);
    ws.closeAll();
    EXPECT_TRUE(other.use("shared", {.shared = false}).isOk());
}

TEST_F(MultiProcessTest, ABatchKeepsOtherAppendersWaitingAndShowsOnlyWholeRecords)
{
    int toChild[2], toParent[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(toParent), 0);
    const pid_t kid = spawn([&] {
        Workspace w;
        w.setDataDir(dir());
        WorkArea* b = nullptr;
        if (!w.use("shared", {.alias = "Log"}, &b))
            return 2;
        readLine(toChild[0]);       // the parent has the table open too
        if (!b->beginBatch())
            return 2;
        const Status s = b->append([](WorkArea& area) {
            area.put("KEY", QStringLiteral("0000001"));
            return area.put("CALL", QStringLiteral("EA3BATCH"));
        });
        if (!s || !b->unlock())
            return 3;
        writeLine(toParent[1], "appended");
        readLine(toChild[0]);
        if (!b->endBatch())
            return 4;
        writeLine(toParent[1], "ended");
        readLine(toChild[0]);
        return 0;
    });
    WorkArea* a = nullptr;
    ASSERT_TRUE(ws.use("shared", {.alias = "Log"}, &a).isOk());
    ASSERT_TRUE(a->setOrder(0).isOk());       // records only: the index is the batch's until it ends
    writeLine(toChild[1], "open");
    ASSERT_EQ(readLine(toParent[0]), "appended");
    EXPECT_EQ(a->append().code(), StatusCode::Busy);
    // not counted until the batch ends: the count goes to the file after the
    // index pages, so no one sees a record its tags do not have yet
    EXPECT_EQ(a->recCount(), 0u);
    writeLine(toChild[1], "go");
    ASSERT_EQ(readLine(toParent[0]), "ended");
    // counted, and complete
    EXPECT_EQ(a->recCount(), 1u);
    ASSERT_TRUE(a->goTo(1).isOk());
    EXPECT_EQ(a->str("CALL").trimmed(), QStringLiteral("EA3BATCH"));
    EXPECT_EQ(a->str("KEY"), QStringLiteral("0000001"));
    ASSERT_TRUE(a->append().isOk());
    a->put("CALL", QStringLiteral("EA1AFTER"));
    ASSERT_TRUE(a->unlock().isOk());
    ASSERT_TRUE(a->setOrder("Call").isOk());
    a->seek(Value::text(QStringLiteral("EA3BATCH")));
    EXPECT_TRUE(a->found());
    EXPECT_EQ(a->recNo(), 1u);
    writeLine(toChild[1], "end");
    EXPECT_EQ(waitExit(kid), 0);
    expectTagsConsistent(a);
}

TEST_F(MultiProcessTest, AWriterKilledMidwayLosesNothingThatWasAppended)
{
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t kid = spawn([&] {
        ::close(report[0]);
        return appendQsos(7, 1000000, report[1]);
    });
    ::close(report[1]);
    QSet<QByteArray> done;
    while (done.size() < 3000)
        done.insert(readLine(report[0]));
    kill(kid, SIGKILL);
    EXPECT_EQ(waitExit(kid), 128 + SIGKILL);
    for (QByteArray k; !(k = readLine(report[0])).isEmpty();)
        done.insert(k);
    ::close(report[0]);

    WorkArea* a = nullptr;
    Status s = ws.use("shared", {.alias = "Log", .shared = false}, &a);
    ASSERT_TRUE(s.isOk()) << s.text().toStdString();
    ASSERT_TRUE(a->reindex().isOk());
    expectTagsConsistent(a);
    QSet<QByteArray> present;
    a->setOrder(0);
    for (a->goTop(); !a->eof(); a->skip())
        present.insert(a->value("KEY").bytes().trimmed());
    for (const QByteArray& k : done)
        EXPECT_TRUE(present.contains(k)) << k.toStdString();
    EXPECT_GE(present.size(), done.size());
}

TEST_F(MultiProcessTest, ABatchedWriterKilledAtAnyMomentNeverLeavesATagShort)
{
    // An import killed anywhere: in the middle of a batch, or while its index
    // pages are being written. Whoever opens the table next finds every tag
    // whole, or rebuilds it on opening; never one that leaves records out.
    QRandomGenerator random(20240607);
    quint32 before = 0;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        const pid_t kid = spawn([this, round] { return appendQsos(round % 9 + 1, 1000000, -1, true); });
        usleep(random.bounded(3000, 40000));
        kill(kid, SIGKILL);
        EXPECT_EQ(waitExit(kid), 128 + SIGKILL);

        WorkArea* a = nullptr;
        Status s = ws.use("shared", {.alias = "Log"}, &a);
        ASSERT_TRUE(s.isOk()) << s.text().toStdString();
        EXPECT_GE(a->recCount(), before);
        before = a->recCount();
        expectTagsConsistent(a);
        for (const char* tag : {"Call", "QsoDateTimeOn"}) {
            a->setOrder(tag);
            EXPECT_EQ(a->keyCount(), a->recCount()) << tag;
        }
        ws.closeAll();
    }
    EXPECT_GT(before, 0u);
}
