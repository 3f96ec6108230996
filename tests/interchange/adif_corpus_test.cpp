// Files in the manner of other logging programs (tests/interchange/data): the
// fields this program keeps arrive whole, whatever the other fields around them.
#include "adif_test_support.h"

#include <map>

using namespace interchange;
using namespace interchange::adiftest;

namespace {

class AdifCorpus : public AdifHome {
protected:
    static QString corpus(const char* name)
    {
        return QStringLiteral(ORLANLOG_SOURCE_DIR "/tests/interchange/data/") + QLatin1String(name);
    }
    // Imported QSOs by call.
    std::map<QByteArray, quint32> byCall()
    {
        std::map<QByteArray, quint32> m;
        for (quint32 rec : records()) {
            log()->goTo(rec);
            m[trimmedText("CALL")] = rec;
        }
        return m;
    }
};

TEST_F(AdifCorpus, Adif2CrLfWindows1252LowerCaseTags)
{
    const AdifImportResult r = import(corpus("adif2_crlf_cp1252.adi"));
    EXPECT_EQ(r.imported, 4);
    EXPECT_EQ(r.dropped, 0);
    auto calls = byCall();
    ASSERT_EQ(calls.size(), 4u);

    log()->goTo(calls.at("EA3\xD1OZ"));                        // Ñ kept as the Windows-1252 byte
    EXPECT_EQ(log()->date("QSODATE"), QDate(2023, 4, 15));
    EXPECT_EQ(text("TIMEON"), "14:32");
    EXPECT_EQ(text("TIMEOFF"), "14:40");
    EXPECT_EQ(trimmedText("BAND"), "20M");
    EXPECT_DOUBLE_EQ(log()->num("FREQ"), 14.205);
    EXPECT_EQ(trimmedText("NAME"), "Jos\xE9 \xD1\xFA\xF1" "ez");
    EXPECT_EQ(trimmedText("QTH"), "A Coru\xF1" "a");
    EXPECT_EQ(trimmedText("GRIDSQUARE"), "IN53");
    EXPECT_EQ(text("DXCC"), "281");
    EXPECT_EQ(text("CODENT"), " 89");
    EXPECT_EQ(text("QSLSENT"), "Y");
    EXPECT_EQ(log()->date("QSLSDATE"), QDate(2023, 4, 20));
    EXPECT_EQ(log()->num("TXPWR"), 100);
    EXPECT_EQ(trimmedText("CNTY"), "15030");                    // from the DME comment
    EXPECT_EQ(trimmedText("COMMENT"), "DME 15030 Coru\xF1" "a");
    EXPECT_TRUE(log()->memoText(QStringLiteral("ADDRES")).isEmpty());   // ADDRESS and NOTES are not taken

    log()->goTo(calls.at("K1ABC"));
    EXPECT_EQ(text("TIMEON"), "02:30");
    EXPECT_EQ(trimmedText("CODPRV"), "MA");
    EXPECT_EQ(trimmedText("CNTY"), "MA,MIDDLESEX");
    EXPECT_EQ(text("CODENT"), "251");
    EXPECT_EQ(text("CONT"), "NA");
    EXPECT_EQ(trimmedText("QSLVIA"), "W1XYZ");
    EXPECT_EQ(text("LOTWRCVD"), "Y");
    EXPECT_EQ(log()->date("LOTWRDATE"), QDate(2023, 5, 1));
    EXPECT_EQ(text("EQSLSENT"), "Y");
    EXPECT_EQ(trimmedText("CONTESTID"), "CQ-WPX-CW");
    EXPECT_EQ(trimmedText("SRX"), "123");
    EXPECT_EQ(trimmedText("STX"), "45");
    EXPECT_EQ(trimmedText("IOTA"), "NA-046");
    EXPECT_EQ(log()->num("AGE"), 55);
    EXPECT_EQ(log()->num("TENTEN"), 0);                         // 12345 does not fit the field's 4 digits: left empty
    EXPECT_EQ(log()->num("RXPWR"), 5);
    EXPECT_EQ(trimmedText("PROPMODE"), "F2");
    EXPECT_EQ(trimmedText("PFX"), "K1");

    log()->goTo(calls.at("JA1XYZ"));                          // Mixed-case tags, "<Eor>"
    EXPECT_EQ(text("TIMEON"), "00:05");
    EXPECT_EQ(trimmedText("MODE"), "FT8");
    EXPECT_EQ(trimmedText("JCC"), "1001");
    EXPECT_EQ(trimmedText("JCG"), "10001");
    EXPECT_EQ(trimmedText("SATNAME"), "AO-7");
    EXPECT_EQ(trimmedText("SATMODE"), "U/V");
    EXPECT_EQ(text("QRA"), "IN80DO");
    EXPECT_TRUE(log()->logical("PRNQSL"));
    EXPECT_TRUE(log()->logical("LP"));
    EXPECT_FALSE(trimmedText("BAND").isEmpty());               // from the frequency

    log()->goTo(calls.at("DL1ABC"));
    EXPECT_EQ(trimmedText("CODPRV"), "B36");
    EXPECT_EQ(text("QRA"), "JN49  ");
    EXPECT_EQ(text("EQSLRCVD"), "Y");
    EXPECT_EQ(text("LOTWSENT"), "Y");
}

TEST_F(AdifCorpus, Adif3LfMixedCaseLongComments)
{
    const AdifImportResult r = import(corpus("adif3_lf_mixedcase.adi"));
    EXPECT_EQ(r.imported, 2);
    auto calls = byCall();
    ASSERT_EQ(calls.size(), 2u);
    log()->goTo(calls.at("VE3ABC"));
    EXPECT_EQ(text("TIMEON"), "23:59");
    EXPECT_EQ(text("TIMEOFF"), "00:01");
    EXPECT_EQ(trimmedText("BAND"), "160M");
    EXPECT_DOUBLE_EQ(log()->num("FREQ"), 1.841);               // three decimals kept
    EXPECT_EQ(trimmedText("MODE"), "MFSK");
    EXPECT_EQ(trimmedText("CODPRV"), "ON");
    EXPECT_EQ(text("COMMENT"), "Very long comment Very long co");
    EXPECT_EQ(text("DXCC"), "001");
    EXPECT_EQ(text("QSLSENT"), "R");
    EXPECT_EQ(text("QSLRCVD"), "I");
    log()->goTo(calls.at("VK2DEF"));
    EXPECT_EQ(trimmedText("NAME"), "Bruce");
    EXPECT_EQ(text("CQZ"), "30");
    EXPECT_EQ(text("ITUZ"), "59");
    EXPECT_EQ(text("EQSLSENT"), "Y");
    EXPECT_EQ(text("EQSLRCVD"), "Y");
    EXPECT_EQ(log()->date("QSLRDATE"), QDate(2024, 1, 2).addYears(-100));   // "02-01-24": epoch 1919
}

} // namespace
