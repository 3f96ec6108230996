// Windows-1252 conversion tables, case mapping and the Spanish collation.

#include "codepage.h"

#include <array>
#include <cstring>

namespace store::cp1252 {

namespace {

// Code points of bytes 0x80..0x9F. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control with the
// same number, so that every byte survives a round trip.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,   // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,   // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,   // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,   // 98..9F
};

constexpr std::array<char16_t, 256> makeToUnicode()
{
    std::array<char16_t, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = char16_t(i);
    for (int i = 0; i < 32; ++i)
        t[0x80 + i] = kHigh[i];
    return t;
}
constexpr auto kToUnicode = makeToUnicode();

// Pairs of (lower, upper) outside ASCII and the regular Latin-1 block.
constexpr unsigned char kExtraCase[][2] = {
    {0x9A, 0x8A},   // š Š
    {0x9C, 0x8C},   // œ Œ
    {0x9E, 0x8E},   // ž Ž
    {0xFF, 0x9F},   // ÿ Ÿ
};

constexpr std::array<unsigned char, 256> makeUpper()
{
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = (unsigned char)i;
    for (int c = 'a'; c <= 'z'; ++c)
        t[c] = (unsigned char)(c - 32);
    // à..þ -> À..Þ, leaving ÷ (and ß, which has no single upper form).
    for (int c = 0xE0; c <= 0xFE; ++c)
        if (c != 0xF7)
            t[c] = (unsigned char)(c - 32);
    for (const auto& p : kExtraCase)
        t[p[0]] = p[1];
    return t;
}

constexpr std::array<unsigned char, 256> makeLower()
{
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = (unsigned char)i;
    for (int c = 'A'; c <= 'Z'; ++c)
        t[c] = (unsigned char)(c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7)
            t[c] = (unsigned char)(c + 32);
    for (const auto& p : kExtraCase)
        t[p[1]] = p[0];
    return t;
}

constexpr auto kUpper = makeUpper();
constexpr auto kLower = makeLower();

// Primary weights: every byte weighs four times its code, which leaves room
// to slot 'Ñ' and 'ñ' in right after 'N' and 'n'. Letters with a diacritic
// take the weight of their base letter, keeping their case.
constexpr std::array<unsigned short, 256> makeWeights()
{
    std::array<unsigned short, 256> w{};
    for (int i = 0; i < 256; ++i)
        w[i] = (unsigned short)(i * 4);

    auto same = [&w](const char* bytes, char base) {
        for (const char* p = bytes; *p; ++p)
            w[(unsigned char)*p] = (unsigned short)((unsigned char)base * 4);
    };
    same("\xC0\xC1\xC2\xC3\xC4\xC5", 'A');   // À Á Â Ã Ä Å
    same("\xC7", 'C');                       // Ç
    same("\xC8\xC9\xCA\xCB", 'E');           // È É Ê Ë
    same("\xCC\xCD\xCE\xCF", 'I');           // Ì Í Î Ï
    same("\xD2\xD3\xD4\xD5\xD6\xD8", 'O');   // Ò Ó Ô Õ Ö Ø
    same("\xD9\xDA\xDB\xDC", 'U');           // Ù Ú Û Ü
    same("\xDD\x9F", 'Y');                   // Ý Ÿ
    same("\x8A", 'S');                       // Š
    same("\x8E", 'Z');                       // Ž
    same("\xE0\xE1\xE2\xE3\xE4\xE5", 'a');
    same("\xE7", 'c');
    same("\xE8\xE9\xEA\xEB", 'e');
    same("\xEC\xED\xEE\xEF", 'i');
    same("\xF2\xF3\xF4\xF5\xF6\xF8", 'o');
    same("\xF9\xFA\xFB\xFC", 'u');
    same("\xFD\xFF", 'y');
    same("\x9A", 's');
    same("\x9E", 'z');
    w[0xD1] = (unsigned short)('N' * 4 + 1);   // Ñ
    w[0xF1] = (unsigned short)('n' * 4 + 1);   // ñ
    return w;
}
constexpr auto kWeight = makeWeights();

// Primary comparison over `len` bytes; `tie` receives the raw byte order of
// the first differing byte (0 when the ranges are identical).
inline int primary(const unsigned char* a, const unsigned char* b, qsizetype len, int& tie)
{
    tie = 0;
    qsizetype i = 0;
    for (;;) {
        while (i < len && a[i] == b[i])
            ++i;
        if (i == len)
            return 0;
        const unsigned short wa = kWeight[a[i]];
        const unsigned short wb = kWeight[b[i]];
        if (wa != wb)
            return wa < wb ? -1 : 1;
        if (!tie)
            tie = a[i] < b[i] ? -1 : 1;
        ++i;
    }
}

} // namespace

QString toUnicode(const char* data, int len)
{
    if (len <= 0)
        return QString();
    QString s(len, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(s.data());
    const unsigned char* in = reinterpret_cast<const unsigned char*>(data);
    for (int i = 0; i < len; ++i)
        out[i] = kToUnicode[in[i]];
    return s;
}

QString toUnicode(const QByteArray& bytes)
{
    return toUnicode(bytes.constData(), int(bytes.size()));
}

QByteArray fromUnicode(const QString& s)
{
    QByteArray out;
    out.reserve(s.size());
    const char16_t* p = reinterpret_cast<const char16_t*>(s.constData());
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i];
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.append(char(c));
            continue;
        }
        char b = '?';
        for (int k = 0; k < 32; ++k) {
            if (kHigh[k] == c) {
                b = char(0x80 + k);
                break;
            }
        }
        // A surrogate pair is one character: one '?' for both halves.
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1]))
            ++i;
        out.append(b);
    }
    return out;
}

unsigned char upper(unsigned char c) { return kUpper[c]; }
unsigned char lower(unsigned char c) { return kLower[c]; }

QByteArray upper(const QByteArray& s)
{
    QByteArray r = s;
    unsigned char* p = reinterpret_cast<unsigned char*>(r.data());
    for (qsizetype i = 0, n = r.size(); i < n; ++i)
        p[i] = kUpper[p[i]];
    return r;
}

QByteArray lower(const QByteArray& s)
{
    QByteArray r = s;
    unsigned char* p = reinterpret_cast<unsigned char*>(r.data());
    for (qsizetype i = 0, n = r.size(); i < n; ++i)
        p[i] = kLower[p[i]];
    return r;
}

int collate(const char* a, const char* b, int len)
{
    if (len <= 0 || std::memcmp(a, b, size_t(len)) == 0)
        return 0;
    int tie;
    const int r = primary(reinterpret_cast<const unsigned char*>(a),
                          reinterpret_cast<const unsigned char*>(b), len, tie);
    return r ? r : tie;
}

int collatePrimary(const char* a, const char* b, int len)
{
    if (len <= 0 || std::memcmp(a, b, size_t(len)) == 0)
        return 0;
    int tie;
    return primary(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b), len, tie);
}

int collate(const QByteArray& a, const QByteArray& b)
{
    const qsizetype na = a.size(), nb = b.size();
    const qsizetype n = na < nb ? na : nb;
    int tie = 0;
    if (n > 0 && std::memcmp(a.constData(), b.constData(), size_t(n)) != 0) {
        const int r = primary(reinterpret_cast<const unsigned char*>(a.constData()),
                              reinterpret_cast<const unsigned char*>(b.constData()), n, tie);
        if (r)
            return r;
    }
    if (na != nb)
        return na < nb ? -1 : 1;
    return tie;
}

unsigned short weight(unsigned char c) { return kWeight[c]; }

} // namespace store::cp1252
