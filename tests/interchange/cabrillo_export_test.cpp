// The Cabrillo export: whole files byte for byte, the three layouts, the range
// limits, and what happens to "Log" and to a file that cannot be written.
#include "cabrillo_home.h"
#include "interchange/cabrillo_export.h"

#include <QDir>

namespace interchange::testing {
namespace {


class CabrilloExportTest : public SessionHome {
protected:
    CabrilloExport job(const QString& contest)
    {
        CabrilloExport e;
        e.header.createdBy = QStringLiteral("Orlan Win Log 1.92");
        e.header.contest = contest;
        e.header.category = QStringLiteral("SINGLE-OP");
        e.header.band = QStringLiteral("ALL");
        e.header.power = QStringLiteral("HIGH");
        e.header.call = QStringLiteral("EA1XX");
        e.path = program + QStringLiteral("ea1xx.cbr");
        return e;
    }
    QByteArray qsoLines(const QByteArray& file)
    {
        QByteArray out;
        for (const QByteArray& l : file.split('\n'))
            if (l.startsWith("QSO:"))
                out += l;
        return out;
    }
};

TEST_F(CabrilloExportTest, WholeFileOfTheCqWwSsbExampleByteForByte)
{
    add({.call = "K1ABC", .date = QDate(2024, 10, 26), .time = "09:30", .freq = 14.195, .band = "20M", .mode = "SSB",
         .cqz = "14"});
    CabrilloExport e = job(QStringLiteral("CQ-WW-SSB"));
    e.header.name = QStringLiteral("José Muñoz");
    e.header.address1 = QStringLiteral("Rúa Nova 1");
    e.header.address2 = QStringLiteral("15001 A Coruña");
    e.header.soapbox1 = QStringLiteral("100 W y dipolo");
    ASSERT_EQ(writeCabrillo(e), 1);
    const QByteArray expected =
        "START-OF-LOG: 2.0\r\n"
        "CREATED BY:Orlan Win Log 1.92\r\n"
        "CONTEST: CQ-WW-SSB\r\n"
        "CATEGORY: SINGLE-OP ALL HIGH\r\n"
        "CALLSIGN: EA1XX     \r\n"
        "NAME: Jos\xE9 Mu\xF1oz          \r\n"
        "ADDRESS: R\xFA" "a Nova 1                         \r\n"
        "ADDRESS: 15001 A Coru\xF1" "a                     \r\n"
        "SOAPBOX: 100 W y dipolo                                    \r\n"
        "SOAPBOX:                                                   \r\n"
        "QSO: 14195 PH 2024-10-26 0930 EA1XX         59  14     K1ABC         59  14    \r\n"
        "END-OF-LOG:";
    EXPECT_EQ(readAll(e.path), expected);
}

TEST_F(CabrilloExportTest, FrequencyAndModeColumns)
{
    // Without frequency: the band's lower edge; FM: an empty mode column; CW: "CW".
    add({.call = "K1ABC", .date = QDate(2024, 10, 26), .time = "09:30", .band = "40M", .mode = "SSB", .cqz = "5"});
    add({.call = "K2ABC", .date = QDate(2024, 10, 26), .time = "9:31", .freq = 29.6, .band = "10M", .mode = "FM"});
    add({.call = "K3ABC", .date = QDate(2024, 10, 26), .time = "09:32", .freq = 7.025, .band = "40M", .mode = "CW"});
    add({.call = "K4ABC", .date = QDate(2024, 10, 26), .time = "09:33", .freq = 144.3, .band = "2M", .mode = "SSB"});
    add({.call = "K5ABC", .date = QDate(2024, 10, 26), .time = "09:34", .band = "160M", .mode = "CW"});
    const CabrilloExport e = job(QStringLiteral("CQ-WW-CW"));
    ASSERT_EQ(writeCabrillo(e), 5);
    auto line = [&](const char* call) {
        for (const QByteArray& l : readAll(e.path).split('\n'))
            if (l.contains(call))
                return l;
        return QByteArray();
    };
    EXPECT_EQ(line("K1ABC"), "QSO:  7000 PH 2024-10-26 0930 EA1XX         59  14     K1ABC         59  5     \r");
    EXPECT_EQ(line("K2ABC"), "QSO: 29600  2024-10-26 0931 EA1XX         59  14     K2ABC         59        \r");
    EXPECT_TRUE(line("K3ABC").startsWith("QSO:  7025 CW 2024-10-26 0932 ")) << line("K3ABC").constData();
    // 144 MHz does not fit in kHz: the band designator of contest logs.
    EXPECT_TRUE(line("K4ABC").startsWith("QSO:   144 PH ")) << line("K4ABC").constData();
    EXPECT_TRUE(line("K5ABC").startsWith("QSO:  1800 CW ")) << line("K5ABC").constData();
}

TEST_F(CabrilloExportTest, RttyAndMajestadLayoutsByteForByte)
{
    add({.call = "K1ABC", .date = QDate(2024, 10, 26), .time = "09:30", .freq = 14.085, .band = "20M", .mode = "RTTY",
         .rstSent = "599", .rstRcvd = "599", .srx = "05", .codprv = "MA"});
    CabrilloExport e = job(QStringLiteral("CQ-WW-RTTY"));
    ASSERT_EQ(writeCabrillo(e), 1);
    EXPECT_EQ(qsoLines(readAll(e.path)), "QSO: 14085 RY 2024-10-26 0930 EA1XX         599 14  DX  K1ABC         599 05  MA  0\r");

    log->goTop();
    log->lockRecord();
    log->put("CALL", "EA4ZZ");
    log->put("FREQ", 7.05);
    log->put("MODE", "SSB");
    log->put("RSTSENT", "59");
    log->put("RSTRCVD", "59");
    log->put("CODPRV", "M");
    log->unlock();
    e = job(QStringLiteral("EA-MAJESTAD-SSB"));
    e.province = QStringLiteral("lu");
    ASSERT_EQ(writeCabrillo(e), 1);
    EXPECT_EQ(qsoLines(readAll(e.path)), "QSO:  7050 PH 2024-10-26 0930 EA1XX         59  LU     EA4ZZ         59  M   \r");
}

TEST_F(CabrilloExportTest, DateRangeSkipsEmptyCallsAndPutsLogBack)
{
    add({.call = "K1AAA", .date = QDate(2024, 10, 25), .time = "23:59", .freq = 14.2, .mode = "SSB"});
    add({.call = "K1BBB", .date = QDate(2024, 10, 26), .time = "00:00", .freq = 14.2, .mode = "SSB"});
    add({.call = "", .date = QDate(2024, 10, 26), .time = "12:00", .freq = 14.2, .mode = "SSB"});
    add({.call = "K1CCC", .date = QDate(2024, 10, 27), .time = "23:59", .freq = 14.2, .mode = "SSB"});
    add({.call = "K1DDD", .date = QDate(2024, 10, 28), .time = "00:00", .freq = 14.2, .mode = "SSB"});
    log->setOrder(QStringLiteral("Call"));
    log->goTop();
    log->skip();
    const quint32 rec = log->recNo();

    CabrilloExport e = job(QStringLiteral("CQ-WW-SSB"));
    e.from = QDate(2024, 10, 26);
    e.to = QDate(2024, 10, 27);
    ASSERT_EQ(writeCabrillo(e), 2);
    const QByteArray file = readAll(e.path);
    EXPECT_TRUE(file.contains("K1BBB") && file.contains("K1CCC"));
    EXPECT_FALSE(file.contains("K1AAA") || file.contains("K1DDD"));
    EXPECT_TRUE(file.endsWith("\r\nEND-OF-LOG:"));
    EXPECT_EQ(log->order(), 1);
    EXPECT_EQ(log->recNo(), rec);

    // Open ends: everything with a call.
    e.from = e.to = QDate();
    EXPECT_EQ(writeCabrillo(e), 4);
    // The wait box and nothing else was shown.
    EXPECT_EQ(msgs.take(), QStringList({"wait: Exportando a formato cabrillo", "wait: Exportando a formato cabrillo"}));
}

TEST_F(CabrilloExportTest, UnwritableTargetKeepsTheOldFileAndSaysSo)
{
    add({.call = "K1ABC", .date = QDate(2024, 10, 26), .time = "09:30", .freq = 14.195, .mode = "SSB"});
    CabrilloExport e = job(QStringLiteral("CQ-WW-SSB"));
    e.path = program + QStringLiteral("no/such/folder/x.cbr");
    EXPECT_EQ(writeCabrillo(e), -1);
    EXPECT_FALSE(QFile::exists(e.path));
    ASSERT_FALSE(msgs.log().isEmpty());
    EXPECT_TRUE(msgs.log().last().startsWith("stop: ")) << msgs.log().last().toStdString();
}

TEST_F(CabrilloExportTest, EndQuestionAndChoiceLists)
{
    msgs.answer(true);
    EXPECT_TRUE(askEditCabrillo(12, QStringLiteral("Orlan Win Log")));
    EXPECT_EQ(msgs.take(),
              QStringList({"noYes: Exportacion completada\r\nSe han exportado 12 contactos\r\nDesea editarlo ahora -> yes"}));
    EXPECT_EQ(cabrilloContests().first(), "CQ-WW-SSB");
    EXPECT_EQ(cabrilloPowers().size(), 4);
    EXPECT_TRUE(cabrilloPowers().last().isEmpty());
}

} // namespace
} // namespace interchange::testing
