#include "store/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

using namespace store;

namespace {

QByteArray cp(const char* utf8) { return cp1252::fromUnicode(QString::fromUtf8(utf8)); }

int sign(int v) { return (v > 0) - (v < 0); }

// Straightforward model of the collation: whole weight strings first, then bytes.
int modelCollate(const QByteArray& a, const QByteArray& b)
{
    std::vector<unsigned short> wa, wb;
    for (char c : a) wa.push_back(cp1252::weight((unsigned char)c));
    for (char c : b) wb.push_back(cp1252::weight((unsigned char)c));
    if (wa != wb)
        return wa < wb ? -1 : 1;
    return sign(std::memcmp(a.constData(), b.constData(), size_t(a.size())));
}

} // namespace

TEST(Codepage, EveryByteSurvivesARoundTrip)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    const QString text = cp1252::toUnicode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(cp1252::fromUnicode(text), all);
}

TEST(Codepage, HighRangeMapsToWindowsCharacters)
{
    const struct { unsigned char byte; char16_t code; } cases[] = {
        {0x80, 0x20AC}, {0x82, 0x201A}, {0x83, 0x0192}, {0x84, 0x201E}, {0x85, 0x2026},
        {0x86, 0x2020}, {0x87, 0x2021}, {0x88, 0x02C6}, {0x89, 0x2030}, {0x8A, 0x0160},
        {0x8B, 0x2039}, {0x8C, 0x0152}, {0x8E, 0x017D}, {0x91, 0x2018}, {0x92, 0x2019},
        {0x93, 0x201C}, {0x94, 0x201D}, {0x95, 0x2022}, {0x96, 0x2013}, {0x97, 0x2014},
        {0x98, 0x02DC}, {0x99, 0x2122}, {0x9A, 0x0161}, {0x9B, 0x203A}, {0x9C, 0x0153},
        {0x9E, 0x017E}, {0x9F, 0x0178},
        // Bytes the code page leaves undefined keep their C1 control.
        {0x81, 0x0081}, {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x9D, 0x009D},
        // Latin-1 range is the identity.
        {0xA0, 0x00A0}, {0xD1, 0x00D1}, {0xF1, 0x00F1}, {0xFF, 0x00FF}, {0x41, 0x0041},
    };
    for (const auto& c : cases) {
        const char b = char(c.byte);
        const QString s = cp1252::toUnicode(&b, 1);
        ASSERT_EQ(s.size(), 1);
        EXPECT_EQ(s.at(0).unicode(), c.code) << "byte " << int(c.byte);
        EXPECT_EQ(cp1252::fromUnicode(QString(QChar(c.code))), QByteArray(1, b)) << "byte " << int(c.byte);
    }
    EXPECT_EQ(cp("€ Ñandú"), QByteArray("\x80 \xD1" "and\xFA"));
}

TEST(Codepage, CharactersOutsideThePageBecomeQuestionMarks)
{
    EXPECT_EQ(cp("a\u0100b"), QByteArray("a?b"));      // Ā
    EXPECT_EQ(cp("x\U0001F600y"), QByteArray("x?y"));  // one '?' for a surrogate pair
    EXPECT_EQ(cp1252::fromUnicode(QString()), QByteArray());
    EXPECT_TRUE(cp1252::toUnicode(QByteArray()).isEmpty());
}

TEST(Codepage, CaseMapping)
{
    EXPECT_EQ(cp1252::upper(cp("ñandú áéíóú üç àèìòù âêîôû ãõ äëïöÿ åæøðþ")),
              cp("ÑANDÚ ÁÉÍÓÚ ÜÇ ÀÈÌÒÙ ÂÊÎÔÛ ÃÕ ÄËÏÖŸ ÅÆØÐÞ"));
    EXPECT_EQ(cp1252::lower(cp("ÑANDÚ ÁÉÍÓÚ ÜÇ ŠŒŽŸ")), cp("ñandú áéíóú üç šœžÿ"));
    EXPECT_EQ(cp1252::upper(cp("šœž")), cp("ŠŒŽ"));
    // No single-letter counterpart, or not letters at all.
    for (const char* same : {"ß", "÷", "×", "µ", "ª", "º", "1", "@", "[", "{", "€"}) {
        EXPECT_EQ(cp1252::upper(cp(same)), cp(same)) << same;
        EXPECT_EQ(cp1252::lower(cp(same)), cp(same)) << same;
    }
    // Every mapping is undone by the opposite one.
    for (int c = 0; c < 256; ++c) {
        const unsigned char u = cp1252::upper((unsigned char)c);
        if (u != c) {
            EXPECT_EQ(cp1252::lower(u), c) << c;
        }
        const unsigned char l = cp1252::lower((unsigned char)c);
        if (l != c) {
            EXPECT_EQ(cp1252::upper(l), c) << c;
        }
    }
}

TEST(Codepage, WeightsPlaceEnyeAfterNAndFoldAccents)
{
    using cp1252::weight;
    const auto w = [](const char* utf8) { return weight((unsigned char)cp(utf8)[0]); };
    EXPECT_GT(w("Ñ"), w("N"));
    EXPECT_LT(w("Ñ"), w("O"));
    EXPECT_GT(w("ñ"), w("n"));
    EXPECT_LT(w("ñ"), w("o"));
    for (const char* a : {"Á", "À", "Â", "Ä", "Ã", "Å"})
        EXPECT_EQ(w(a), w("A")) << a;
    for (const char* a : {"á", "à", "â", "ä", "ã", "å"})
        EXPECT_EQ(w(a), w("a")) << a;
    EXPECT_EQ(w("É"), w("E"));
    EXPECT_EQ(w("Í"), w("I"));
    EXPECT_EQ(w("Ó"), w("O"));
    EXPECT_EQ(w("Ú"), w("U"));
    EXPECT_EQ(w("Ü"), w("U"));
    EXPECT_EQ(w("Ç"), w("C"));
    EXPECT_EQ(w("Ý"), w("Y"));
    EXPECT_EQ(w("ü"), w("u"));
    EXPECT_NE(w("a"), w("A"));   // case is not folded
    // Everything that is not a letter keeps its code order.
    int previous = -1;
    for (int c = 0; c < 256; ++c) {
        const bool letter = cp1252::upper((unsigned char)c) != c || cp1252::lower((unsigned char)c) != c;
        if (letter)
            continue;
        EXPECT_GT(int(weight((unsigned char)c)), previous) << c;
        previous = weight((unsigned char)c);
    }
}

TEST(Codepage, SpanishWordOrder)
{
    std::vector<QByteArray> words;
    for (const char* s : {"OSO", "ÑU", "NUÑO", "NUNEZ", "NUÑEZ", "NZ", "ÁLVAREZ", "ALVARO", "ALVAREZ",
                          "AZ", "BA", "ÉL", "EL", "CAÑA", "CANA", "CAZA", "CÇ"})
        words.push_back(cp(s));
    std::sort(words.begin(), words.end(), [](const QByteArray& a, const QByteArray& b) {
        return cp1252::collate(a, b) < 0;
    });
    std::vector<QByteArray> expected;
    for (const char* s : {"ALVAREZ", "ÁLVAREZ", "ALVARO", "AZ", "BA", "CANA", "CAÑA", "CAZA", "CÇ",
                          "EL", "ÉL", "NUNEZ", "NUÑEZ", "NUÑO", "NZ", "ÑU", "OSO"})
        expected.push_back(cp(s));
    EXPECT_EQ(words, expected);
}

TEST(Codepage, CollateUsesWholeWeightsBeforeBytes)
{
    // The accent only decides between texts that are otherwise equal...
    EXPECT_LT(cp1252::collate(cp("ANO"), cp("ÁNO")), 0);
    EXPECT_GT(cp1252::collate(cp("ÁNO"), cp("ANO")), 0);
    // ...and loses against any later difference of letters.
    EXPECT_LT(cp1252::collate(cp("ÁA"), cp("AB")), 0);
    EXPECT_GT(cp1252::collate(cp("AB"), cp("ÁA")), 0);
    EXPECT_LT(cp1252::collate(cp("Á"), cp("AB")), 0);   // prefix before length
    EXPECT_LT(cp1252::collate(QByteArray("AB"), QByteArray("ABC")), 0);
    EXPECT_GT(cp1252::collate(QByteArray("ABC"), QByteArray("AB")), 0);
    EXPECT_LT(cp1252::collate(QByteArray("AB "), QByteArray("ABC")), 0);
    EXPECT_EQ(cp1252::collate(QByteArray(), QByteArray()), 0);
    EXPECT_EQ(cp1252::collate("ABX", "ABY", 2), 0);      // only `len` bytes count
    EXPECT_LT(cp1252::collate("ABX", "ABY", 3), 0);
    EXPECT_EQ(cp1252::collate("A", "B", 0), 0);
}

TEST(Codepage, CollateIsATotalOrderMatchingTheModel)
{
    std::mt19937 rng(1234);
    // A small alphabet makes equal weights and long common prefixes frequent.
    const QByteArray alphabet = cp("aAáÁàNnÑñOoZz 0~€");
    auto randomText = [&](int len) {
        QByteArray s;
        for (int i = 0; i < len; ++i)
            s.append(rng() % 8 ? alphabet[rng() % alphabet.size()] : char(rng() % 256));
        return s;
    };
    for (int round = 0; round < 20000; ++round) {
        const int len = int(rng() % 12);
        const QByteArray a = randomText(len);
        QByteArray b = a;
        if (len && rng() % 2)
            b[rng() % len] = alphabet[rng() % alphabet.size()];
        else
            b = randomText(len);
        const int r = cp1252::collate(a.constData(), b.constData(), len);
        ASSERT_EQ(sign(r), modelCollate(a, b)) << a.toHex().constData() << " " << b.toHex().constData();
        ASSERT_EQ(sign(r), -sign(cp1252::collate(b.constData(), a.constData(), len)));
        ASSERT_EQ(r == 0, a == b);
        ASSERT_EQ(sign(cp1252::collate(a, b)), sign(r));
    }
    // Transitivity over a sorted sample.
    std::vector<QByteArray> sample;
    for (int i = 0; i < 2000; ++i)
        sample.push_back(randomText(1 + int(rng() % 6)));
    std::sort(sample.begin(), sample.end(), [](const QByteArray& a, const QByteArray& b) {
        return cp1252::collate(a, b) < 0;
    });
    for (size_t i = 0; i + 1 < sample.size(); ++i)
        for (size_t j = i + 1; j < std::min(sample.size(), i + 20); ++j)
            ASSERT_LE(cp1252::collate(sample[i], sample[j]), 0);
}

TEST(Codepage, PrimaryComparisonAgreesWithKeyOrderOnPrefixes)
{
    // Full keys sort accent-blind first, so a leading part compared with the
    // byte tie-break would disagree with the order ("ÁBX" < "ABY" but "ÁB" > "AB").
    const QByteArray x = cp("ÁBX"), y = cp("ABY");
    EXPECT_LT(cp1252::collate(x.constData(), y.constData(), 3), 0);
    EXPECT_GT(cp1252::collate(x.constData(), y.constData(), 2), 0);
    EXPECT_EQ(cp1252::collatePrimary(x.constData(), y.constData(), 2), 0);
    EXPECT_LT(cp1252::collatePrimary(x.constData(), y.constData(), 3), 0);

    std::mt19937 rng(77);
    const QByteArray alphabet = cp("AÁaáBNÑOo ");
    std::vector<QByteArray> keys;
    for (int i = 0; i < 3000; ++i) {
        QByteArray k;
        for (int j = 0; j < 6; ++j)
            k.append(alphabet[rng() % alphabet.size()]);
        keys.push_back(k);
    }
    std::sort(keys.begin(), keys.end(), [](const QByteArray& a, const QByteArray& b) {
        return cp1252::collate(a.constData(), b.constData(), 6) < 0;
    });
    for (size_t i = 0; i + 1 < keys.size(); ++i)
        for (int len = 0; len <= 6; ++len)
            ASSERT_LE(cp1252::collatePrimary(keys[i].constData(), keys[i + 1].constData(), len), 0)
                << keys[i].toHex().constData() << " " << keys[i + 1].toHex().constData() << " " << len;
}
