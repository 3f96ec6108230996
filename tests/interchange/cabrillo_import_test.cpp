// The Cabrillo import: the fields of a QSO line, mode codes, short and long
// lines, the file-level edge cases, duplicates, and randomized files.
#include "cabrillo_home.h"
#include "interchange/cabrillo_export.h"
#include "interchange/cabrillo_import.h"
#include "interchange/text_search.h"
#include "refdata/bands.h"

#include <QRandomGenerator>

namespace interchange::testing {
namespace {

const QByteArray kHead = "START-OF-LOG: 3.0\r\nCONTEST: CQ-WW-CW\r\nCALLSIGN: EA1XX\r\n";

class CabrilloImportTest : public SessionHome {
protected:
    int run(const QByteArray& bytes, bool dup = false, TestMeter* m = nullptr)
    {
        CabrilloImportOptions o;
        o.path = write("in.cbr", bytes);
        o.operatorCall = QStringLiteral("ea9op");
        o.locator = QStringLiteral("in53xx");
        o.checkDuplicates = dup;
        TestMeter own;
        return CBRIMP(o, m ? *m : own);
    }
    // Visible QSOs of the book by call.
    QStringList calls()
    {
        QStringList out;
        store::WorkArea* q = ws().area(QStringLiteral("LogQsl"));
        for (q->goTop(); !q->eof(); q->skip())
            out << q->str("CALL").trimmed();
        return out;
    }
    store::WorkArea* find(const char* call)
    {
        store::WorkArea* q = ws().area(QStringLiteral("LogQsl"));
        for (q->goTop(); !q->eof(); q->skip())
            if (q->str("CALL").trimmed() == QLatin1String(call))
                return q;
        return nullptr;
    }
};

TEST(MarkerSearch, NearestOfTwoSpellings)
{
    const QByteArray text = "xx qso: a QSO: b qso:END-OF-LOG:";
    EXPECT_EQ(nearestOf(text, "QSO:", "qso:", 0), 3);
    EXPECT_EQ(nearestOf(text, "QSO:", "qso:", 4), 10);
    EXPECT_EQ(nearestOf(text, "QSO:", "qso:", 11), 17);
    EXPECT_EQ(nearestOf(text, "QSO:", "qso:", 18), -1);
    EXPECT_EQ(nearestOf(text, "END-OF-LOG:", "end-of-log:", 0), 21);
    EXPECT_EQ(nearestOf(text, "Qso:", "qSO:", 0), -1);          // only the two spellings given
    EXPECT_EQ(nearestOf("QSO", "QSO:", "qso:", 0), -1);          // a marker cut by the end
    EXPECT_EQ(nearestOf(text, "QSO:", "qso:", 999), -1);
}

TEST_F(CabrilloImportTest, QsoLineFillsEveryFieldAndTheEntity)
{
    ASSERT_EQ(run(kHead + "QSO:  7050 CW 2024-10-26 0930 EA1XX 599 14 K1ABC 599 05\r\nEND-OF-LOG:\r\n"), 1);
    EXPECT_EQ(msgs.take(), QStringList({"info: Se han importado 1 registros"}));
    store::WorkArea* q = find("K1ABC");
    ASSERT_NE(q, nullptr);
    EXPECT_DOUBLE_EQ(q->num("FREQ"), 7.05);
    EXPECT_EQ(q->str("BAND").trimmed(), refdata::BAND(7.05));
    EXPECT_EQ(q->str("MODE").trimmed(), "CW");
    EXPECT_EQ(q->date("QSODATE"), QDate(2024, 10, 26));
    EXPECT_EQ(q->str("TIMEON"), "09:30");
    EXPECT_EQ(q->str("OPERATOR").trimmed(), "EA1XX");
    EXPECT_EQ(q->str("RSTSENT"), "599");
    EXPECT_EQ(q->str("STX").trimmed(), "14");
    EXPECT_EQ(q->str("RSTRCVD"), "599");
    EXPECT_EQ(q->str("SRX").trimmed(), "05");
    EXPECT_EQ(q->str("QSLSENT"), "N");
    EXPECT_EQ(q->str("QSLRCVD"), "N");
    EXPECT_EQ(q->str("QRA").trimmed(), "IN53XX");
    EXPECT_EQ(q->str("PFX").trimmed(), "K1");
    EXPECT_EQ(q->str("CODENT"), codeOf("291"));
    EXPECT_EQ(q->str("DXCC"), "291");
    EXPECT_EQ(q->str("CONT"), "NA");
    EXPECT_EQ(q->str("CQZ"), " 5");
    EXPECT_EQ(q->str("KEY").size(), 7);
}

TEST_F(CabrilloImportTest, ModeCodesAndFrequencyColumns)
{
    EXPECT_EQ(cabrilloMode("PH"), "SSB");
    EXPECT_EQ(cabrilloMode("ph"), "SSB");
    EXPECT_EQ(cabrilloMode("RT"), "RTTY");
    EXPECT_EQ(cabrilloMode("RY"), "RTTY");
    EXPECT_EQ(cabrilloMode("FM"), "FM");
    EXPECT_DOUBLE_EQ(cabrilloFreq("14195"), 14.195);
    EXPECT_DOUBLE_EQ(cabrilloFreq("144"), 144.0);
    EXPECT_DOUBLE_EQ(cabrilloFreq("1.2G"), 1240.0);
    EXPECT_DOUBLE_EQ(cabrilloFreq("abc"), 0.0);
    EXPECT_DOUBLE_EQ(cabrilloFreq("99999999999"), 0.0);
}

TEST_F(CabrilloImportTest, ShortAndLongLines)
{
    // Fewer than ten tokens: only what is there.
    CabrilloQso q = parseCabrilloQso(" 14195 PH 2024-10-26 0930 EA1XX 59\r\nQSO");
    EXPECT_EQ(q.tokens, 6);
    EXPECT_EQ(q.mode, "SSB");
    EXPECT_EQ(q.rstSent, "59");
    EXPECT_TRUE(q.call.isEmpty());
    // The transmitter number of an eleventh token changes nothing.
    q = parseCabrilloQso(" 7050 CW 2024-10-26 0930 EA1XX 599 14 K1ABC 599 05 0");
    EXPECT_EQ(q.call, "K1ABC");
    EXPECT_EQ(q.srx, "05");
    // Our own CQ-WW-RTTY line: three exchange tokens each way and the transmitter number.
    q = parseCabrilloQso(" 14085 RY 2024-10-26 0930 EA1XX         599 14  DX  K1ABC         599 05  MA  0");
    EXPECT_EQ(q.mode, "RTTY");
    EXPECT_EQ(q.call, "K1ABC");
    EXPECT_EQ(q.rstRcvd, "599");
    EXPECT_EQ(q.srx, "05");
    EXPECT_EQ(q.codPrv, "MA");
    q = parseCabrilloQso(" 14085 RY 2024-10-26 0930 EA1XX 599 14 DX EA4ZZ 599 14 DX 0");
    EXPECT_EQ(q.call, "EA4ZZ");
    EXPECT_TRUE(q.codPrv.isEmpty());
}

// Tokens trailing the received exchange do not move the call; a line whose call
// column holds no call, or whose date or time cannot be, is refused and counted.
TEST_F(CabrilloImportTest, CallColumnAndImpossibleDatesAndTimes)
{
    CabrilloQso q = parseCabrilloQso(" 14195 PH 2024-10-26 0930 EA1XX 59 14 K1ABC 59 05 tnx 73");
    EXPECT_EQ(q.call, "K1ABC");
    EXPECT_EQ(q.rstRcvd, "59");
    EXPECT_EQ(q.srx, "05");
    EXPECT_FALSE(q.badDateTime);
    // A longer exchange each way, with a locator that looks like a call in it.
    q = parseCabrilloQso(" 144 PH 2024-10-26 0930 EA1XX 59 001 IN73DM K1ABC 59 002 FN42AA");
    EXPECT_EQ(q.call, "K1ABC");
    EXPECT_EQ(q.srx, "002");
    // A report alone each way.
    q = parseCabrilloQso(" 14000 CW 2024-10-26 0930 EA1XX 599 K1ABC 599");
    EXPECT_EQ(q.call, "K1ABC");
    EXPECT_EQ(q.rstRcvd, "599");
    EXPECT_TRUE(q.stx.isEmpty());
    EXPECT_TRUE(parseCabrilloQso(" 14195 PH 2024-02-30 0930 EA1XX 59 14 K1ABC 59 05").badDateTime);
    EXPECT_TRUE(parseCabrilloQso(" 14195 PH 2024-10-26 0960 EA1XX 59 14 K1ABC 59 05").badDateTime);

    const QByteArray file = kHead +
                            "QSO: 14195 PH 2024-10-26 0930 EA1XX 59 14 K1AAA 59 05 tnx 73\r\n"
                            "QSO: 14195 PH 2024-10-26 0931 EA1XX 59 14 12345 59 05\r\n"
                            "QSO: 14195 PH 2024-10-26 0932 EA1XX 59 14 59 05\r\n"
                            "QSO: 14195 PH 2024-13-45 0933 EA1XX 59 14 K1DDD 59 05\r\n"
                            "QSO: 14195 PH 2024-10-26 2599 EA1XX 59 14 K1EEE 59 05\r\n"
                            "END-OF-LOG:";
    const size_t records = snapshot().size();
    ASSERT_EQ(run(file), 1);
    EXPECT_EQ(msgs.take(), QStringList({"info: Se han importado 1 registros\r\n"
                                        "2 registros con fecha u hora imposible, descartados\r\n"
                                        "2 registros sin indicativo válido, descartados"}));
    EXPECT_EQ(calls(), QStringList({"K1AAA"}));
    EXPECT_EQ(find("K1AAA")->str("SRX").trimmed(), "05");
    EXPECT_EQ(snapshot().size(), records + 1);
}

TEST_F(CabrilloImportTest, FileEdgeCases)
{
    // Lower-case markers, a header line after a short QSO line that must not be
    // read as its exchange, and a last QSO with no "END-OF-LOG:" after it.
    const QByteArray file = kHead +
                            "qso: 14195 PH 2024-10-26 0930 EA1XX 59 14 K1AAA 59 05\r\n"
                            "QSO: 14195 PH 2024-10-26 0931 EA1XX 59 14 K1BBB\r\n"
                            "SOAPBOX: 100 W\r\n"
                            "QSO: 14195 PH 2024-10-26 0932 EA1XX 59 14 K1CCC 59 05";
    ASSERT_EQ(run(file), 3);
    EXPECT_EQ(calls(), QStringList({"K1AAA", "K1BBB", "K1CCC"}));
    EXPECT_EQ(find("K1BBB")->str("RSTRCVD"), "   ");
    EXPECT_EQ(find("K1AAA")->str("MODE").trimmed(), "SSB");
    // Lines without call add nothing, not even a deleted placeholder.
    const size_t records = snapshot().size();
    EXPECT_EQ(run(kHead + "QSO: 14195 PH 2024-10-26 0930\r\nQSO:\r\nEND-OF-LOG:"), 0);
    EXPECT_EQ(snapshot().size(), records);
}

TEST_F(CabrilloImportTest, RefusalsLeaveTheBookAlone)
{
    add({.call = "EA4ZZ", .date = QDate(2024, 1, 1), .time = "10:00"});
    const std::vector<QByteArray> before = snapshot();
    CabrilloImportOptions o;
    o.path = program + "missing.cbr";
    TestMeter m;
    EXPECT_EQ(CBRIMP(o, m), -1);
    EXPECT_EQ(run(kHead + "END-OF-LOG:"), -1);
    EXPECT_EQ(msgs.take(), QStringList({"stop: " + program + "missing.cbr\r\nFichero no existe",
                                        "stop: No se ha encontrado ningún registro para importar"}));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(CabrilloImportTest, DuplicatesOperatorAndCancel)
{
    const QByteArray file = kHead + "QSO: 7050 CW 2024-10-26 0930 EA1XX 599 14 K1ABC 599 05\r\n"
                                    "QSO: 7050 CW 2024-10-26 0930 EA1XX 599 14 K1ABC 599 05\r\n"
                                    "QSO: 7050 CW 2024-10-26 0931 EA1XX 599 14 K1ABC 599 05\r\nEND-OF-LOG:";
    EXPECT_EQ(run(file, true), 2);
    EXPECT_EQ(run(file, true), 0);
    EXPECT_EQ(msgs.take().last(), "info: Se han importado 0 registros");
    TestMeter whole;
    EXPECT_EQ(run(file, false, &whole), 3);
    EXPECT_EQ(whole.last, whole.total);   // the meter is full behind the count
    EXPECT_EQ(calls().size(), 5);

    TestMeter m;
    m.cancelAfter = 1;
    EXPECT_EQ(run(file, false, &m), 1);
    EXPECT_EQ(msgs.take().last(), "info: Se han importado 1 registros");
    EXPECT_LT(m.last, m.total);
}

TEST_F(CabrilloImportTest, WhatTheExportWritesImportsBack)
{
    add({.call = "K1ABC", .date = QDate(2024, 10, 26), .time = "09:30", .freq = 14.085, .band = "20M", .mode = "RTTY",
         .rstSent = "599", .rstRcvd = "599", .srx = "05", .codprv = "MA"});
    CabrilloExport e;
    e.header.createdBy = "Orlan Win Log 1.92";
    e.header.contest = "CQ-WW-RTTY";
    e.header.call = "EA1XX";
    e.path = program + "out.cbr";
    ASSERT_EQ(writeCabrillo(e), 1);
    CabrilloImportOptions o;
    o.path = e.path;
    o.checkDuplicates = true;
    TestMeter m;
    EXPECT_EQ(CBRIMP(o, m), 0);          // the same QSO: a duplicate
    o.checkDuplicates = false;
    EXPECT_EQ(CBRIMP(o, m), 1);
    EXPECT_EQ(calls(), QStringList({"K1ABC", "K1ABC"}));
}

// Random damage: never a crash or a hang; records already there stay as they
// were; every QSO added is visible and has a call.
TEST_F(CabrilloImportTest, RandomizedFilesOnlyAppend)
{
    add({.call = "EA4ZZ", .date = QDate(2024, 1, 1), .time = "10:00", .freq = 7.1, .mode = "SSB"});
    const QByteArray good = kHead + "QSO:  7050 CW 2024-10-26 0930 EA1XX 599 14 K1ABC 599 05\r\n"
                                    "QSO: 14085 RY 2024-10-26 0930 EA1XX 599 14 DX K1ABC 599 05 MA 0\r\n"
                                    "QSO:   144 PH 2024-10-26 0930 EA1XX 59 14 K1ABC 59 05\r\nEND-OF-LOG:";
    QRandomGenerator rng(7050);
    const char alphabet[] = "QSOqso:-ENDLG0123456789 \r\n\t\x00\xff";
    for (int i = 0; i < 300; ++i) {
        QByteArray bytes = good;
        for (int e = 1 + int(rng.bounded(10)); e > 0 && !bytes.isEmpty(); --e) {
            const int at = int(rng.bounded(bytes.size()));
            switch (rng.bounded(4)) {
            case 0: bytes[at] = alphabet[rng.bounded(int(sizeof alphabet - 1))]; break;
            case 1: bytes.remove(at, int(rng.bounded(30))); break;
            case 2: bytes.insert(at, QByteArray::number(rng.bounded(Q_INT64_C(1) << 40))); break;
            default: bytes.truncate(at); break;
            }
        }
        if (i % 10 == 0) {
            bytes = "QSO:";
            for (int n = int(rng.bounded(2000)); n > 0; --n)
                bytes += char(rng.bounded(256));
        }
        const std::vector<QByteArray> before = snapshot();
        run(bytes, i % 2 == 0);
        msgs.take();
        const std::vector<QByteArray> after = snapshot();
        ASSERT_GE(after.size(), before.size());
        for (size_t r = 0; r < before.size(); ++r)
            ASSERT_EQ(after[r], before[r]) << "iteration " << i << " changed record " << r + 1;
        for (size_t r = before.size(); r < after.size(); ++r) {
            log->goTo(quint32(r + 1));
            EXPECT_FALSE(log->eof()) << "iteration " << i;
            EXPECT_FALSE(log->str("CALL").trimmed().isEmpty()) << "iteration " << i;
        }
    }
}

} // namespace
} // namespace interchange::testing
