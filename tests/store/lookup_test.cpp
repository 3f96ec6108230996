// What look-ups that keep their own image of a table read through: the change
// stamp (moves with every change, made here or by another process) and the
// scans of a tag with its records.
#include "child_process.h"
#include "store_fixture.h"

#include <unistd.h>

using namespace store;
using namespace store::testing;

namespace {

class LookupTest : public StoreTest {
protected:
    // Appends one record with the call in another process.
    void appendElsewhere(const QString& table, const QString& call)
    {
        ws.closeAll();   // the child must not inherit open tables
        const pid_t kid = spawn([&] {
            Workspace w;
            w.setDataDir(dir());
            WorkArea* a = nullptr;
            if (!w.use(table, {.alias = "T"}, &a) || !a->append() || !a->put("CALL", call) || !a->unlock())
                return 2;
            return 0;
        });
        ASSERT_EQ(waitExit(kid), 0);
    }
    WorkArea* reopen(const QString& table)
    {
        WorkArea* a = nullptr;
        EXPECT_TRUE(ws.use(table, {.alias = table}, &a).isOk());
        return a;
    }
    static void add(WorkArea* a, const char* call)
    {
        ASSERT_TRUE(a->append().isOk());
        ASSERT_TRUE(a->put("CALL", call).isOk());
        ASSERT_TRUE(a->unlock().isOk());
    }
};

// One way of a conversation with a child.
struct Pipe {
    int fd[2] = {-1, -1};
    Pipe() { EXPECT_EQ(pipe(fd), 0); }
    int reading() const { return fd[0]; }
    int writing() const { return fd[1]; }
};

const std::vector<FieldSpec> kFields = {{"CALL", 'C', 10, 0}, {"NOTE", 'C', 4, 0}};

} // namespace

TEST_F(LookupTest, TheChangeStampMovesWithEveryChangeHereAndInAnotherProcess)
{
    WorkArea* a = makeTable("calls", kFields, {{"CALL", "CALL", "", false, false, false}});
    add(a, "EA1AA");
    TableFile::ChangeStamp before, now;
    ASSERT_TRUE(a->table().changeStamp(&before).isOk());
    ASSERT_TRUE(a->table().changeStamp(&now).isOk());
    EXPECT_EQ(before, now);                                   // nothing changed: nothing moves

    add(a, "EA2BB");                                           // this process
    ASSERT_TRUE(a->table().changeStamp(&now, false).isOk());
    EXPECT_FALSE(now == before);
    before = now;

    // A change of a field outside every key moves no tag counter and appends nothing.
    ASSERT_TRUE(a->goTop().isOk());
    ASSERT_TRUE(a->lockRecord().isOk());
    ASSERT_TRUE(a->put("NOTE", "x").isOk());
    ASSERT_TRUE(a->unlock().isOk());
    ASSERT_TRUE(a->table().changeStamp(&now).isOk());
    EXPECT_EQ(now, before);

    appendElsewhere("calls", "EA3CC");                         // another process
    a = reopen("calls");
    ASSERT_TRUE(a->table().changeStamp(&before).isOk());
    TableFile::ChangeStamp kept = before;
    appendElsewhere("calls", "EA4DD");
    a = reopen("calls");
    EXPECT_FALSE(a->table().stillAt(kept));
    ASSERT_TRUE(a->table().changeStamp(&now).isOk());
    EXPECT_FALSE(now == kept);
    EXPECT_EQ(now.records, kept.records + 1);
}

TEST_F(LookupTest, TheStampSeesAnotherProcessAppendWhileTheTableStaysOpen)
{
    // Only a custom tag: an append moves no key, so the record count must tell.
    WorkArea* a = makeTable("plain", kFields, {{"MINE", "CALL", "", false, false, true}});
    add(a, "EA1AA");
    TableFile::ChangeStamp before, now;
    ASSERT_TRUE(a->table().changeStamp(&before).isOk());
    // The child opens the table for itself and appends; ours stays open all the time.
    Pipe toChild, toParent;
    const pid_t kid = spawn([&] {
        ws.closeAll();   // what the fork copied of our tables is not the child's
        Workspace w;
        w.setDataDir(dir());
        WorkArea* b = nullptr;
        const bool done = w.use("plain", {.alias = "T"}, &b) && b->append() && b->put("CALL", "EA9ZZ") && b->unlock();
        writeLine(toParent.writing(), done ? "appended" : "failed");
        readLine(toChild.reading());
        return done ? 0 : 2;
    });
    ASSERT_EQ(readLine(toParent.reading()), "appended");
    ASSERT_TRUE(a->table().changeStamp(&now, false).isOk());
    EXPECT_EQ(now, before);                                   // only what this process did
    EXPECT_TRUE(a->table().stillAt(before, false));
    EXPECT_FALSE(a->table().stillAt(before));
    ASSERT_TRUE(a->table().changeStamp(&now).isOk());
    EXPECT_FALSE(now == before);
    EXPECT_TRUE(a->table().stillAt(now));
    EXPECT_EQ(now.records, 2u);
    writeLine(toChild.writing(), "end");
    EXPECT_EQ(waitExit(kid), 0);
}

TEST_F(LookupTest, ATagScanGivesKeysInOrderWithTheirRecordsAndDeletions)
{
    WorkArea* a = makeTable("calls", kFields, {{"CALL", "CALL", "", false, false, false}});
    for (const char* c : {"EA3CC", "EA1AA", "EA2BB", "EA0ZZ"})
        add(a, c);
    ASSERT_TRUE(a->goTo(2).isOk());
    ASSERT_TRUE(a->lockRecord().isOk());
    ASSERT_TRUE(a->deleteRecord().isOk());
    ASSERT_TRUE(a->unlock().isOk());

    CdxTag* t = a->table().tag("call");
    ASSERT_NE(t, nullptr);
    std::vector<std::pair<QByteArray, quint32>> keys;
    ASSERT_TRUE(a->table().tagKeys(t, &keys).isOk());
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys.front(), std::make_pair(QByteArray("EA0ZZ     "), 4u));

    struct Seen { QByteArray key, call; quint32 rec; bool deleted; };
    std::vector<Seen> seen;
    ASSERT_TRUE(a->table().scanTag(t, [&](const TableFile::TagRecord& r) {
        seen.push_back({r.keyBytes(), r.field(0), r.rec, r.deleted});
        return true;
    }).isOk());
    ASSERT_EQ(seen.size(), 4u);
    const quint32 order[] = {4, 2, 3, 1};
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].rec, order[i]);
        EXPECT_EQ(seen[i].key, seen[i].call);                 // the key is the field itself
        EXPECT_EQ(seen[i].deleted, seen[i].rec == 2);
    }
    int visited = 0;
    ASSERT_TRUE(a->table().scanTag(t, [&](const TableFile::TagRecord&) { return ++visited < 2; }).isOk());
    EXPECT_EQ(visited, 2);                                     // false stops the walk
}
