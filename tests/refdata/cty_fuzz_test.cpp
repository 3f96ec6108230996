// Seeded random inputs for the CTY.DAT reader and the import: no crash, no
// hang (every record starts after the one before), sound records only, and
// nothing written outside the prefix table.
#include "refdata/cty_import.h"
#include "core/messages.h"

#include "shipped_home.h"

#include "store/table_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

using namespace refdata;
using refdata::testing::ShippedHome;

namespace {

// Text built mostly from the characters that mean something in the format.
QByteArray randomText(QRandomGenerator& rng, int size)
{
    static const QByteArray alphabet = "::::;;,,,,==()[]<>~~{}#\n\r\n  \tABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/-.*abcVER";
    QByteArray t;
    for (int i = 0; i < size; ++i)
        t += rng.bounded(20) == 0 ? char(rng.bounded(256)) : alphabet[rng.bounded(int(alphabet.size()))];
    return t;
}

// The real file with bytes changed, removed, repeated or cut.
QByteArray mutated(QRandomGenerator& rng, QByteArray t)
{
    for (int n = rng.bounded(1, 20); n > 0 && !t.isEmpty(); --n) {
        const int at = rng.bounded(int(t.size()));
        switch (rng.bounded(4)) {
        case 0: t[at] = char(rng.bounded(256)); break;
        case 1: t.remove(at, rng.bounded(1, 400)); break;
        case 2: t.insert(at, t.mid(rng.bounded(int(t.size())), rng.bounded(1, 200))); break;
        default: t.truncate(at); break;
        }
    }
    return t;
}

// Reads every record and checks what a record may hold.
void readAll(const QByteArray& text)
{
    CtyReader r(text);
    CtyRecord rec;
    qint64 last = -1;
    int count = 0;
    while (r.next(&rec)) {
        ASSERT_GT(rec.offset, last) << "no progress";
        last = rec.offset;
        ASSERT_LE(++count, text.size());
        ASSERT_FALSE(rec.primary.isEmpty());
        ASSERT_FALSE(rec.primary.contains('*'));
        for (const CtyAlias& a : rec.aliases) {
            ASSERT_FALSE(a.prefix.isEmpty());
            for (char c : QByteArrayLiteral("=([<~{,;")) {
                ASSERT_FALSE(a.prefix.contains(c)) << a.prefix.toStdString();
            }
            ASSERT_EQ(a.prefix, a.prefix.toUpper());
            for (char c : a.prefix) {
                ASSERT_TRUE(uchar(c) > 0x20) << a.prefix.toStdString();
            }
            ASSERT_TRUE(a.cqz.isEmpty() || a.cqz.size() == 2);
            ASSERT_TRUE(a.ituz.isEmpty() || a.ituz.size() == 2);
            if (a.hasPosition) {
                ASSERT_TRUE(std::fabs(a.latitude) <= 90 && std::fabs(a.longitude) <= 180);
            }
        }
    }
    ASSERT_EQ(r.position(), text.size());
}

QMap<QString, QByteArray> hashes(const QString& dir)
{
    QMap<QString, QByteArray> h;
    for (const QString& f : QDir(dir).entryList(QDir::Files)) {
        QFile file(dir + f);
        file.open(QIODevice::ReadOnly);
        h[f] = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
    }
    return h;
}

} // namespace

TEST(CtyReaderFuzz, RandomAndMutatedTextsGiveSoundRecordsOnly)
{
    QFile f(QStringLiteral(ORLANLOG_SOURCE_DIR "/data/refdata/cty.dat"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray real = f.readAll();
    QRandomGenerator rng(1912);
    for (int i = 0; i < 3000; ++i)
        ASSERT_NO_FATAL_FAILURE(readAll(randomText(rng, rng.bounded(0, 3000)))) << "case " << i;
    for (int i = 0; i < 150; ++i)
        ASSERT_NO_FATAL_FAILURE(readAll(mutated(rng, real))) << "mutation " << i;
    ASSERT_NO_FATAL_FAILURE(readAll(QByteArray(100000, '#')));
    ASSERT_NO_FATAL_FAILURE(readAll(QByteArray(100000, ':')));
    ASSERT_NO_FATAL_FAILURE(readAll("a:b:c:d:e:f:g:h:" + QByteArray(100000, '(')));
}

class CtyImportFuzz : public ShippedHome {};

TEST_F(CtyImportFuzz, OnlyThePrefixTableEverChanges)
{
    QFile f(source("cty.dat"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray real = f.readAll();
    const auto before = hashes(data);
    QRandomGenerator rng(2010);
    ui::SilentMeter meter;
    for (int i = 0; i < 12; ++i) {
        QByteArray text = i % 3 == 0 ? randomText(rng, rng.bounded(1, 20000)) : mutated(rng, real);
        // records of real entities with random aliases, so that something is written
        if (i % 3 == 1)
            text += "\nSpain: 14: 37: EU: 40.32: 3.43: -1.0: EA:\n" + randomText(rng, 400).replace(';', ',') + ";\n";
        QFile out(program + "fuzz.dat");
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(text);
        out.close();
        CtyImportResult r;
        CTYIMP(meter, false, program + "fuzz.dat", &r);
    }
    ws().closeAll();
    auto after = hashes(data);
    after.remove("PFX.dbf");
    after.remove("PFX.cdx");
    auto expected = before;
    expected.remove("PFX.dbf");
    expected.remove("PFX.cdx");
    EXPECT_EQ(after, expected);

    // the prefix table is sound: its tags match its records, every record has a code
    std::shared_ptr<store::TableFile> t;
    ASSERT_TRUE(store::TableFile::open(data + "PFX.dbf", true, true, &t).isOk());
    std::vector<QString> problems;
    ASSERT_TRUE(t->verify(&problems).isOk());
    EXPECT_TRUE(problems.empty()) << problems.front().toStdString();
    store::WorkArea* p = nullptr;
    ASSERT_TRUE(ws().use("PFX", {.alias = "Pfx", .readOnly = true}, &p).isOk());
    int imported = 0;
    for (p->setOrder(0), p->goTop(); !p->eof(); p->skip()) {
        ASSERT_FALSE(p->str("PFX").trimmed().isEmpty());
        ASSERT_FALSE(p->str("CODENT").trimmed().isEmpty());
        imported += p->logical("CTY");
    }
    EXPECT_GT(imported, 27000);
}
