// The ADIF import: header and record markers, the tag vocabulary, derived
// fields, dropped records and the duplicate test.
#include "adif_test_support.h"

#include "interchange/adif_scanner.h"
#include "interchange/date_time.h"
#include "refdata/bands.h"

#include <QFileInfo>
#include <map>
#include <set>

#include <QBuffer>

using namespace interchange;
using namespace interchange::adiftest;

namespace {

const QByteArray kHead = "Exported by some logger\r\n<ADIF_VER:5>2.2.7 <PROGRAMID:4>TEST\r\n<EOH>\r\n";

class AdifImport : public AdifHome {};

TEST_F(AdifImport, HeaderMarkerSpellings)
{
    EXPECT_TRUE(importText("x <eoh>\n<CALL:5>EA1AA<QSO_DATE:8>20240131<TIME_ON:4>0930<EOR>").ok);
    EXPECT_EQ(records().size(), 1u);
    msgs.take();

    const AdifImportResult r = importText("x <Eoh>\n<CALL:5>EA1AB<EOR>");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(msgs.take(), QStringList{QStringLiteral("stop: Falta registro de cabecera <EOH>")});
    EXPECT_EQ(records().size(), 1u);

    EXPECT_FALSE(importText("<CALL:5>EA1AB<EOR>").ok);
    EXPECT_EQ(msgs.take(), QStringList{QStringLiteral("stop: Falta registro de cabecera <EOH>")});
}

TEST_F(AdifImport, MissingFileAndUnreadableFile)
{
    const QString path = program + QStringLiteral("none.adi");
    EXPECT_FALSE(import(path).ok);
    EXPECT_EQ(msgs.take(), QStringList{QStringLiteral("stop: ") + path + QStringLiteral("\r\nFichero no existe")});

    // A write-protected file imports: the import only reads it.
    const QString ro = writeFile(kHead + "<CALL:5>EA1AA<EOR>", QStringLiteral("ro.adi"));
    QFile::setPermissions(ro, QFileDevice::ReadOwner);
    EXPECT_EQ(import(ro).imported, 1);
}

TEST_F(AdifImport, ValuesOfTheSpecifiers)
{
    const AdifImportResult r = importText(
        kHead + "<call:6>ea3abc<QSO_DATE:8:D>20240131<TIME_ON:6>093000<TIME_OFF:4>0945 "
                "<COMMENT:9>a<b>c<d>e<CQZ:1>5<ITUZ:2>14<DXCC:2>21<Mode:3>ssb<band:3>20m"
                "<FREQ:6>14.195<AGE:2>42<TX_PWR:3>100<QSL_RCVD:3>Yes<QSLRDATE:8>20240215"
                "<NAME:30>Juan Antonio de los Santos Gar<ADDRESS:10>Calle Mayor<NOTES:5>notes<EOR>");
    ASSERT_EQ(r.imported, 1);
    log()->goTop();
    EXPECT_EQ(text("CALL"), QByteArray("ea3abc      "));   // as written
    EXPECT_EQ(log()->date("QSODATE"), QDate(2024, 1, 31));
    EXPECT_EQ(text("TIMEON"), "09:30");
    EXPECT_EQ(text("TIMEOFF"), "09:45");
    EXPECT_EQ(trimmedText("COMMENT"), "a<b>c<d>e");
    EXPECT_EQ(text("CQZ"), " 5");
    EXPECT_EQ(text("ITUZ"), "14");
    EXPECT_EQ(text("DXCC"), "021");
    EXPECT_EQ(text("CODENT"), " 12");
    EXPECT_EQ(trimmedText("MODE"), "ssb");
    EXPECT_EQ(trimmedText("BAND"), "20M");
    EXPECT_DOUBLE_EQ(log()->num("FREQ"), 14.195);
    EXPECT_EQ(log()->num("AGE"), 42);
    EXPECT_EQ(log()->num("TXPWR"), 100);
    EXPECT_EQ(text("QSLRCVD"), "Y");
    EXPECT_EQ(text("QSLSENT"), "N");
    EXPECT_EQ(log()->date("QSLRDATE"), QDate(2024, 2, 15));
    EXPECT_EQ(text("NAME"), "Juan Antonio de los ");   // cut to the field width (20)
    EXPECT_EQ(text("CONT"), "EU");                             // from the entity
    EXPECT_EQ(text("QRA"), "IN73DM");                          // dialog's locator, upper-cased
    EXPECT_EQ(trimmedText("OPERATOR"), "EA1XX");
    EXPECT_EQ(text("KEY"), "0000001");
}

TEST_F(AdifImport, TimesOfFourAndSixDigitsAndFourDigitCase)
{
    importText(kHead + "<CALL:4>K1AA<TIME_ON:4>0930<EOR><CALL:4>K1AB<TIME_ON:6>093015<EOR>");
    for (quint32 rec : records()) {
        log()->goTo(rec);
        EXPECT_EQ(text("TIMEON"), "09:30");
    }
}

TEST_F(AdifImport, DerivedBandDmeReferenceAndOperator)
{
    importText(kHead +
               "<CALL:5>EA1AA<DXCC:3>281<EOR>\r\n"
               "<CALL:5>EA1AB<DXCC:3>281<FREQ:6>14.195<COMMENT:25>Ref DME 28079 Madrid city<OPERATOR:5>EA4ZZ<EOR>\r\n"
               "<CALL:5>EA1AC<DXCC:3>281<CNTY:5>33044<COMMENT:13>DME 28079 xyz<MY_GRIDSQUARE:6>IN80DO"
               "<OWN_GRIDSQ:6>JN11AA<EOR>\r\n");
    const auto recs = records();
    ASSERT_EQ(recs.size(), 3u);
    log()->goTo(recs[0]);
    EXPECT_EQ(trimmedText("BAND"), "");
    EXPECT_EQ(trimmedText("CNTY"), "");
    log()->goTo(recs[1]);
    EXPECT_EQ(trimmedText("BAND"), refdata::BAND(14.195).toLatin1());
    EXPECT_FALSE(trimmedText("BAND").isEmpty());
    EXPECT_EQ(trimmedText("CNTY"), "28079");
    EXPECT_EQ(trimmedText("OPERATOR"), "EA4ZZ");
    EXPECT_EQ(text("CQZ"), "14");
    log()->goTo(recs[2]);
    EXPECT_EQ(trimmedText("CNTY"), "33044");
    EXPECT_EQ(text("QRA"), "IN80DO");                   // OWN_GRIDSQ only fills an empty locator
}

TEST_F(AdifImport, ApplicationTagsOfThisAndOtherPrograms)
{
    importText(kHead +
               "<CALL:5>EA1AA<APP_ORLANLOG_LP:1>1<APP_ORLANLOG_PRNQSL:1>1<APP_ORLANLOG_QRA:6>IN52PE"
               "<APP_WL32_QSLIN:10>R 15-02-14<APP_WL32_QSLOUT:10>S 01-03-98"
               "<APP_HAMRADIODELUXE_MY_EQSL_SENT:1>Y<APP_OTHER_LP:1>0<EOR>"
               "<CALL:5>EA1AB<APP_ORLANLOG_LP:1>0<EOR>");
    const auto recs = records();
    ASSERT_EQ(recs.size(), 2u);
    log()->goTo(recs[0]);
    EXPECT_TRUE(log()->logical("LP"));
    EXPECT_TRUE(log()->logical("PRNQSL"));
    EXPECT_EQ(text("QRA"), "IN52PE");
    EXPECT_EQ(log()->date("QSLRDATE"), QDate(2014, 2, 15));   // two-digit years, epoch 1919
    EXPECT_EQ(log()->date("QSLSDATE"), QDate(1998, 3, 1));
    EXPECT_EQ(text("EQSLSENT"), "Y");
    log()->goTo(recs[1]);
    EXPECT_FALSE(log()->logical("LP"));
}

TEST_F(AdifImport, DroppedRecordsAreNeverAppended)
{
    const quint32 before = log()->recCount();
    const AdifImportResult r =
        importText(kHead + "<NAME:4>Nobo<EOR><CALL:5>EA1AA<EOR><CALL:3>   <EOR>\r\n<CALL:5>EA1AB<EOR>\r\ntrailing <CALL:5>EA9ZZ junk");
    EXPECT_EQ(r.imported, 2);
    EXPECT_EQ(r.dropped, 2);
    EXPECT_EQ(log()->recCount(), before + 2);                 // physically, not only visibly
    EXPECT_EQ(msgs.log().last(), QStringLiteral("info: Se han importado 2 registros"));
}

// A QSO date or time that is no real date or time refuses the whole record,
// which the final message counts; it never reaches the book.
TEST_F(AdifImport, ImpossibleDatesAndTimesRefuseTheRecord)
{
    const AdifImportResult r = importText(kHead +
                                          "<CALL:5>EA1AA<QSO_DATE:8>20241345<TIME_ON:4>0930<EOR>"
                                          "<CALL:5>EA1AB<QSO_DATE:8>20240131<TIME_ON:4>2599<EOR>"
                                          "<CALL:5>EA1AC<QSO_DATE:8>20230229<TIME_ON:4>0930<EOR>"
                                          "<CALL:5>EA1AD<QSO_DATE:8>20240229<TIME_ON:6>093060<EOR>"
                                          "<CALL:5>EA1AE<QSO_DATE:8>20240229<TIME_ON:4>0930<TIME_OFF:5>09:45<EOR>"
                                          "<CALL:5>EA1AF<QSO_DATE:10>2024-02-29<TIME_ON:4>0930<EOR>"
                                          "<QSO_DATE:8>20241345<EOR>"
                                          "<CALL:5>EA1AG<QSO_DATE:8>20240229<TIME_ON:6>235959<TIME_OFF:4>0000<EOR>");
    EXPECT_EQ(r.imported, 1);
    EXPECT_EQ(r.badDateTime, 6);
    EXPECT_EQ(r.dropped, 1);                                   // no call: dropped without a word, as before
    EXPECT_EQ(msgs.log().last(),
              QStringLiteral("info: Se han importado 1 registros\r\n6 registros con fecha u hora imposible, descartados"));
    ASSERT_EQ(records().size(), 1u);
    log()->goTo(records()[0]);
    EXPECT_EQ(trimmedText("CALL"), "EA1AG");
    EXPECT_EQ(log()->date("QSODATE"), QDate(2024, 2, 29));
    EXPECT_EQ(text("TIMEON"), "23:59");
    EXPECT_EQ(text("TIMEOFF"), "00:00");
}

// ADIF 3 writes many modes as a sub-mode; the mode table's code for it is the
// QSO's mode. An unknown mode too long for the field is cut, and counted.
TEST_F(AdifImport, SubModesTheModeTableKnowsBecomeTheMode)
{
    store::WorkArea* modo = ws().area(QStringLiteral("Modo"));
    ASSERT_NE(modo, nullptr);
    for (const char* code : {"SSB", "MFSK", "FT4", "PSK31", "DMR", "CONTES"}) {
        ASSERT_TRUE(modo->append().isOk());
        modo->put("CODMOD", code);
        ASSERT_TRUE(modo->unlock().isOk());
    }
    const AdifImportResult r = importText(kHead +
                                          "<CALL:5>EA1AA<MODE:4>MFSK<SUBMODE:3>FT4<EOR>"
                                          "<CALL:5>EA1AB<SUBMODE:5>psk31<MODE:3>PSK<EOR>"
                                          "<CALL:5>EA1AC<MODE:12>DIGITALVOICE<SUBMODE:3>DMR<EOR>"
                                          "<CALL:5>EA1AD<MODE:4>MFSK<SUBMODE:3>JS8<EOR>"
                                          "<CALL:5>EA1AE<MODE:12>DIGITALVOICE<SUBMODE:6>FREEDV<EOR>"
                                          "<CALL:5>EA1AF<MODE:9>CONTESTIA<EOR>"
                                          "<CALL:5>EA1AG<MODE:3>ssb<SUBMODE:3>USB<EOR>");
    EXPECT_EQ(r.imported, 7);
    EXPECT_EQ(r.longModes, 1);
    EXPECT_EQ(msgs.log().last(), QStringLiteral("info: Se han importado 7 registros\r\n"
                                                "1 QSOs con un modo desconocido más largo que el campo (recortado)"));
    std::map<QByteArray, QByteArray> mode;
    for (quint32 rec : records()) {
        log()->goTo(rec);
        mode[trimmedText("CALL")] = trimmedText("MODE");
    }
    EXPECT_EQ(mode["EA1AA"], "FT4");
    EXPECT_EQ(mode["EA1AB"], "PSK31");
    EXPECT_EQ(mode["EA1AC"], "DMR");
    EXPECT_EQ(mode["EA1AD"], "MFSK");                          // a sub-mode the table does not know
    EXPECT_EQ(mode["EA1AE"], "DIGITA");                        // cut, and counted
    EXPECT_EQ(mode["EA1AF"], "CONTES");                        // cut to the table's own code: nothing to tell
    EXPECT_EQ(mode["EA1AG"], "ssb");
}

TEST_F(AdifImport, SecondImportWithDuplicateTestAddsNothing)
{
    const QByteArray body = kHead +
                            "<CALL:5>EA1AA<QSO_DATE:8>20240131<TIME_ON:4>0930<BAND:3>20M<EOR>"
                            "<CALL:5>EA1AA<QSO_DATE:8>20240131<TIME_ON:4>0931<EOR>"
                            "<CALL:5>EA1AB<QSO_DATE:8>20240131<TIME_ON:6>093000<EOR>";
    EXPECT_EQ(importText(body, true).imported, 3);
    const quint32 count = log()->recCount();
    msgs.take();
    // Same call, date and minute on another band is still a duplicate; seconds do not count.
    const QByteArray again = body + "<CALL:5>EA1AA<QSO_DATE:8>20240131<TIME_ON:6>093059<BAND:3>40M<EOR>";
    EXPECT_EQ(importText(again, true).imported, 0);
    EXPECT_EQ(msgs.take(), QStringList{QStringLiteral("info: Se han importado 0 registros")});
    EXPECT_EQ(log()->recCount(), count);
    // Without the test everything goes in again.
    EXPECT_EQ(importText(body, false).imported, 3);
    // Duplicates inside one file are caught too.
    EXPECT_EQ(importText(kHead + "<CALL:4>K1AA<QSO_DATE:8>20240101<TIME_ON:4>0000<EOR>"
                                 "<CALL:4>K1AA<QSO_DATE:8>20240101<TIME_ON:4>0000<EOR>", true).imported, 1);
}

TEST_F(AdifImport, EndOfRecordInAnyCaseAndAcrossChunkBorders)
{
    QByteArray body = kHead;
    for (int i = 0; i < 300; ++i) {
        const QByteArray call = "EA" + QByteArray::number(i);
        const char* eor = i % 3 == 0 ? "<EOR>" : i % 3 == 1 ? "<eor>" : "<Eor>";
        body += "<CALL:" + QByteArray::number(call.size()) + ">" + call + "<COMMENT:7>x y z w" + eor + "\n";
    }
    const AdifImportResult r = importText(body);
    EXPECT_EQ(r.imported, 300);
    std::set<QByteArray> calls;
    for (quint32 rec : records()) {
        log()->goTo(rec);
        calls.insert(trimmedText("CALL"));
    }
    EXPECT_EQ(calls.size(), 300u);
}

TEST_F(AdifImport, CancelKeepsWhatWasWritten)
{
    AdifImportOptions o;
    o.path = writeFile(kHead + "<CALL:4>K1AA<EOR><CALL:4>K1AB<EOR><CALL:4>K1AC<EOR>");
    NullMeter m;
    m.cancelAfter = 2;
    const AdifImportResult r = ADIFIMP(m, o);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.imported, 2);
    EXPECT_EQ(records().size(), 2u);
    EXPECT_EQ(msgs.log().last(), QStringLiteral("info: Se han importado 2 registros"));
    EXPECT_EQ(m.total, QFileInfo(o.path).size());
}

TEST(AdifFind, MatchesMissesAndCase)
{
    for (int offset : {0, 1, 2040, 2043, 2044, 2045, 2047, 2048, 4090, 6995}) {
        QByteArray data(7000, 'x');
        data.replace(offset, 5, "<EOR>");
        const QByteArray& b = data;
        qint64 pos = 0;
        ASSERT_TRUE(adifFind(b, &pos, "<EOR>")) << offset;
        EXPECT_EQ(pos, offset);
        pos = offset + 1;
        EXPECT_FALSE(adifFind(b, &pos, "<EOR>"));
        EXPECT_EQ(pos, offset + 1);
        pos = 0;
        EXPECT_FALSE(adifFind(b, &pos, "<eor>"));          // case-sensitive by default
        EXPECT_TRUE(adifFind(b, &pos, "<eor>", true));
    }
    // a partial marker right before the real one, mixed case, a marker that starts with a letter
    const QByteArray mixed = "ab<EO<eOr> tail EOR";
    qint64 pos = 0;
    ASSERT_TRUE(adifFind(mixed, &pos, "<eor>", true));
    EXPECT_EQ(pos, 5);
    pos = 0;
    ASSERT_TRUE(adifFind(mixed, &pos, "eor", true));
    EXPECT_EQ(pos, 6);
    pos = 7;
    ASSERT_TRUE(adifFind(mixed, &pos, "EOR"));
    EXPECT_EQ(pos, 16);
    pos = 17;
    EXPECT_FALSE(adifFind(mixed, &pos, "EOR"));
    pos = 99;
    EXPECT_FALSE(adifFind(mixed, &pos, "<"));
}

TEST(AdifConversions, NumbersDatesTimes)
{
    EXPECT_DOUBLE_EQ(adifNumber("14.195"), 14.195);
    EXPECT_DOUBLE_EQ(adifNumber(" 100W"), 100);
    EXPECT_DOUBLE_EQ(adifNumber("abc"), 0);
    EXPECT_DOUBLE_EQ(adifNumber("-3.5"), -3.5);
    EXPECT_EQ(adifDate("20240131"), QDate(2024, 1, 31));
    EXPECT_EQ(adifDate(" 20240229 "), QDate(2024, 2, 29));
    for (const char* bad : {"20241331", "20230229", "20240100", "2024", "202401311", "2024013x", "00000101", ""})
        EXPECT_FALSE(adifDate(bad).isValid()) << bad;
    EXPECT_EQ(adifTime("093000"), "09:30");
    EXPECT_EQ(adifTime("0930"), "09:30");
    EXPECT_EQ(adifTime("235959"), "23:59");
    EXPECT_EQ(adifTime("0000 "), "00:00");
    for (const char* bad : {"2400", "2599", "0960", "093060", "930", "09:30", "09300", "0930xx", "-930", ""})
        EXPECT_TRUE(adifTime(bad).isEmpty()) << bad;
}

} // namespace
