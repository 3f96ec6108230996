// The LoTW confirmation import: matching to the minute, what is copied and
// what is left alone, the refusals, cancel, and a randomized run over damaged
// reports that must never touch a QSO the report does not name.
#include "cabrillo_home.h"
#include "interchange/lotw_import.h"

#include <QRandomGenerator>

namespace interchange::testing {
namespace {

QByteArray report(const QByteArray& records)
{
    return "ARRL Logbook of the World Status Report\n<PROGRAMID:4>LoTW\n<APP_LoTW_LASTQSL:19>2024-03-01 10:00:00\n"
           "<eoh>\n" + records;
}

QByteArray rec(const char* call, const char* date, const char* time, const QByteArray& extra = {})
{
    auto tag = [](const char* n, const QByteArray& v) {
        return "<" + QByteArray(n) + ":" + QByteArray::number(v.size()) + ">" + v + "\n";
    };
    return tag("CALL", call) + tag("BAND", "20M") + tag("MODE", "SSB") + tag("QSO_DATE", date) +
           tag("TIME_ON", time) + tag("QSL_RCVD", "Y") + tag("QSLRDATE", "20240215") + extra + "<eor>\n\n";
}

class LotwImportTest : public SessionHome {
protected:
    void SetUp() override
    {
        SessionHome::SetUp();
        if (HasFatalFailure())
            return;
        add({.call = "EA1XX", .date = QDate(2024, 1, 31), .time = "09:30", .freq = 14.2, .mode = "SSB", .cqz = "14"});
        add({.call = "EA1XXX", .date = QDate(2024, 1, 31), .time = "09:30", .freq = 14.2, .mode = "SSB"});
        add({.call = "K1ABC", .date = QDate(2024, 1, 31), .time = "10:00", .freq = 14.2, .mode = "SSB"});
        add({.call = "K1ABC", .date = QDate(2024, 2, 1), .time = "10:00", .freq = 14.2, .mode = "SSB"});
        log->goTop();
        log->lockRecord();
        log->put("GRIDSQUARE", "IN53");
        log->unlock();
    }
    LotwResult run(const QByteArray& bytes, TestMeter* m = nullptr)
    {
        TestMeter own;
        return LOTWIMP(write("lotwreport.adi", bytes), m ? *m : own);
    }
    // The first QSO of call on date (by the call order of LogQsl).
    store::WorkArea* qso(const char* call, const QDate& d)
    {
        store::WorkArea* q = ws().area(QStringLiteral("LogQsl"));
        for (q->goTop(); !q->eof(); q->skip())
            if (q->str("CALL").trimmed() == QLatin1String(call) && q->date("QSODATE") == d)
                return q;
        return nullptr;
    }
};

TEST_F(LotwImportTest, MatchesToTheMinuteAndCountsTheRest)
{
    TestMeter m;
    const LotwResult r = run(report(rec("EA1XX", "20240131", "093015", "<CQZ:1>5\n<ITUZ:2>37\n<STATE:2>LU\n") +
                                    rec("EA1XX", "20240131", "0931")),
                             &m);
    EXPECT_EQ(r.found, 1);
    EXPECT_EQ(r.notFound, 1);
    EXPECT_EQ(m.last, m.total);   // the meter is full behind the counts
    EXPECT_EQ(msgs.take(), QStringList({"info: Se han grabado la información de QSL de 1 registros\r\n1 indicativos no encontrados"}));
    store::WorkArea* q = qso("EA1XX", QDate(2024, 1, 31));
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->str("LOTWRCVD"), "Y");
    EXPECT_EQ(q->date("LOTWRDATE"), QDate(2024, 2, 15));
    EXPECT_EQ(q->str("CQZ"), " 5");
    EXPECT_EQ(q->str("ITUZ"), "37");
    EXPECT_EQ(q->str("CODPRV").trimmed(), "LU");
    EXPECT_EQ(q->str("GRIDSQUARE").trimmed(), "IN53");        // the report gave none
    // The longer call with the same date and time was not touched.
    EXPECT_EQ(qso("EA1XXX", QDate(2024, 1, 31))->str("LOTWRCVD"), " ");
    EXPECT_EQ(m.total, readAll(program + "lotwreport.adi").size());
    EXPECT_TRUE(m.texts.contains("EA1XX"));
    // Log ends on its last record.
    EXPECT_FALSE(log->eof());
}

TEST_F(LotwImportTest, ValuesOfOneRecordDoNotLeakIntoTheNext)
{
    run(report(rec("K1ABC", "20240131", "1000", "<GRIDSQUARE:6>FN42aa\n") + rec("K1ABC", "20240201", "1000")));
    EXPECT_EQ(qso("K1ABC", QDate(2024, 1, 31))->str("GRIDSQUARE").trimmed(), "FN42aa");
    EXPECT_EQ(qso("K1ABC", QDate(2024, 2, 1))->str("GRIDSQUARE").trimmed(), "");
    EXPECT_EQ(qso("K1ABC", QDate(2024, 2, 1))->str("LOTWRCVD"), "Y");
}

// A confirmation once recorded is never lowered: the same QSO reported again
// unconfirmed (uploaded under a second mode) leaves its flag and date alone,
// while an unconfirmed QSO is raised by a later confirmation.
TEST_F(LotwImportTest, AConfirmationIsNeverLowered)
{
    const QByteArray unconfirmed = "<CALL:5>EA1XX<MODE:3>FT8<QSO_DATE:8>20240131<TIME_ON:4>0930<QSL_RCVD:1>N"
                                   "<QSLRDATE:8>20240301<CQZ:2>33<eor>\n";
    LotwResult r = run(report(rec("EA1XX", "20240131", "0930") + unconfirmed));
    EXPECT_EQ(r.found, 2);
    store::WorkArea* q = qso("EA1XX", QDate(2024, 1, 31));
    EXPECT_EQ(q->str("LOTWRCVD"), "Y");
    EXPECT_EQ(q->date("LOTWRDATE"), QDate(2024, 2, 15));
    EXPECT_EQ(q->str("CQZ"), "33");                            // what else the record says still counts
    run(report(unconfirmed));
    EXPECT_EQ(qso("EA1XX", QDate(2024, 1, 31))->str("LOTWRCVD"), "Y");
    EXPECT_EQ(qso("EA1XX", QDate(2024, 1, 31))->date("LOTWRDATE"), QDate(2024, 2, 15));

    const QByteArray k1abc = "<CALL:5>K1ABC<QSO_DATE:8>20240131<TIME_ON:4>1000<QSL_RCVD:1>N<eor>\n";
    run(report(k1abc));
    EXPECT_EQ(qso("K1ABC", QDate(2024, 1, 31))->str("LOTWRCVD"), "N");
    run(report(k1abc + rec("K1ABC", "20240131", "1000")));
    EXPECT_EQ(qso("K1ABC", QDate(2024, 1, 31))->str("LOTWRCVD"), "Y");
    EXPECT_EQ(qso("K1ABC", QDate(2024, 1, 31))->date("LOTWRDATE"), QDate(2024, 2, 15));
}

// A record whose QSO date or time cannot be is refused, counted on a line of its own.
TEST_F(LotwImportTest, ImpossibleDatesAndTimesAreRefused)
{
    const std::vector<QByteArray> before = snapshot();
    const LotwResult r = run(report(rec("K1ABC", "20240231", "1000") + rec("K1ABC", "20240201", "2500") +
                                    rec("EA1XX", "20240131", "09:30") + rec("W1AW", "20240131", "1000")));
    EXPECT_EQ(r.found, 0);
    EXPECT_EQ(r.notFound, 1);
    EXPECT_EQ(r.badDateTime, 3);
    EXPECT_EQ(msgs.take(), QStringList({"info: Se han grabado la información de QSL de 0 registros\r\n"
                                        "1 indicativos no encontrados\r\n"
                                        "3 registros con fecha u hora imposible, descartados"}));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(LotwImportTest, RecordReadingAndZonePadding)
{
    AdiRec r;
    ADIREAD("<call:5>k1abc<QSO_DATE:8:D>20240131<TIME_ON:4>0930<QSL_RCVD:1>y<CQZ:2>14<ITUZ:1>8<STATE:2>MA"
            "<IOTA:6>NA-046<QSLRDATE:8>2024021x",
            &r);
    EXPECT_EQ(r.Call, "K1ABC");
    EXPECT_EQ(r.QSo_Date, QDate(2024, 1, 31));
    EXPECT_EQ(r.Time_on, "09:30");
    EXPECT_EQ(r.Qsl_Rcvd, "Y");
    EXPECT_EQ(r.Cqz, "14");
    EXPECT_EQ(r.ItuZ, " 8");
    EXPECT_EQ(r.State, "MA");
    EXPECT_TRUE(r.Iota.isEmpty());
    EXPECT_FALSE(r.QslRDate.isValid());
    EXPECT_EQ(JUSZ("5"), " 5");
    EXPECT_EQ(JUSZ("05"), "05");
    EXPECT_EQ(JUSZ(""), "");
}

TEST_F(LotwImportTest, RefusedFilesChangeNothing)
{
    const std::vector<QByteArray> before = snapshot();
    TestMeter m;
    EXPECT_FALSE(LOTWIMP(program + "missing.adi", m).ran);
    EXPECT_EQ(msgs.take(), QStringList({"stop: " + program + "missing.adi\r\nFichero no existe"}));
    EXPECT_FALSE(run("no header here " + rec("EA1XX", "20240131", "0930")).ran);
    EXPECT_FALSE(run("<Eoh>" + rec("EA1XX", "20240131", "0930")).ran);
    EXPECT_EQ(msgs.take(), QStringList({"stop: Falta registro de cabecera <EOH>", "stop: Falta registro de cabecera <EOH>"}));
    EXPECT_EQ(snapshot(), before);
    // A write-protected report is read like any other.
    const QString path = write("ro.adi", "<EOH>" + rec("EA1XX", "20240131", "0930"));
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    EXPECT_EQ(LOTWIMP(path, m).found, 1);
}

TEST_F(LotwImportTest, CancelStopsAfterTheCurrentRecordAndStillReports)
{
    TestMeter m;
    m.cancelAfter = 1;
    const LotwResult r = run(report(rec("EA1XX", "20240131", "0930") + rec("K1ABC", "20240131", "1000")), &m);
    EXPECT_EQ(r.found, 1);
    EXPECT_EQ(qso("K1ABC", QDate(2024, 1, 31))->str("LOTWRCVD"), " ");
    EXPECT_EQ(msgs.take().size(), 1);
    EXPECT_LT(m.last, m.total);
}

// Damaged and random reports: the import never crashes or hangs, adds no QSO,
// and changes only QSOs that a record of the report names by call, date and time.
TEST_F(LotwImportTest, RandomizedReportsTouchOnlyNamedQsos)
{
    const QByteArray good = report(rec("EA1XX", "20240131", "093015", "<CQZ:1>5<GRIDSQUARE:4>IN70") +
                                   rec("K1ABC", "20240201", "1000", "<STATE:2>CT") + rec("W1AW", "20240131", "1000"));
    QRandomGenerator rng(20240131);
    const char alphabet[] = "<>:EORHeorh0123456789CALQSO_DTIMN \n\x00\xff";
    for (int i = 0; i < 400; ++i) {
        QByteArray bytes = good;
        const int edits = 1 + int(rng.bounded(12));
        for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
            const int at = int(rng.bounded(bytes.size()));
            switch (rng.bounded(4)) {
            case 0: bytes[at] = alphabet[rng.bounded(int(sizeof alphabet - 1))]; break;
            case 1: bytes.remove(at, int(rng.bounded(20))); break;
            case 2: bytes.insert(at, QByteArray::number(rng.bounded(100000))); break;
            default: bytes.truncate(at); break;
            }
        }
        if (i % 10 == 0) {       // plain noise now and then
            bytes = "<EOH>";
            for (int n = int(rng.bounded(3000)); n > 0; --n)
                bytes += char(rng.bounded(256));
        }
        // K1ABC of 31 January is never named with its time by the good report.
        const std::vector<QByteArray> before = snapshot();
        run(bytes);
        msgs.take();
        const std::vector<QByteArray> after = snapshot();
        ASSERT_EQ(after.size(), before.size()) << "iteration " << i;
        for (size_t r = 0; r < before.size(); ++r) {
            if (before[r] == after[r])
                continue;
            log->goTo(quint32(r + 1));
            const QString call = log->str("CALL").trimmed();
            const QByteArray stamp = log->date("QSODATE").toString("yyyyMMdd").toLatin1();
            const QByteArray time = log->str("TIMEON").remove(':').toLatin1();
            const QByteArray up = bytes.toUpper();
            EXPECT_TRUE(up.contains(call.toLatin1()) && up.contains(stamp) && up.contains(time))
                << "iteration " << i << " changed " << call.toStdString();
        }
    }
}

} // namespace
} // namespace interchange::testing
