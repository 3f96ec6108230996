// The input shapes that once cost time growing with the square of their size,
// checked here for their results (their times are in bench/quadratic_bench):
// a LoTW report whose last record has no end marker, a Cabrillo log with many
// END-OF-LOG markers, and the duplicate test over many QSOs of few calls.
#include "cabrillo_home.h"
#include "interchange/adif_import.h"
#include "interchange/cabrillo_import.h"
#include "interchange/lotw_import.h"

#include <QRandomGenerator>

#include <set>
#include <tuple>

namespace interchange::testing {
namespace {

struct Contact {
    QByteArray call;
    QDateTime when;
    bool operator<(const Contact& o) const { return std::tie(call, when) < std::tie(o.call, o.when); }
};

// count contacts of a handful of calls over a few days, to the minute; some repeat.
std::vector<Contact> contacts(QRandomGenerator& rng, int count)
{
    const char* calls[] = {"K1ABC", "EA8AAA", "DL1XX", "K1AB"};
    std::vector<Contact> out;
    for (int i = 0; i < count; ++i) {
        const QDateTime t = QDateTime(QDate(2023, 5, 1), QTime(0, 0)).addSecs(qint64(rng.bounded(3 * 24 * 60)) * 60);
        out.push_back({calls[rng.bounded(int(std::size(calls)))], t});
    }
    return out;
}

QByteArray adifOf(const std::vector<Contact>& cs)
{
    QByteArray b = "<EOH>\n";
    for (const Contact& c : cs)
        b += "<CALL:" + QByteArray::number(c.call.size()) + ">" + c.call + "<QSO_DATE:8>" +
             c.when.toString(QStringLiteral("yyyyMMdd")).toLatin1() + "<TIME_ON:4>" +
             c.when.toString(QStringLiteral("HHmm")).toLatin1() + "<BAND:3>20M<MODE:2>CW<EOR>\n";
    return b;
}

QByteArray cabrilloOf(const std::vector<Contact>& cs)
{
    QByteArray b = "START-OF-LOG: 3.0\nCONTEST: CQ-WW-CW\n";
    for (const Contact& c : cs)
        b += "QSO: 14025 CW " + c.when.toString(QStringLiteral("yyyy-MM-dd HHmm")).toLatin1() + " EA1XX 599 14 " + c.call + " 599 05\n";
    return b + "END-OF-LOG:\n";
}

class LinearShapes : public SessionHome {
protected:
    int adif(const QByteArray& text, bool dup)
    {
        AdifImportOptions o;
        o.path = write("in.adi", text);
        o.dupCheck = dup;
        TestMeter m;
        const AdifImportResult r = ADIFIMP(m, o);
        EXPECT_TRUE(r.complete);
        return r.imported;
    }
    int cabrillo(const QByteArray& text, bool dup)
    {
        CabrilloImportOptions o;
        o.path = write("in.cbr", text);
        o.checkDuplicates = dup;
        TestMeter m;
        bool complete = false;
        const int n = CBRIMP(o, m, nullptr, &complete);
        EXPECT_TRUE(complete);
        return n;
    }
    // The book's QSOs as (call, date and minute).
    std::multiset<Contact> book()
    {
        std::multiset<Contact> out;
        for (log->goTop(); !log->eof(); log->skip())
            if (!log->deleted() && !log->str("CALL").trimmed().isEmpty())
                out.insert({log->str("CALL").trimmed().toLatin1(),
                            QDateTime(log->date("QSODATE"), QTime::fromString(log->str("TIMEON"), QStringLiteral("HH:mm")))});
        return out;
    }
};

// Whatever repeats, each (call, date, minute) comes in once, in both formats,
// and a second run of the same file adds nothing.
TEST_F(LinearShapes, TheDuplicateTestKeepsOneQsoPerCallAndMinute)
{
    QRandomGenerator rng(20240611);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        std::vector<Contact> cs = contacts(rng, 150);
        const std::set<Contact> distinct(cs.begin(), cs.end());
        const std::multiset<Contact> before = book();
        const bool asAdif = round % 2 == 0;
        const QByteArray text = asAdif ? adifOf(cs) : cabrilloOf(cs);
        const int first = asAdif ? adif(text, true) : cabrillo(text, true);
        std::multiset<Contact> now = book();
        // what the earlier rounds stored is not stored again
        int fresh = 0;
        for (const Contact& c : distinct)
            fresh += before.count(c) ? 0 : 1;
        EXPECT_EQ(first, fresh);
        for (const Contact& c : distinct)
            EXPECT_EQ(now.count(c), 1u) << c.call.constData() << ' ' << c.when.toString().toStdString();
        EXPECT_EQ(asAdif ? adif(text, true) : cabrillo(text, true), 0);
    }
    // without the test every line comes in
    const std::vector<Contact> cs = contacts(rng, 60);
    EXPECT_EQ(adif(adifOf(cs), false), int(cs.size()));
}

// A report whose last record lacks its end marker applies the records before it
// and nothing of the tail, however long.
TEST_F(LinearShapes, ALotwReportWithoutItsLastEndMarkerAppliesTheRecordsBeforeIt)
{
    QRandomGenerator rng(7);
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        ws().closeAll();
        ASSERT_TRUE(store::ABREDBF());
        log = ws().area(QStringLiteral("Log"));
        const std::vector<Contact> cs = contacts(rng, 5 + rng.bounded(20));
        for (const Contact& c : cs)
            add({.call = QString::fromLatin1(c.call), .date = c.when.date(), .time = c.when.toString(QStringLiteral("HH:mm")),
                 .freq = 14.025, .mode = "CW"});
        QByteArray report = "<PROGRAMID:4>LoTW\n<eoh>\n";
        const int closed = rng.bounded(int(cs.size()));
        std::set<Contact> confirmed;
        for (int i = 0; i < closed; ++i) {
            report += "<CALL:" + QByteArray::number(cs[size_t(i)].call.size()) + ">" + cs[size_t(i)].call + "<QSO_DATE:8>" +
                      cs[size_t(i)].when.toString(QStringLiteral("yyyyMMdd")).toLatin1() + "<TIME_ON:4>" +
                      cs[size_t(i)].when.toString(QStringLiteral("HHmm")).toLatin1() + "<QSL_RCVD:1>Y<eor>\n";
            confirmed.insert(cs[size_t(i)]);
        }
        // the tail: a record that never ends, and text that looks like records
        const Contact& open = cs.back();
        report += "<CALL:" + QByteArray::number(open.call.size()) + ">" + open.call + "<QSO_DATE:8>" +
                  open.when.toString(QStringLiteral("yyyyMMdd")).toLatin1() + "<QSL_RCVD:1>Y\n";
        for (int i = rng.bounded(2000); i > 0; --i)
            report += "<CALL:5>K1ABC<QSL_RCVD:1>Y ";
        TestMeter m;
        const LotwResult r = LOTWIMP(write("lotw.adi", report), m);
        EXPECT_TRUE(r.complete);
        EXPECT_EQ(r.found, closed);
        EXPECT_EQ(r.notFound, 0);
        for (log->goTop(); !log->eof(); log->skip()) {
            const Contact c{log->str("CALL").trimmed().toLatin1(),
                            QDateTime(log->date("QSODATE"), QTime::fromString(log->str("TIMEON"), QStringLiteral("HH:mm")))};
            if (!confirmed.count(c)) {
                EXPECT_NE(log->str("LOTWRCVD"), QStringLiteral("Y")) << c.call.constData();
            }
        }
        for (log->goTop(); !log->eof(); log->skip()) {
            log->lockRecord();
            log->deleteRecord();
            log->unlock();
        }
    }
}

// Any number of END-OF-LOG markers, anywhere after the QSOs: every QSO line comes
// in once, and nothing after the last one is taken for a QSO.
TEST_F(LinearShapes, RepeatedEndOfLogMarkersEndTheLogOnce)
{
    QRandomGenerator rng(99);
    int total = 0;
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        std::vector<Contact> cs = contacts(rng, 1 + rng.bounded(30));
        QByteArray text = cabrilloOf(cs);
        for (int i = rng.bounded(3000); i > 0; --i)
            text += rng.bounded(2) ? "END-OF-LOG:\n" : "end-of-log: EA1XX 599\n";
        CabrilloImportOptions o;
        o.path = write("in.cbr", text);
        TestMeter m;
        QString message;
        bool complete = false;
        EXPECT_EQ(CBRIMP(o, m, &message, &complete), int(cs.size()));
        EXPECT_TRUE(complete);
        EXPECT_EQ(message, QStringLiteral("Se han importado %1 registros").arg(cs.size()));
        total += int(cs.size());
    }
    EXPECT_EQ(int(book().size()), total);
}

} // namespace
} // namespace interchange::testing
