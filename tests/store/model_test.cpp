// Long random sequences of writes checked against a plain in-memory model:
// after every step every tag must hold exactly the keys its records give, and
// walking each order must visit the records in the model's order.
#include "store_fixture.h"

#include "store/codepage.h"

#include <QRandomGenerator>

#include <algorithm>
#include <map>

using namespace store;
using namespace store::testing;

namespace {

struct Row {
    QByteArray call;      // as stored, 40 wide
    QDate day;
    double num = 0;
    QByteArray memo;
    bool deleted = false;
};

QByteArray pad(QByteArray b, int n)
{
    b.truncate(n);
    return b + QByteArray(n - b.size(), ' ');
}

class ModelTest : public StoreTest {
protected:
    QByteArray randomCall()
    {
        static const char* letters = "ABCDEN\xd1\xc1Oxyz0123456789/ ";   // Ñ and Á among them
        const int n = 1 + int(rng.bounded(12));
        QByteArray c;
        for (int i = 0; i < n; ++i)
            c.append(letters[rng.bounded(int(strlen(letters)))]);
        return c;
    }

    // Expected record order of a tag given its key function.
    template <class KeyFn>
    std::vector<quint32> expectedOrder(KeyFn key, bool binary, bool descending)
    {
        std::vector<std::pair<QByteArray, quint32>> v;
        for (auto& [rec, row] : model)
            if (!row.deleted)
                v.emplace_back(key(row), rec);
        std::sort(v.begin(), v.end(), [&](const auto& x, const auto& y) {
            const int c = binary ? memcmp(x.first.constData(), y.first.constData(), size_t(x.first.size()))
                                 : cp1252::collate(x.first.constData(), y.first.constData(), int(x.first.size()));
            return c != 0 ? c < 0 : x.second < y.second;
        });
        std::vector<quint32> out;
        for (auto& p : v)
            out.push_back(p.second);
        if (descending)
            std::reverse(out.begin(), out.end());
        return out;
    }

    std::vector<quint32> walk(bool backwards)
    {
        std::vector<quint32> out;
        if (backwards) {
            for (a->goBottom(); !a->eof() && !a->bof(); a->skip(-1))
                out.insert(out.begin(), a->recNo());
        } else {
            for (a->goTop(); !a->eof(); a->skip())
                out.push_back(a->recNo());
        }
        return out;
    }

    void checkOrders()
    {
        auto upperCallDate = [](const Row& r) {
            return cp1252::upper(r.call) + (r.day.isValid() ? r.day.toString("yyyyMMdd").toLatin1() : QByteArray(8, ' '));
        };
        auto longKey = [](const Row& r) { return cp1252::upper(r.call) + r.call + r.call + r.call + r.call; };
        auto numKey = [](const Row& r) { return numericKeyBytes(r.num); };
        struct Check {
            const char* tag;
            std::vector<quint32> expected;
        } checks[] = {
            {"CALL", expectedOrder(upperCallDate, false, false)},
            {"LONG", expectedOrder(longKey, false, false)},
            {"NUM", expectedOrder(numKey, true, false)},
            {"NUMDESC", expectedOrder(numKey, true, true)},
        };
        for (auto& c : checks) {
            ASSERT_TRUE(a->setOrder(c.tag).isOk());
            ASSERT_EQ(walk(false), c.expected) << c.tag << " forwards, step " << step;
            ASSERT_EQ(walk(true), c.expected) << c.tag << " backwards, step " << step;
        }
    }

    QRandomGenerator rng{20261208};
    std::map<quint32, Row> model;
    WorkArea* a = nullptr;
    int step = 0;
};

} // namespace

TEST_F(ModelTest, RandomWritesKeepEveryTagExact)
{
    a = makeTable("m", {{"CALL", 'C', 40}, {"DAY", 'D', 8}, {"NUM", 'N', 10, 2}, {"NOTES", 'M', 10}},
                  {{"CALL", "Upper(Call)+DToS(Day)", "!Deleted()"},
                   // 200-byte keys: two entries per interior page, so the trees grow deep quickly
                   {"LONG", "Upper(Call)+Call+Call+Call+Call", "!Deleted()"},
                   {"NUM", "Num", "!Deleted()"},
                   {"NUMDESC", "Num", "!Deleted()", true}},
                  false);
    const int steps = 1500;
    for (step = 0; step < steps; ++step) {
        const int op = int(rng.bounded(100));
        if (op < 45 || model.size() < 5) {                          // append
            Row r;
            r.call = pad(randomCall(), 40);
            r.day = rng.bounded(10) ? QDate(2000, 1, 1).addDays(rng.bounded(9000)) : QDate();
            r.num = double(int(rng.bounded(20000)) - 10000) / 4;
            if (rng.bounded(4) == 0)
                r.memo = QByteArray(int(rng.bounded(3000)), char('a' + rng.bounded(26)));
            ASSERT_TRUE(a->append().isOk());
            a->put("CALL", Value::text(r.call));
            a->put("DAY", Value::date(r.day));
            a->put("NUM", r.num);
            if (!r.memo.isEmpty())
                a->putMemo("NOTES", r.memo);
            ASSERT_TRUE(a->unlock().isOk());
            model[a->recNo()] = r;
        } else {
            auto it = model.begin();
            std::advance(it, rng.bounded(int(model.size())));
            const quint32 rec = it->first;
            Row& r = it->second;
            ASSERT_TRUE(a->goTo(rec).isOk());
            ASSERT_EQ(a->value("CALL").bytes(), r.call);
            ASSERT_EQ(a->memo("NOTES"), r.memo);
            if (op < 75) {                                          // change keys
                r.call = pad(rng.bounded(3) ? randomCall() : r.call.left(3), 40);
                r.num = double(int(rng.bounded(200)) - 100);
                a->put("CALL", Value::text(r.call));
                a->put("NUM", r.num);
                if (rng.bounded(3) == 0) {
                    r.memo = QByteArray(int(rng.bounded(5000)), 'm');
                    a->putMemo("NOTES", r.memo);
                }
                ASSERT_TRUE(a->unlock().isOk());
            } else if (op < 90) {                                   // delete or recall
                if (r.deleted)
                    ASSERT_TRUE(a->recall().isOk());
                else
                    ASSERT_TRUE(a->deleteRecord().isOk());
                r.deleted = !r.deleted;
            } else if (op < 97) {                                   // seek what the model holds
                a->setOrder("CALL");
                const QByteArray wanted = cp1252::upper(r.call).left(5);
                a->seek(Value::text(wanted));
                // a prefix matches by letters: accents do not count, Ñ does
                auto letters = [](const QByteArray& s) {
                    QByteArray w;
                    for (char c : s) {
                        const unsigned short x = cp1252::weight(uchar(c));
                        w.append(char(x >> 8)).append(char(x & 0xFF));
                    }
                    return w;
                };
                const QByteArray want = letters(wanted);
                const bool anyLive = std::any_of(model.begin(), model.end(), [&](auto& p) {
                    return !p.second.deleted && letters(cp1252::upper(p.second.call)).startsWith(want);
                });
                ASSERT_EQ(a->found(), anyLive) << "step " << step;
                if (a->found()) {
                    ASSERT_TRUE(letters(cp1252::upper(a->value("CALL").bytes())).startsWith(want));
                }
            } else {                                                // pack: records renumber
                ASSERT_TRUE(a->pack().isOk());
                std::map<quint32, Row> renumbered;
                quint32 n = 0;
                for (auto& [rec, row] : model)
                    if (!row.deleted)
                        renumbered[++n] = row;
                model.swap(renumbered);
            }
        }
        expectTagsConsistent(a);
        if (::testing::Test::HasFailure())
            FAIL() << "tags out of step after step " << step;
        if (step % 50 == 0)
            checkOrders();
    }
    checkOrders();
    EXPECT_EQ(a->recCount(), model.size());
}
