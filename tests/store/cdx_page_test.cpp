// Leaf pages: the size kept up to date while keys come and go must always be
// the size measured from scratch, and a leaf said to fit must encode and
// decode back to the same entries.
#include "store/cdx_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

using namespace store::cdx;

namespace {

int measuredAfresh(const Node& n, char pad)
{
    Node copy = n;
    copy.storedBytes = -1;
    return leafBytes(copy, pad);
}

} // namespace

TEST(CdxLeaf, SizeKeptInStepWithEveryEdit)
{
    std::mt19937 rng(7);
    for (char pad : {' ', '\0'}) {
        Node n;
        n.keyLen = 10;
        leafBytes(n, pad);   // from here on the size is kept, not measured
        for (int step = 0; step < 20000; ++step) {
            // keys from a small alphabet share prefixes and end in pad bytes
            char key[10];
            const int len = int(rng() % 11);
            for (int i = 0; i < 10; ++i)
                key[i] = i < len ? char('A' + rng() % 3) : pad;
            const quint32 rec = 1 + rng() % (step % 3 == 0 ? 300 : 70000);
            const int op = int(rng() % 10);
            if (n.count() == 0 || op < 5) {
                n.insert(int(rng() % quint32(n.count() + 1)), key, rec);
            } else if (op < 9) {
                n.erase(int(rng() % quint32(n.count())));
            } else {
                n.setKey(int(rng() % quint32(n.count())), key, rec);
            }
            if (n.count() > 60)
                n.erase(0);
            const int kept = leafBytes(n, pad);
            ASSERT_EQ(kept, measuredAfresh(n, pad)) << "step " << step;
            if (kept < 0)
                continue;
            uchar page[kPageSize];
            ASSERT_TRUE(encodeLeaf(n, pad, page));
            Node back;
            ASSERT_TRUE(decode(page, n.keyLen, pad, 0, &back).isOk());
            ASSERT_EQ(back.keys, n.keys);
            ASSERT_EQ(back.recs, n.recs);
        }
    }
}

// A leaf header whose bit widths or masks do not describe its entries is
// refused before any entry is decoded (widths adding up to 64 would shift a
// 64-bit value by its own size).
TEST(CdxLeaf, HeadersThatCannotDescribeTheirEntriesAreRefused)
{
    Node n;
    n.keyLen = 10;
    n.attr = 3;
    n.insert(0, "EA1AAA    ", 1);
    n.insert(1, "EA1AAB    ", 2);
    uchar good[kPageSize];
    ASSERT_TRUE(encodeLeaf(n, ' ', good));
    Node back;
    ASSERT_TRUE(decode(good, 10, ' ', 0, &back).isOk());

    struct Damage {
        const char* what;
        std::vector<std::pair<int, uchar>> bytes;
    };
    const Damage cases[] = {
        {"duplicate bits 64 in 8-byte entries", {{23, 8}, {20, 0}, {21, 64}, {22, 0}, {18, 0xFF}}},
        {"duplicate bits 64", {{21, 64}}},
        {"record bits 0", {{20, 0}}},
        {"record bits 40", {{20, 40}}},
        {"trail bits 9", {{22, 9}}},
        {"entry of 9 bytes", {{23, 9}}},
        {"entry of 0 bytes", {{23, 0}}},
        {"duplicate mask beside its width", {{18, 0xFF}}},
        {"trail mask beside its width", {{19, 0x01}}},
        {"record mask beside its width", {{14, 0x7F}}},
    };
    for (const Damage& d : cases) {
        uchar page[kPageSize];
        std::memcpy(page, good, kPageSize);
        for (auto [offset, value] : d.bytes)
            page[offset] = value;
        Node out;
        const store::Status s = decode(page, 10, ' ', 4096, &out);
        EXPECT_FALSE(s.isOk()) << d.what;
        EXPECT_EQ(s.code(), store::StatusCode::Corrupt) << d.what;
    }
}

// The bulk load fills a leaf as far as LeafFill lets it: that leaf must be one
// the insert path's measure accepts, and the key refused must be the one that
// would not fit.
TEST(CdxLeaf, FillingALeafStopsWhereTheMeasureSaysThePageIsFull)
{
    std::mt19937 rng(7);
    for (const char pad : {' ', '\0'}) {
        for (int keyLen : {4, 10, 33, 120}) {
            const quint32 maxRec = 70000;
            std::vector<QByteArray> keys;
            for (int i = 0; i < 400; ++i) {
                QByteArray k(keyLen, pad);
                const int used = 1 + int(rng() % quint32(keyLen));
                for (int j = 0; j < used; ++j)
                    k[j] = char('A' + rng() % 4);
                keys.push_back(k);
            }
            std::sort(keys.begin(), keys.end());
            Node n;
            n.keyLen = keyLen;
            n.attr = Leaf;
            LeafFill fill(keyLen, pad, maxRec);
            size_t i = 0;
            for (; i < keys.size(); ++i) {
                if (!fill.add(n.count() ? n.key(n.count() - 1) : nullptr, keys[i].constData()))
                    break;
                n.insert(n.count(), keys[i].constData(), i == 0 ? maxRec : quint32(1 + i));
            }
            ASSERT_LT(i, keys.size()) << "keyLen " << keyLen;       // the page did fill up
            ASSERT_GE(measuredAfresh(n, pad), 0) << "keyLen " << keyLen;
            uchar page[kPageSize];
            ASSERT_TRUE(encodeLeaf(n, pad, page));
            n.insert(n.count(), keys[i].constData(), quint32(1 + i));
            EXPECT_EQ(measuredAfresh(n, pad), -1) << "keyLen " << keyLen;
        }
    }
}
