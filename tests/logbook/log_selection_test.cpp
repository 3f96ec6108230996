// The log window's selection, deletion, block change and spreadsheet export
// over a real book, without the window.
#include "../interchange/cabrillo_home.h"

#include "logbook/block_change.h"
#include "logbook/log_columns.h"
#include "logbook/log_delete.h"
#include "logbook/log_filter.h"
#include "logbook/sheet_export.h"
#include "store/aliases.h"
#include "store/work_area.h"

#include <QProcess>

#include <map>

namespace logbook::testing {
namespace {

using interchange::testing::SessionHome;
using interchange::testing::TestMeter;

class LogSelection : public SessionHome {
protected:
    void SetUp() override
    {
        SessionHome::SetUp();
        if (HasFatalFailure())
            return;
        filterMemory() = FilterMemory{};
        // two days of a contest and an older QSO; what the filters look at varies
        put({{"CALL", "EA1ABC"}, {"DATE", "20240301"}, {"TIMEON", "23:59"}, {"BAND", "20M"}, {"MODE", "SSB"}, {"CODENT", " 89"}, {"CONT", "EU"}});
        put({{"CALL", "DL1EA"}, {"DATE", "20240302"}, {"TIMEON", "00:00"}, {"BAND", "40M"}, {"MODE", "CW"}, {"CODENT", "230"}, {"CONT", "EU"}, {"NOQSL", "T"}});
        put({{"CALL", "K1EAX"}, {"DATE", "20240302"}, {"TIMEON", "12:00"}, {"BAND", "20M"}, {"MODE", "CW"}, {"CODENT", "291"}, {"CONT", "NA"}, {"CQZ", " 5"}});
        put({{"CALL", "EA8ZZ"}, {"DATE", "20240302"}, {"TIMEON", "23:59"}, {"BAND", "2M"}, {"MODE", "FT8"}, {"CODENT", " 89"}, {"CONT", "AF"}, {"GRIDSQUARE", "IL18AB"}});
        put({{"CALL", "G4ABC"}, {"DATE", "20240303"}, {"TIMEON", "00:00"}, {"BAND", "20M"}, {"MODE", "SSB"}, {"CODENT", "223"}, {"CONT", "EU"}, {"QSLRCVD", "Y"}});
        put({{"CALL", "EA2OLD"}, {"DATE", "19990101"}, {"TIMEON", "10:00"}, {"BAND", "20M"}, {"MODE", "SSB"}, {"CODENT", " 89"}, {"CONT", "EU"}});
    }

    // Appends a QSO with these fields ("DATE" as yyyymmdd, logicals "T") and the next key.
    void put(const std::map<QString, QString>& fields)
    {
        ASSERT_TRUE(log->append([&](store::WorkArea& a) {
            for (const auto& [name, value] : fields) {
                if (name == "DATE")
                    a.put("QSODATE", QDate::fromString(value, "yyyyMMdd"));
                else if (name == "NOQSL")
                    a.put(name, value == "T");
                else
                    a.put(name, value);
            }
            return a.put("KEY", QStringLiteral("%1").arg(++keys, 7, 10, QLatin1Char('0')));
        }).isOk());
    }

    // The calls of the selection, in the tag's order.
    QStringList selected()
    {
        QStringList out;
        const QString order = QString::fromLatin1(log->orderName());
        log->setOrder(kSelectionTag);
        for (log->goTop(); !log->eof(); log->skip())
            out << log->str("CALL").trimmed();
        log->setOrder(order);
        return out;
    }

    FilterResult filter(const LogFilter& f, AddToPrevious add = AddToPrevious::No) { return LOGFIL(*log, f, nullptr, add); }

    store::WorkArea* area(const QString& alias) { return ws().area(alias); }

    int keys = 0;
};

TEST_F(LogSelection, EachFirstCriterionChoosesItsPassAndTheEndDayIsWhole)
{
    // only a start date: that day, from 00:00 to 23:59
    FilterResult r = filter({.from = QDate(2024, 3, 2)});
    EXPECT_TRUE(r.selected);
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(log->orderName().toLower(), "custom");
    EXPECT_EQ(log->str("CALL").trimmed(), "DL1EA") << "the selection's first QSO";
    EXPECT_EQ(selected(), QStringList({"DL1EA", "K1EAX", "EA8ZZ"}));
    EXPECT_EQ(msgs.take(), QStringList({"info:      3 registros seleccionados"}));

    // a range includes its end day
    EXPECT_EQ(filter({.from = QDate(2024, 3, 1), .until = QDate(2024, 3, 2), .mode = "CW"}).count, 2);
    // the band pass compares the whole code: 2M is not 20M
    EXPECT_EQ(filter({.band = "2M"}).count, 1);
    EXPECT_EQ(filter({.mode = "SSB"}).count, 3);
    EXPECT_EQ(filter({.mode = "SSB", .band = "20M"}).count, 3);
    // the entity pass with dates, and an entity given beside a continent still decides
    EXPECT_EQ(selected(), QStringList({"EA2OLD", "EA1ABC", "G4ABC"}));
    EXPECT_EQ(filter({.from = QDate(2024, 3, 1), .until = QDate(2024, 3, 2), .entity = "89"}).count, 2);
    EXPECT_EQ(filter({.continent = "AF", .entity = "89"}).count, 1);
    EXPECT_EQ(selected(), QStringList({"EA8ZZ"}));
    msgs.take();
}

TEST_F(LogSelection, TheRulesOfEachCriterion)
{
    // a call text anywhere in the call, not only at its start
    EXPECT_EQ(filter({.call = "EA"}).count, 5);
    EXPECT_FALSE(selected().contains("G4ABC"));
    EXPECT_EQ(filter({.cqZone = "5"}).count, 1);
    EXPECT_EQ(filter({.qslReceived = "SI"}).count, 1);
    EXPECT_EQ(filter({.locator = "il1"}).count, 1);
    EXPECT_EQ(filter({.continent = "EU", .exchange = 3}).count, 1);
    EXPECT_EQ(selected(), QStringList({"DL1EA"}));
    EXPECT_EQ(filter({.continent = "EU", .exchange = 2}).count, 3);
    msgs.take();
}

TEST_F(LogSelection, ASelectionIsNewOrAddedAsAnsweredAndEmptiedWhenRemoved)
{
    log->setOrder("Call");
    filter({.band = "40M"});
    msgs.take();
    // "No": a new selection
    msgs.answer(false);
    LOGFIL(*log, {.band = "2M"});
    EXPECT_EQ(selected(), QStringList({"EA8ZZ"}));
    EXPECT_EQ(msgs.take(), QStringList({"noYes: Desea que los registros de esta nueva selección se añadan a la consulta anterior? -> no",
                                        "info:      1 registros seleccionados"}));
    // "Si": added, and the count includes the earlier QSOs; one already there is not added twice
    msgs.answer(true);
    const FilterResult r = LOGFIL(*log, {.call = "EA8"}, nullptr);
    EXPECT_EQ(r.count, 1);
    msgs.answer(true);
    EXPECT_EQ(LOGFIL(*log, {.mode = "CW"}).count, 3);
    EXPECT_EQ(selected(), QStringList({"DL1EA", "K1EAX", "EA8ZZ"}));
    msgs.take();
    // the tag is the book's: another cursor of it sees the same selection
    store::WorkArea* qsl = area(store::alias::kLogQsl);
    qsl->setOrder(kSelectionTag);
    EXPECT_EQ(qsl->keyCount(), 3u);

    LOGRMVFIL(*log);
    EXPECT_EQ(selectionCount(*log), 0);
    EXPECT_EQ(log->orderName().toLower(), "call") << "back to the order before the first filter";
    EXPECT_TRUE(msgs.take().isEmpty());
}

TEST_F(LogSelection, AFilterMatchingNothingLeavesTheFirstOrderAndACancelGoesBack)
{
    log->setOrder("Band");
    const FilterResult r = filter({.call = "ZZZ"});
    EXPECT_FALSE(r.selected);
    EXPECT_EQ(r.count, 0);
    EXPECT_EQ(log->order(), 1);
    log->goTop();
    EXPECT_EQ(log->str("CALL").trimmed(), "EA2OLD");
    EXPECT_EQ(msgs.take(), QStringList({"alert: Ningún registro cumple la condicion de filtrado"}));

    // the dialog cancelled: the order to return to, on the record that was current
    log->setOrder("Mode");
    log->seek(store::Value::text(QStringLiteral("FT8")));
    const quint32 rec = log->recNo();
    const FilterStart start = beginFilter(*log);
    cancelFilter(*log, start);
    EXPECT_EQ(log->orderName().toLower(), "mode");
    EXPECT_EQ(log->recNo(), rec);
}

TEST_F(LogSelection, TheAdvancedFilterSetsAnExpressionOrSaysItIsNotValid)
{
    log->setOrder("Call");
    FilterStart start = beginFilter(*log);
    EXPECT_TRUE(applyAdvancedFilter(*log, "BAND = \"20M\" .AND. CONT = \"EU\"", start));
    QStringList calls;
    for (log->goTop(); !log->eof(); log->skip())
        calls << log->str("CALL").trimmed();
    EXPECT_EQ(calls, QStringList({"EA1ABC", "EA2OLD", "G4ABC"})) << "in the order to return to";

    start = beginFilter(*log);
    EXPECT_FALSE(applyAdvancedFilter(*log, "BAND = ", start));
    EXPECT_FALSE(applyAdvancedFilter(*log, "CALL", start)) << "not a condition";
    EXPECT_EQ(msgs.take(), QStringList({"stop: Exprsión de filtro no válida", "stop: Exprsión de filtro no válida"}));
    int n = 0;
    for (log->goTop(); !log->eof(); log->skip())
        ++n;
    EXPECT_EQ(n, 6) << "no filter is left behind";
}

TEST_F(LogSelection, DeletingTheLastQsoGoesToTheNewLastAndTakesItsAttachmentsAndReferences)
{
    store::WorkArea* attach = area(store::alias::kAttach);
    store::WorkArea* dpl = area(store::alias::kDplLog);
    for (const char* key : {"0000005", "0000005", "0000004"}) {
        ASSERT_TRUE(attach->append([&](store::WorkArea& a) { a.put("TYPE", "G"); return a.put("KEY", key); }).isOk());
        ASSERT_TRUE(dpl->append([&](store::WorkArea& a) { a.put("DPL", "DME"); return a.put("KEY", key); }).isOk());
    }
    filter({.mode = "SSB"});
    msgs.take();
    log->goBottom();
    ASSERT_EQ(log->str("CALL").trimmed(), "G4ABC");

    msgs.answer(false);
    EXPECT_FALSE(LOGDLT(*log));
    EXPECT_EQ(selectionCount(*log), 3);
    msgs.answer(true);
    EXPECT_TRUE(LOGDLT(*log));
    EXPECT_EQ(msgs.take(), QStringList({"noYes: Registro va a ser eliminado\r\n¿ Está seguro ? -> no",
                                        "noYes: Registro va a ser eliminado\r\n¿ Está seguro ? -> yes"}));
    EXPECT_EQ(log->str("CALL").trimmed(), "EA1ABC") << "the new last of the selection";
    EXPECT_EQ(selected(), QStringList({"EA2OLD", "EA1ABC"}));
    auto owned = [](store::WorkArea* a) {
        QStringList keys;
        a->setOrder(0);
        for (a->goTop(); !a->eof(); a->skip())
            keys << a->str("KEY");
        return keys;
    };
    EXPECT_EQ(owned(attach), QStringList({"0000004"}));
    EXPECT_EQ(owned(dpl), QStringList({"0000004"}));

    // a QSO in the middle: the cursor goes on to the one that followed it
    log->setOrder("QsoDateTimeOn");
    log->seek(store::Value::text(QStringLiteral("20240302")));
    msgs.answer(true);
    EXPECT_TRUE(LOGDLT(*log));
    EXPECT_EQ(log->str("CALL").trimmed(), "K1EAX");
}

TEST_F(LogSelection, ABlockChangeWritesOnlyTheFieldsGivenIntoTheSelection)
{
    filter({.mode = "CW"});
    msgs.take();
    log->goBottom();
    const quint32 current = log->recNo();

    EXPECT_TRUE(isEmpty(BlockChange{.freq = 0.0, .longPath = false, .comment = QString("  ")}));
    EXPECT_EQ(LOGCHGBLQ(*log, BlockChange{.comment = QString("")}).changed, 0);

    const std::vector<QByteArray> before = snapshot();
    TestMeter meter;
    const BlockChangeResult r = LOGCHGBLQ(*log, {.band = QString("80M"), .qslSentDate = QDate(2024, 4, 1)}, &meter);
    EXPECT_EQ(r.changed, 2);
    EXPECT_EQ(meter.total, 2);
    EXPECT_EQ(log->recNo(), current);
    const std::vector<QByteArray> after = snapshot();
    ASSERT_EQ(after.size(), before.size());
    // byte by byte: BAND and QSLSDATE of the two CW QSOs (records 3 and 4,
    // after the blank one a new book starts with), nothing else anywhere
    const store::DbfField& band = log->field(log->fieldPos("BAND"));
    const store::DbfField& sent = log->field(log->fieldPos("QSLSDATE"));
    for (size_t i = 0; i < after.size(); ++i) {
        QByteArray expected = before[i];
        if (i == 2 || i == 3) {
            expected.replace(int(band.offset), 6, "80M   ");
            expected.replace(int(sent.offset), 8, "20240401");
        }
        EXPECT_EQ(after[i], expected) << "record " << i + 1;
    }

    // a new date keeps the QSOs in the selection under their new keys
    LOGCHGBLQ(*log, {.qsoDate = QDate(2025, 1, 1), .noQsl = true});
    EXPECT_EQ(selectionCount(*log), 2);
    EXPECT_EQ(selected(), QStringList({"DL1EA", "K1EAX"}));
    LOGRMVFIL(*log);
    EXPECT_EQ(selectionCount(*log), 0);
}

TEST_F(LogSelection, BlockChangeFieldsAreReadByNameAndCheckedAsTheDialogOffersThem)
{
    BlockChange c;
    QString error;
    EXPECT_TRUE(setBlockChangeField(&c, "qslsent", "q", &error));
    EXPECT_EQ(c.qslSent, "Q");
    EXPECT_TRUE(setBlockChangeField(&c, "QSODATE", "20240229", &error));
    EXPECT_TRUE(setBlockChangeField(&c, "LP", "si", &error));
    EXPECT_FALSE(setBlockChangeField(&c, "QSODATE", "20230229", &error));
    EXPECT_EQ(error, "Fecha no válida para QSODATE: \"20230229\" (AAAAMMDD)");
    // the electronic confirmations offer only yes and no; the QSL route ends at the manager
    EXPECT_FALSE(setBlockChangeField(&c, "LOTWRCVD", "R", &error));
    EXPECT_FALSE(setBlockChangeField(&c, "QSLMODE", "O", &error));
    EXPECT_FALSE(setBlockChangeField(&c, "KEY", "0000001", &error));
    EXPECT_TRUE(error.startsWith("Campo desconocido en el cambio en bloque: \"KEY\""));
}

TEST_F(LogSelection, TheSpreadsheetHoldsTheRowsOfTheViewWithTypedCells)
{
    filter({.band = "20M", .cqZone = ""});
    msgs.take();
    log->goTop();
    log->skip();
    const quint32 current = log->recNo();
    ASSERT_TRUE(log->lockRecord().isOk());
    log->put("FREQ", 14.025);
    log->put("QSLRDATE", QDate(2024, 5, 6));
    log->put("NAME", "José");
    ASSERT_TRUE(log->unlock().isOk());

    const QString path = program + "hoja.xlsx";
    write("hoja.xlsx", "a file already there");
    TestMeter meter;
    const SheetResult r = exportSheet(path, *log, logColumns(), &meter);
    ASSERT_TRUE(r.written) << r.error.toStdString();
    EXPECT_EQ(r.rows, 4);
    EXPECT_EQ(log->recNo(), current);
    EXPECT_EQ(meter.texts.last(), "Enviando registro : 4/4");

    QProcess p;
    p.start("python3", {ORLANLOG_SOURCE_DIR "/tests/logbook/read_xlsx.py", path});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6) << p.readAllStandardError().toStdString();
    EXPECT_EQ(lines[0], "frozen=1");
    const QStringList headings = lines[1].split('\t');
    ASSERT_EQ(headings.size(), 30);
    EXPECT_EQ(headings[0], "bold:Fecha");
    EXPECT_EQ(headings[1], "bold:Hora Inicio");
    EXPECT_EQ(headings[29], "bold:Key");
    // the selection in its date order; dates as dates, numbers as numbers
    const QStringList second = lines[3].split('\t');
    EXPECT_EQ(second[0], "date:2024-03-01");
    EXPECT_EQ(second[3], "str:EA1ABC");
    EXPECT_EQ(second[4], "str:José");
    EXPECT_EQ(second[6], "num:14.025");
    EXPECT_EQ(second[10], "str:ESPAÑA");
    EXPECT_EQ(second[17], "date:2024-05-06");
    EXPECT_EQ(second[18], "");
    EXPECT_EQ(second[29], "str:0000001");
    QStringList calls;
    for (int i = 2; i < lines.size(); ++i)
        calls << lines[i].split('\t')[3];
    EXPECT_EQ(calls, QStringList({"str:EA2OLD", "str:EA1ABC", "str:K1EAX", "str:G4ABC"}));

    // cancelled: the file there before stays as it was
    const QString other = write("otra.xlsx", "kept");
    TestMeter stop;
    stop.cancelAfter = 0;
    EXPECT_TRUE(exportSheet(other, *log, logColumns(), &stop).cancelled);
    EXPECT_EQ(readAll(other), "kept");
}

TEST_F(LogSelection, TheGridColumnsShowTheComputedTexts)
{
    const std::vector<LogColumn> columns = logColumns();
    ASSERT_EQ(columns.size(), 30u);
    log->setOrder("Call");
    log->seek(store::Value::text(QStringLiteral("EA8ZZ")));
    ASSERT_TRUE(log->lockRecord().isOk());
    log->put("QRA", "IN80DO");
    log->put("QSLSENT", "Q");
    ASSERT_TRUE(log->unlock().isOk());
    EXPECT_EQ(columns[0].text(*log), "02-03-24");
    EXPECT_EQ(columns[13].heading, "Dist.");
    EXPECT_EQ(columns[13].text(*log).size(), 6);
    EXPECT_GT(columns[13].value(*log).toDouble(), 1500);
    EXPECT_EQ(columns[16].text(*log), "Cola");
    EXPECT_TRUE(columns[5].rightAligned);
}

} // namespace
} // namespace logbook::testing
