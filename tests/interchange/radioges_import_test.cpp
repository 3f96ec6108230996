// The Radioges import on rows laid out as the table "LibroGuardia" gives them
// (the reader's own rows; no database of that logger is at hand): the call
// rule, province names to codes, the band from the frequency text, dates and
// times, QSL flags, zones, the default operator, duplicates and cancelling;
// and the whole run refusing files that are no such database.
#include "cabrillo_home.h"

#include "interchange/radioges_import.h"

#include <QTemporaryDir>

namespace interchange::testing {
namespace {

class RadiogesImport : public SessionHome {
protected:
    // A row with the columns a contact needs; more given by the test.
    static AccessRow row(const QString& call, const QDate& date, const QString& time, const QString& band,
                         std::initializer_list<std::pair<const char*, QVariant>> more = {})
    {
        AccessRow r{{"Indicativo", call},
                    {"FechaQso", QDateTime(date, QTime(0, 0), Qt::UTC)},
                    {"HoraQso", time},
                    {"Banda", band},
                    {"Modo", QStringLiteral("SSB")},
                    {"Barra", QVariant()},
                    {"FechaEnvioQsl", QVariant()},
                    {"FechaReciboQsl", QVariant()}};
        for (const auto& [name, value] : more)
            r[QString::fromLatin1(name)] = value;
        return r;
    }

    RadiogesImportResult run(std::vector<AccessRow> rows, TestMeter* meter = nullptr)
    {
        TestMeter own;
        TestMeter& m = meter ? *meter : own;
        size_t at = 0;
        return RGIMPROWS(m, options, qint64(rows.size()), [&](AccessRow* r) {
            if (at >= rows.size())
                return false;
            *r = rows[at++];
            return true;
        });
    }

    // The QSOs of the book with a call, in record order.
    std::vector<std::map<QString, QString>> stored(const QStringList& fields)
    {
        std::vector<std::map<QString, QString>> out;
        log->setOrder(0);
        for (log->goTop(); !log->eof(); log->skip()) {
            if (log->str("CALL").trimmed().isEmpty())
                continue;
            std::map<QString, QString> q;
            for (const QString& f : fields)
                q[f] = f.endsWith("DATE") ? log->value(f).toDate().toString("yyyyMMdd") : log->value(f).toString();
            out.push_back(q);
        }
        return out;
    }

    RadiogesImportOptions options{.operatorCall = "EA1XX", .locator = "IN73", .defaultOperator = ""};
};

TEST_F(RadiogesImport, TheCallRuleJoinsTheBarAsPrefixSuffixOrBoth)
{
    EXPECT_EQ(radiogesCall("EA1XX", ""), "EA1XX");
    EXPECT_EQ(radiogesCall(" EA1XX ", "/M"), "EA1XX/M");
    EXPECT_EQ(radiogesCall("EA1XX", "EA8/"), "EA8/EA1XX");
    EXPECT_EQ(radiogesCall("EA1XX", "EA8/QRP"), "EA8/EA1XX/QRP");
    EXPECT_EQ(radiogesCall("EA1XX", " /P "), "EA1XX/P");
}

TEST_F(RadiogesImport, ProvincesBandsAndColumnValues)
{
    EXPECT_EQ(CODPRV(" Illes Balears "), "IB");
    EXPECT_EQ(CODPRV("Albacete"), "AB");
    EXPECT_EQ(CODPRV(QStringLiteral("La Coruña")), "C");
    EXPECT_EQ(CODPRV(QStringLiteral("Cádiz")), "CA") << "accents as the logger may write them";
    EXPECT_EQ(CODPRV("MELLILLA"), "ML");
    EXPECT_EQ(CODPRV("Melilla"), "ML") << "the city's own spelling too";
    EXPECT_EQ(CODPRV("Soria"), "");
    EXPECT_DOUBLE_EQ(radiogesFrequency("14.195"), 14.195);
    EXPECT_DOUBLE_EQ(radiogesFrequency("7,050 MHz"), 7.05);
    EXPECT_DOUBLE_EQ(radiogesFrequency("20m"), 20);
    EXPECT_DOUBLE_EQ(radiogesFrequency(""), 0);
    EXPECT_EQ(RSCHAR(QVariant()), "");
    EXPECT_EQ(RSCHAR(qint64(14)), "14");
    EXPECT_EQ(RSCHAR(2.5), "2.5");
    EXPECT_FALSE(RSDATE(QVariant()).isValid());
    EXPECT_EQ(RSDATE(QDateTime(QDate(2001, 2, 3), QTime(23, 0), Qt::UTC)), QDate(2001, 2, 3));
    EXPECT_EQ(RSDATE(QStringLiteral("03/02/2001")), QDate(2001, 2, 3));
}

TEST_F(RadiogesImport, RowsBecomeQsosOfTheBook)
{
    const QDate d(2005, 6, 7);
    const RadiogesImportResult r = run({
        row("EA1XX", d, "12:34", "14.195",
            {{"Barra", "/M"}, {"Provincia", " Illes Balears "}, {"WAZ", "5"}, {"ITU", qint64(37)},
             {"FechaReciboQsl", QDateTime(QDate(2005, 8, 1), QTime(0, 0), Qt::UTC)}, {"Operador", QStringLiteral("José")},
             {"RsEnviado", "59"}, {"RsRecibido", "57"}, {"QraLocatorRecibido", "JN00AA"}, {"Notas", QStringLiteral("Concurso de Navidad")},
             {"CodigoMunicipio", QStringLiteral("07\x03" "040")}, {"IndicativoPropio", "EA4ZZ"}, {"Concurso", "CQ-WW"},
             {"NumeralRecibido", qint64(123)}, {"LiteralRecibido", "AB"}}),
        row("EA2AA", d, "13:00", "7,050", {{"Barra", "EA8/"}, {"Provincia", "Albacete"}}),
        row("EA3B", d, "14:00", "3.7", {{"Barra", "EA9/QRP"}, {"Provincia", "Soria"},
                                         {"FechaEnvioQsl", QDateTime(QDate(2005, 7, 1), QTime(0, 0), Qt::UTC)}}),
        row("", d, "15:00", "14.0"),
    });
    EXPECT_TRUE(r.ok && r.complete);
    EXPECT_EQ(r.imported, 3);
    EXPECT_EQ(r.dropped, 1) << "a row without a call";
    EXPECT_EQ(r.message, "Se han importado 3 registros");
    EXPECT_TRUE(msgs.take().contains("info: Se han importado 3 registros"));

    const auto q = stored({"CALL", "QSODATE", "TIMEON", "FREQ", "BAND", "CODPRV", "CQZ", "ITUZ", "QSLRCVD", "QSLSENT",
                           "QSLRDATE", "NAME", "CNTY", "OPERATOR", "QRA", "SRX", "STX", "CONTESTID", "RSTRCVD", "GRIDSQUARE",
                           "COMMENT", "CODENT", "KEY"});
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q[0].at("CALL").trimmed(), "EA1XX/M");
    EXPECT_EQ(q[0].at("QSODATE"), "20050607");
    EXPECT_EQ(q[0].at("QSLRDATE"), "20050801");
    EXPECT_EQ(q[0].at("TIMEON"), "12:34");
    EXPECT_EQ(q[0].at("BAND").trimmed(), "20M");
    EXPECT_EQ(q[0].at("CODPRV").trimmed(), "IB");
    EXPECT_EQ(q[0].at("CQZ"), " 5");
    EXPECT_EQ(q[0].at("ITUZ"), "37");
    EXPECT_EQ(q[0].at("QSLRCVD"), "Y");
    EXPECT_EQ(q[0].at("QSLSENT"), "N");
    EXPECT_EQ(q[0].at("NAME").trimmed(), QStringLiteral("José"));
    EXPECT_EQ(q[0].at("CNTY").trimmed(), "07040") << "character 3 taken out";
    EXPECT_EQ(q[0].at("OPERATOR").trimmed(), "EA4ZZ");
    EXPECT_EQ(q[0].at("QRA").trimmed(), "IN73") << "the default locator";
    EXPECT_EQ(q[0].at("SRX").trimmed(), "123");
    EXPECT_EQ(q[0].at("STX").trimmed(), "AB");
    EXPECT_EQ(q[0].at("CONTESTID").trimmed(), "CQ-WW");
    EXPECT_EQ(q[0].at("GRIDSQUARE").trimmed(), "JN00AA");
    EXPECT_EQ(q[0].at("COMMENT").trimmed(), "Concurso de Navidad");
    EXPECT_FALSE(q[0].at("CODENT").trimmed().isEmpty()) << "the entity from the call";

    EXPECT_EQ(q[1].at("CALL").trimmed(), "EA8/EA2AA");
    EXPECT_EQ(q[1].at("BAND").trimmed(), "40M");
    EXPECT_EQ(q[1].at("CODPRV").trimmed(), "AB");
    EXPECT_EQ(q[1].at("QSLRCVD"), "N");
    EXPECT_EQ(q[1].at("OPERATOR").trimmed(), "EA1XX") << "the dialog's operator";
    EXPECT_EQ(q[2].at("CALL").trimmed(), "EA9/EA3B/QRP");
    EXPECT_EQ(q[2].at("CODPRV"), "SORI") << "an unknown name kept, cut to the field";
    EXPECT_EQ(q[2].at("QSLSENT"), "Y");
    EXPECT_EQ(q[2].at("BAND").trimmed(), "80M");
    EXPECT_NE(q[0].at("KEY"), q[1].at("KEY"));
}

TEST_F(RadiogesImport, DuplicatesTimesAndCancelling)
{
    const QDate d(2010, 1, 2);
    add({.call = "EA5CC", .date = d, .time = "10:00", .freq = 14.2, .band = "20M", .mode = "SSB"});
    options.dupCheck = true;
    QVariant accessTime = QDateTime(QDate(1899, 12, 30), QTime(10, 0), Qt::UTC);   // a time column of Access
    RadiogesImportResult r = run({row("EA5CC", d, "10:00", "14.2"), {row("EA6DD", d, "", "14.2", {{"HoraQso", accessTime}})}});
    EXPECT_EQ(r.imported, 1);
    EXPECT_EQ(r.dropped, 1) << "the QSO already in the book";
    const auto q = stored({"CALL", "TIMEON"});
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[1].at("TIMEON"), "10:00");

    // cancelled after the second row: two stored, and said so
    TestMeter m;
    m.cancelAfter = 2;
    msgs.take();
    r = run({row("K1A", d, "11:00", "21.0"), row("K2B", d, "11:01", "21.0"), row("K3C", d, "11:02", "21.0")}, &m);
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.imported, 2);
    EXPECT_EQ(m.total, 3);
    EXPECT_EQ(m.last, 2);
    EXPECT_TRUE(msgs.take().contains("info: Se han importado 2 registros"));
}

TEST_F(RadiogesImport, FilesThatAreNoRadiogesDatabaseAreRefusedAndImportNothing)
{
    const qint64 before = log->keyCount();
    TestMeter m;
    options.path = program + "no-esta.mdb";
    EXPECT_FALSE(RGIMP(m, options).ok);
    EXPECT_EQ(msgs.take(), QStringList{"stop: " + options.path + "\r\nFichero no existe"});

    options.path = write("texto.mdb", QByteArray(8192, 'x'));
    EXPECT_FALSE(RGIMP(m, options).ok);
    QStringList told = msgs.take();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith("stop: Formato RG no reconocido\r\nProceso se aborta")) << told[0].toStdString();

    // a real Access database without the table "LibroGuardia"
    const QString nwind = QStringLiteral(ORLANLOG_SOURCE_DIR "/../shared/fixtures/mdb/nwind.mdb");
    if (QFileInfo::exists(nwind)) {
        options.path = nwind;
        EXPECT_FALSE(RGIMP(m, options).ok);
        told = msgs.take();
        ASSERT_EQ(told.size(), 1);
        EXPECT_TRUE(told[0].contains("Formato RG no reconocido")) << told[0].toStdString();
        EXPECT_TRUE(told[0].contains("LibroGuardia no existe")) << told[0].toStdString();
    }
    EXPECT_EQ(log->keyCount(), before);
}

} // namespace
} // namespace interchange::testing
