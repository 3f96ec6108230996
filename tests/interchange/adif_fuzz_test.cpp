// Randomized files through the ADIF reader: it must end, never crash, and
// write nothing but the QSOs it reports as imported.
#include "adif_test_support.h"

#include <QElapsedTimer>

#include <random>

using namespace interchange;
using namespace interchange::adiftest;

namespace {

class AdifFuzz : public AdifHome {};

QByteArray mutate(std::mt19937& rng, QByteArray s)
{
    static const QByteArray pieces[] = {"<", ">", ":", "<EOR>", "<eor>", "<EOH>", "<CALL:", "99999999999>", ":D>",
                                        "<QSO_DATE:8>", "<DXCC:", "<TIME_ON:1>", "\r\n", QByteArray(1, '\0'),
                                        "<FREQ:20>99999999999999999999", "<AGE:3>-99", "<TX_PWR:9>123456789"};
    const int edits = 1 + int(rng() % 12);
    for (int e = 0; e < edits && !s.isEmpty(); ++e) {
        const int at = int(rng() % s.size());
        switch (rng() % 5) {
        case 0: s[at] = char(rng() % 256); break;
        case 1: s.remove(at, 1 + int(rng() % 20)); break;
        case 2: s.insert(at, pieces[rng() % std::size(pieces)]); break;
        case 3: s.truncate(at); break;
        default: s.insert(at, QByteArray(int(rng() % 40), char(rng() % 256))); break;
        }
    }
    return s;
}

TEST_F(AdifFuzz, RandomFilesEndAndWriteOnlyWhatTheyCount)
{
    addQso(log(), QStringLiteral("EA1KEEP"), QDate(2020, 5, 5), QStringLiteral("10:00"), QStringLiteral(" 89"),
           QStringLiteral("0000001"));
    const quint32 kept = log()->recNo();
    const QByteArray seed =
        "head <EOH>\r\n<CALL:5>EA1AA<QSO_DATE:8:D>20240131<TIME_ON:6>093000<FREQ:6>14.195<DXCC:3>281"
        "<COMMENT:9>a<b>c<d>e<CQZ:1>5<APP_ORLANLOG_LP:1>1<APP_WL32_QSLIN:10>R 15-02-14<EOR>\r\n"
        "<call:5>EA1AB<Band:3>40m<eor>\n<CALL:4>K1AA<NAME:4>\xD1o\xF1o<EOR> tail";
    std::mt19937 rng(20240131);
    store::WorkArea* a = log();
    for (int i = 0; i < 400; ++i) {
        const QByteArray data = mutate(rng, seed);
        const quint32 before = a->recCount();
        QElapsedTimer t;
        t.start();
        const AdifImportResult r = importText(data, i % 2 == 0);
        EXPECT_LT(t.elapsed(), 5000) << i;
        EXPECT_EQ(a->recCount(), before + quint32(r.imported)) << i;
        msgs.take();
    }
    // The QSO that was there before is untouched.
    a->setOrder(0);
    a->goTo(kept);
    EXPECT_EQ(a->str(QStringLiteral("CALL")).trimmed(), QStringLiteral("EA1KEEP"));
    EXPECT_EQ(a->date(QStringLiteral("QSODATE")), QDate(2020, 5, 5));
    EXPECT_EQ(a->str(QStringLiteral("KEY")), QStringLiteral("0000001"));
}

} // namespace
