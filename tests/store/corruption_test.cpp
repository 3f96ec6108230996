// Damaged and foreign files: a clear error, never a crash or a hang, and the
// files are left exactly as they were.
#include "store_fixture.h"

#include <QFile>
#include <QRandomGenerator>

using namespace store;
using namespace store::testing;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

class CorruptionTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        WorkArea* a = makeTable("t", {{"CALL", 'C', 12}, {"DAY", 'D', 8}, {"NUM", 'N', 5}, {"NOTES", 'M', 10}},
                                {{"CALL", "Upper(Call)", "!Deleted()"}, {"NUM", "Num"}, {"DAY", "Day", "", true}}, false);
        for (int i = 0; i < 400; ++i) {
            a->append();
            a->put("CALL", QStringLiteral("EA%1ZZ").arg(i * 37 % 1000));
            a->put("DAY", QDate(2020, 1, 1).addDays(i));
            a->put("NUM", i);
            if (i % 3 == 0)
                a->putMemo("NOTES", QByteArray(100 + i, 'n'));
            a->unlock();
        }
        ws.closeAll();
        for (const char* ext : {"dbf", "fpt", "cdx"})
            original[ext] = readAll(dir() + "t." + ext);
    }

    // Opens and reads everything the damaged table offers; bounded, whatever the damage.
    Status exercise()
    {
        WorkArea* a = nullptr;
        Status s = ws.use("t", {}, &a);
        if (!s)
            return s;
        Status first;
        auto keep = [&](const Status& st) {
            if (!st && first)
                first = st;
        };
        for (int order = 0; order <= a->tagCount(); ++order) {
            keep(a->setOrder(order));
            int steps = 0;
            for (keep(a->goTop()); !a->eof() && steps < 2000; keep(a->skip()), ++steps) {
                a->value("CALL");
                QByteArray memo;
                keep(a->readMemo("NOTES", &memo));
            }
            for (keep(a->goBottom()); !a->bof() && !a->eof() && steps < 4000; keep(a->skip(-1)), ++steps)
                a->value("DAY");
            if (order > 0)
                keep(a->seek(Value::text(QStringLiteral("EA3"))));
        }
        ws.closeAll();
        return first;
    }

    std::map<QString, QByteArray> original;
};

} // namespace

TEST_F(CorruptionTest, KnownDamageGivesAClearErrorAndTouchesNothing)
{
    struct Case {
        const char* ext;
        std::function<void(QByteArray&)> damage;
        const char* expected;   // part of the message
    } cases[] = {
        {"dbf", [](QByteArray& b) { b.truncate(20); }, "cabecera"},
        {"dbf", [](QByteArray& b) { b[10] = char(b[10] + 1); }, "longitud de registro"},
        {"dbf", [](QByteArray& b) { b.truncate(b.size() - 300); }, "truncado"},
        {"dbf", [](QByteArray& b) { b[0] = char(0x42); }, "tipo de fichero"},
        {"fpt", [](QByteArray& b) { b.truncate(b.size() - 2000); }, "del fichero"},
        {"cdx", [](QByteArray& b) { b[1536 + 2] = char(0x7f); b[1536 + 3] = char(0x7f); }, "fuera del fichero"},
        {"cdx", [](QByteArray& b) { b.truncate(2000); }, "fuera del fichero"},
    };
    for (auto& c : cases) {
        QByteArray bytes = original[c.ext];
        c.damage(bytes);
        writeAll(dir() + "t." + c.ext, bytes);
        Status s = exercise();
        EXPECT_FALSE(s.isOk()) << c.ext << " " << c.expected;
        EXPECT_TRUE(s.message().contains(QString::fromUtf8(c.expected))) << s.text().toStdString();
        EXPECT_EQ(readAll(dir() + "t." + c.ext), bytes) << "the damaged file was changed";
        writeAll(dir() + "t." + c.ext, original[c.ext]);
    }
    EXPECT_TRUE(exercise().isOk());
}

TEST_F(CorruptionTest, MissingFilesAreReportedWithTheSystemError)
{
    QFile::remove(dir() + "t.fpt");
    Status s = ws.use("t", {});
    EXPECT_EQ(s.code(), StatusCode::NotFound);
    EXPECT_EQ(s.osError(), ENOENT);
    s = ws.use(dir() + "missing.dbf", {});
    EXPECT_EQ(s.code(), StatusCode::NotFound);
}

TEST_F(CorruptionTest, RandomDamageNeverCrashesOrHangs)
{
    QRandomGenerator rng(qEnvironmentVariableIsSet("ORLANLOG_FUZZ_SEED") ? quint32(qEnvironmentVariableIntValue("ORLANLOG_FUZZ_SEED")) : 99u);
    const char* exts[] = {"dbf", "fpt", "cdx"};
    for (int round = 0; round < 300; ++round) {
        const char* ext = exts[round % 3];
        QByteArray bytes = original[ext];
        const int kind = int(rng.bounded(4));
        if (kind == 0) {
            bytes.truncate(int(rng.bounded(bytes.size())));
        } else {
            // damage concentrated where the structure lives: headers and page headers
            const int hits = 1 + int(rng.bounded(kind == 3 ? 40 : 6));
            for (int h = 0; h < hits; ++h) {
                int pos;
                if (kind == 1 && QByteArray(ext) == "cdx")
                    pos = int(rng.bounded(bytes.size() / 512)) * 512 + int(rng.bounded(24));
                else if (kind == 1)
                    pos = int(rng.bounded(qMin<qsizetype>(bytes.size(), 200)));
                else
                    pos = int(rng.bounded(bytes.size()));
                bytes[pos] = char(rng.bounded(256));
            }
        }
        writeAll(dir() + "t." + ext, bytes);
        exercise();   // any result, but it must come back
        EXPECT_EQ(readAll(dir() + "t." + ext), bytes) << "round " << round;
        writeAll(dir() + "t." + ext, original[ext]);
    }
}
