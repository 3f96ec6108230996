// The ADIF export: the record layout byte for byte, the header, the selection,
// the print-queue export with its marking, and the round trip through the import.
#include "adif_test_support.h"

#include "interchange/adif_export.h"

using namespace interchange;
using namespace interchange::adiftest;
using store::Value;

namespace {

class AdifExport : public AdifHome {
protected:
    static void addFull(const QString& call, const QDate& d, const char* time, const char* band = "20M",
                        const char* qslr = "N", bool prn = false)
    {
        store::WorkArea* a = log();
        ASSERT_TRUE(a->append().isOk());
        a->put("CALL", call);
        a->put("QSODATE", d);
        a->put("TIMEON", time);
        a->put("BAND", band);
        a->put("QSLRCVD", qslr);
        a->put("PRNQSL", prn);
        ASSERT_TRUE(a->unlock().isOk());
    }
    static QByteArray readAll(const QString& path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    // The record lines of an exported file.
    static QList<QByteArray> recordLines(const QByteArray& file)
    {
        const qsizetype h = file.indexOf("<EOH>\r\n");
        return file.mid(h + 7).split('\n').mid(1);
    }
};

TEST_F(AdifExport, TheExampleRecordByteForByte)
{
    store::WorkArea* a = log();
    ASSERT_TRUE(a->append().isOk());
    a->put("BAND", "20M");
    a->put("CALL", "EA1XX");
    a->put("FREQ", 14.195);
    a->put("MODE", "SSB");
    a->put("QSODATE", QDate(2024, 1, 31));
    a->put("TIMEON", "09:30");
    a->put("DXCC", "281");
    a->put("COMMENT", "   ");
    ASSERT_TRUE(a->unlock().isOk());
    EXPECT_EQ(adifRecord(*a, QStringLiteral("ORLANLOG")),
              "<BAND:3>20M<CALL:5>EA1XX<FREQ:6>14.195<MODE:3>SSB<QSO_DATE:8>20240131<TIME_ON:6>093000<DXCC:3>281<EOR>");

    a->lockRecord();
    a->put("COMMENT", "  two blanks");
    a->put("CQZ", " 5");
    a->put("FREQ", 7.05);
    a->put("TXPWR", 100);
    a->put("LP", true);
    a->put("PRNQSL", true);
    a->put("TIMEOFF", " 9:05");
    a->put("QSLMODE", "B");
    a->unlock();
    EXPECT_EQ(adifRecord(*a, QStringLiteral("ORLANLOG")),
              "<BAND:3>20M<CALL:5>EA1XX<COMMENT:10>two blanks<CQZ:1>5<FREQ:5>7.050<MODE:3>SSB<QSO_DATE:8>20240131"
              "<TIME_OFF:6>090500<TIME_ON:6>093000<TX_PWR:3>100<DXCC:3>281<QSL_SENT_VIA:1>B"
              "<APP_ORLANLOG_LP:1>1<APP_ORLANLOG_PRNQSL:1>1<EOR>");
}

TEST_F(AdifExport, HeaderLines)
{
    const QByteArray h = adifHeader({}, QDateTime(QDate(2024, 1, 31), QTime(9, 30, 5)));
    const QList<QByteArray> lines = h.split('\n');
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[0], "Exportacion a Formato ADIF de Orlan Win Log 1.92\r");
    EXPECT_EQ(lines[3], "Exportaci\xF3n generada 31-01-24 09:30:05\r");   // Windows-1252
    EXPECT_EQ(lines[4], "\r");
    EXPECT_EQ(lines[5], "\r");
    EXPECT_EQ(lines[6], "<ADIF_VER:3>2.0\r");
    EXPECT_EQ(lines[7], "<PROGRAMID:8>ORLANLOG\r");
    EXPECT_EQ(lines[8], "<EOH>\r");
    EXPECT_EQ(lines[9], "");
}

TEST_F(AdifExport, DateRangeAndQslChoices)
{
    addFull(QStringLiteral("EA1AA"), QDate(2024, 1, 30), "23:59", "20M", "Y");
    addFull(QStringLiteral("EA1AB"), QDate(2024, 1, 31), "00:00", "40M", "N");
    addFull(QStringLiteral("EA1AC"), QDate(2024, 1, 31), "23:59", "20M", "Y");
    addFull(QStringLiteral("EA1AD"), QDate(2024, 2, 1), "00:00", "20M", "R");
    const QString path = program + QStringLiteral("out.adi");

    log()->setOrder(QStringLiteral("Call"));
    AdifSelection sel;
    sel.from = QDate(2024, 1, 31);
    EXPECT_EQ(ADIFEXP(path, sel, {}).exported, 2);
    QByteArray file = readAll(path);
    EXPECT_TRUE(file.endsWith("<EOR>"));                       // no line break after the last line
    EXPECT_EQ(file.count("\n"), file.count("\r\n"));
    QList<QByteArray> lines = recordLines(file);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("<CALL:5>EA1AB"));
    EXPECT_TRUE(lines[1].contains("<CALL:5>EA1AC"));
    EXPECT_EQ(msgs.log().last(), QStringLiteral("info: Exportacion completa"));
    EXPECT_EQ(log()->orderName().toUpper(), "CALL");        // the order it had

    sel = {};
    sel.qslRcvd = QStringLiteral("SI");
    EXPECT_EQ(ADIFEXP(path, sel, {}).exported, 2);
    sel.qslRcvd = QStringLiteral("NO");                        // not received: "N", "R", blank ...
    EXPECT_EQ(ADIFEXP(path, sel, {}).exported, 2);
    lines = recordLines(readAll(path));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].contains("EA1AD"));
    sel = {};
    sel.band = QStringLiteral("40M");
    EXPECT_EQ(ADIFEXP(path, sel, {}).exported, 1);
    sel = {};
    sel.from = QDate(2024, 1, 30);
    sel.to = QDate(2024, 2, 1);
    EXPECT_EQ(ADIFEXP(path, sel, {}).exported, 4);
}

TEST_F(AdifExport, QueueExportAndMarking)
{
    addFull(QStringLiteral("EA1AA"), QDate(2024, 1, 30), "10:00", "20M", "N", true);
    addFull(QStringLiteral("EA1AB"), QDate(2024, 1, 31), "10:00", "20M", "N", false);
    addFull(QStringLiteral("EA1AC"), QDate(2024, 1, 31), "11:00", "20M", "N", true);
    const QString path = program + QStringLiteral("spool.adi");

    EXPECT_FALSE(ADIEXPSPOOL(QString(), {}).ok);
    EXPECT_EQ(msgs.take().last(), QStringLiteral("info: No ha seleccionado fichero destino\r\nProceso se aborta"));

    // Dismissing the way of sending marks nothing, and says so.
    msgs.answer(true);
    msgs.answer(-1);
    EXPECT_EQ(ADIEXPSPOOL(path, {}).exported, 2);
    EXPECT_EQ(recordLines(readAll(path)).size(), 2);
    EXPECT_TRUE(msgs.take().last().startsWith(QStringLiteral("info: No ha elegido la vía de envío")));
    store::WorkArea* spool = ws().area(QStringLiteral("LogSpool"));
    spool->goTop();
    EXPECT_FALSE(spool->eof());

    msgs.answer(true);
    msgs.answer(1);
    EXPECT_EQ(ADIEXPSPOOL(path, {}).exported, 2);
    spool->goTop();
    EXPECT_TRUE(spool->eof());                                 // the queue is empty now
    int marked = 0;
    for (quint32 rec : records()) {
        log()->goTo(rec);
        if (trimmedText("CALL") == "EA1AB") {
            EXPECT_EQ(text("QSLSENT"), " ");
            continue;
        }
        ++marked;
        EXPECT_EQ(text("QSLSENT"), "Y");
        EXPECT_EQ(text("QSLMODE"), "D");
        EXPECT_EQ(log()->date("QSLSDATE"), QDate::currentDate());
        EXPECT_EQ(log()->num("NQSLTX"), 1);
        EXPECT_FALSE(log()->logical("PRNQSL"));
    }
    EXPECT_EQ(marked, 2);

    // An empty queue writes the header alone; marking changes nothing.
    msgs.answer(true);
    msgs.answer(0);
    EXPECT_EQ(ADIEXPSPOOL(path, {}).exported, 0);
    EXPECT_TRUE(readAll(path).endsWith("<EOH>\r\n"));
}

// The blank record of a new book, and any record left without a call, is no QSO:
// neither export writes it, counts it or marks it.
TEST_F(AdifExport, RecordsWithoutCallAreNoQsos)
{
    store::WorkArea* a = log();
    ASSERT_TRUE(a->append().isOk());
    ASSERT_TRUE(a->unlock().isOk());
    const QString path = program + QStringLiteral("out.adi");
    EXPECT_EQ(ADIFEXP(path, {}, {}).exported, 0);
    EXPECT_TRUE(readAll(path).endsWith("<EOH>\r\n"));
    AdifSelection sel;
    sel.qslRcvd = QStringLiteral("NO");
    EXPECT_EQ(ADIFEXP(path, sel, {}).exported, 0);

    addFull(QString(), QDate(2024, 1, 30), "10:00", "20M", "N", true);
    addFull(QStringLiteral("EA1AA"), QDate(2024, 1, 31), "10:00", "20M", "N", true);
    msgs.answer(true);
    msgs.answer(0);
    EXPECT_EQ(ADIEXPSPOOL(path, {}).exported, 1);
    const QList<QByteArray> lines = recordLines(readAll(path));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith("<BAND:3>20M<CALL:5>EA1AA"));
    store::WorkArea* spool = ws().area(QStringLiteral("LogSpool"));
    spool->goTop();
    ASSERT_FALSE(spool->eof());                             // still queued, and not marked
    EXPECT_TRUE(spool->str(QStringLiteral("CALL")).trimmed().isEmpty());
    EXPECT_TRUE(spool->str(QStringLiteral("QSLSENT")).trimmed().isEmpty());
    EXPECT_FALSE(spool->date(QStringLiteral("QSLSDATE")).isValid());
}

// Every field the export writes comes back equal from an import into an empty book.
TEST_F(AdifExport, RoundTripFieldByField)
{
    static const char* const kFields[] = {
        "AGE", "BAND", "CALL", "CNTY", "COMMENT", "CONT", "CONTESTID", "CQZ", "FREQ", "GRIDSQUARE", "IOTA", "ITUZ",
        "MODE", "NAME", "OPERATOR", "PFX", "PROPMODE", "QSLRDATE", "QSLSDATE", "QSLRCVD", "QSLSENT", "EQSLSENT",
        "EQSLRCVD", "LOTWSENT", "LOTWRCVD", "LOTWRDATE", "LOTWSDATE", "QSLVIA", "QSODATE", "QTH", "RSTRCVD",
        "RSTSENT", "RXPWR", "SATMODE", "SATNAME", "SRX", "STX", "TENTEN", "TIMEOFF", "TIMEON", "TXPWR", "CODPRV",
        "JCC", "JCG", "DXCC", "QRA", "QSLMODE", "LP", "PRNQSL"};
    store::WorkArea* a = log();
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(a->append().isOk());
        const QByteArray n = QByteArray::number(i);
        a->put("AGE", i % 7 == 0 ? 0 : 20 + i);
        a->put("BAND", i % 2 ? "20M" : "40M");
        a->put("CALL", Value::text("EA" + n + "X\xD1Z"));           // Ñ in Windows-1252
        a->put("CNTY", "28079");
        a->put("COMMENT", Value::text("Coment\xE1rio <" + n + "> ok"));
        a->put("CONT", "EU");
        a->put("CONTESTID", i % 3 ? "CQ-WW-SSB" : "");
        a->put("CQZ", i % 2 ? " 5" : "14");
        a->put("FREQ", i % 2 ? 14.195 + i / 1000.0 : 7.05);
        a->put("GRIDSQUARE", "IN73DM12");
        a->put("IOTA", "EU-004");
        a->put("ITUZ", "37");
        a->put("MODE", i % 2 ? "SSB" : "CW");
        a->put("NAME", Value::text("Jos\xE9 Mar\xED" "a " + n));
        a->put("OPERATOR", "EA1XX");
        a->put("PFX", "EA1");
        a->put("PROPMODE", i % 5 ? "" : "SAT");
        a->put("QSLRDATE", i % 2 ? QDate(2024, 3, 1 + i % 28) : QDate());
        a->put("QSLSDATE", QDate(2024, 2, 1 + i % 28));
        a->put("QSLRCVD", i % 2 ? "Y" : "N");
        a->put("QSLSENT", i % 3 ? "Y" : "Q");
        a->put("EQSLSENT", "Y");
        a->put("EQSLRCVD", i % 2 ? "Y" : "");
        a->put("LOTWSENT", "Y");
        a->put("LOTWRCVD", "N");
        a->put("LOTWRDATE", QDate(2023, 12, 31));
        a->put("LOTWSDATE", QDate(2023, 12, 1));
        a->put("QSLVIA", "EA1ZZ");
        a->put("QSODATE", QDate(2024, 1, 1).addDays(i));
        a->put("QTH", "Madrid");
        a->put("RSTRCVD", "59");
        a->put("RSTSENT", "599");
        a->put("RXPWR", i % 4 ? 5 : 0);
        a->put("SATMODE", i % 5 ? "" : "U/V");
        a->put("SATNAME", i % 5 ? "" : "AO-7");
        a->put("SRX", "001");
        a->put("STX", Value::text(n));
        a->put("TENTEN", 1234);
        a->put("TIMEOFF", "23:59");
        a->put("TIMEON", i % 2 ? "09:30" : "00:00");
        a->put("TXPWR", 100);
        a->put("CODPRV", "M");
        a->put("JCC", "1001");
        a->put("JCG", "10001");
        a->put("DXCC", "281");
        a->put("QRA", "IN80DO");
        a->put("QSLMODE", i % 3 ? "B" : "E");
        a->put("LP", i % 2 == 1);
        a->put("PRNQSL", i % 3 == 1);
        a->put("CODENT", " 89");
        ASSERT_TRUE(a->unlock().isOk());
    }
    std::vector<std::vector<QByteArray>> before;
    auto snapshot = [&](std::vector<std::vector<QByteArray>>* out) {
        a->setOrder(0);
        for (a->goTop(); !a->eof(); a->skip()) {
            std::vector<QByteArray> row;
            for (const char* f : kFields) {
                const Value v = a->value(QString::fromLatin1(f));
                row.push_back(v.isChar() ? v.bytes() : v.toString().toLatin1());
            }
            out->push_back(row);
        }
    };
    snapshot(&before);
    const QString path = program + QStringLiteral("round.adi");
    ASSERT_EQ(ADIFEXP(path, {}, {}).exported, 40);

    // An empty book: every QSO deleted.
    a->setOrder(0);
    for (a->goTop(); !a->eof(); a->goTop()) {
        a->lockRecord();
        a->deleteRecord();
        a->unlock();
    }
    ASSERT_EQ(import(path).imported, 40);
    std::vector<std::vector<QByteArray>> after;
    snapshot(&after);
    ASSERT_EQ(after.size(), before.size());
    for (size_t r = 0; r < before.size(); ++r)
        for (size_t f = 0; f < std::size(kFields); ++f)
            EXPECT_EQ(after[r][f], before[r][f]) << "QSO " << r << " field " << kFields[f];
}

} // namespace
