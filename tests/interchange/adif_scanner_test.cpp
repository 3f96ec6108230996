// The ADIF tag scanner on well-formed and damaged record texts.
#include "interchange/adif_scanner.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace interchange;

namespace {

// Every (name, value) pair of a record text, the way the imports walk it.
std::vector<std::pair<QByteArray, QByteArray>> fields(const QByteArray& text)
{
    std::vector<std::pair<QByteArray, QByteArray>> out;
    const int len = int(text.size());
    int pos = 1;
    while (pos <= len && out.size() < 10000) {
        const QByteArray name = ADINOMFLD(text, &pos, len);
        const int n = ADILONFLD(text, &pos, len);
        out.emplace_back(name, text.mid(pos - 1, n));
        pos += n;
    }
    return out;
}

} // namespace

TEST(AdifScanner, ReadsNamesLengthsAndTypes)
{
    const auto f = fields("<CALL:5>EA4ZZ <qso_date:8:D>20240131\r\n<comment:7>a<b>c:d<RST_SENT:2>59");
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0], std::make_pair(QByteArray("CALL"), QByteArray("EA4ZZ")));
    EXPECT_EQ(f[1], std::make_pair(QByteArray("qso_date"), QByteArray("20240131")));   // the type is read and ignored
    EXPECT_EQ(f[2], std::make_pair(QByteArray("comment"), QByteArray("a<b>c:d")));    // data may hold < > :
    EXPECT_EQ(f[3].second, QByteArray("59"));
}

TEST(AdifScanner, OddLengthsNeverReadOutsideTheText)
{
    int pos = 1;
    const QByteArray t = "<NAME:x>abc";
    EXPECT_EQ(ADINOMFLD(t, &pos, int(t.size())), "NAME");
    EXPECT_EQ(ADILONFLD(t, &pos, int(t.size())), 0);
    const auto f = fields("<CALL:99>EA4");     // claims more than there is
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].second, "EA4");
    EXPECT_EQ(ADILONFLD("<A:999999999999>", &(pos = 4), 16), 100000000);
}

TEST(AdifScanner, RandomTextsEndQuickly)
{
    QRandomGenerator rng(5);
    const char alphabet[] = "<>:ABC0123456789 \r\n";
    for (int round = 0; round < 20000; ++round) {
        QByteArray t;
        const int n = int(rng.bounded(80));
        for (int i = 0; i < n; ++i)
            t.append(alphabet[rng.bounded(int(sizeof alphabet) - 1)]);
        const auto f = fields(t);
        EXPECT_LE(f.size(), size_t(n) + 1);
    }
}
