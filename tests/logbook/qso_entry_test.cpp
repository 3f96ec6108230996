// The rules of the QSO being entered or edited, over a real book.
#include "../interchange/cabrillo_home.h"
#include "../store/child_process.h"

#include "logbook/partial_calls.h"
#include "logbook/qso_entry.h"
#include "logbook/qso_values.h"
#include "store/aliases.h"
#include "store/work_area.h"

#include <QTimeZone>

#include <QFile>

#include <set>
#include <tuple>

namespace logbook::testing {
namespace {

using interchange::testing::SessionHome;
using store::Value;
using Saved = QsoEntry::Saved;

class QsoEntryTest : public SessionHome {
protected:
    store::WorkArea* log2() { return ws().area(store::alias::kLog2); }

    // the records Log2 shows from its top, as the previous-QSO window lists them
    QStringList log2Calls()
    {
        QStringList out;
        for (log2()->goTop(); !log2()->eof(); log2()->skip())
            out << log2()->str("CALL").trimmed();
        return out;
    }

    QString lastKeyField(const char* field)
    {
        log->setOrder(0);
        log->goBottom();
        return log->str(QString::fromLatin1(field)).trimmed();
    }

    const QDateTime now = QDateTime(QDate(2026, 12, 8), QTime(18, 30, 0), Qt::UTC);
};

TEST_F(QsoEntryTest, ANewQsoStartsFromTheLastOneAndTheDefaults)
{
    add({.call = "EA1ABC", .date = QDate(1998, 5, 2), .time = "21:07", .freq = 7.05, .band = "40M", .mode = "CW"});
    QsoEntry entry(log, {.realTime = false, .stationLocator = "IN80DO", .defaultOperator = "EA4OP"});
    entry.prepareNew(false, now);
    // an old paper log is typed in sequence: the date and time of the last QSO
    EXPECT_EQ(entry.buffer().get("QSODATE").toDate(), QDate(1998, 5, 2));
    EXPECT_EQ(entry.text("TIMEON"), "21:07");
    EXPECT_EQ(entry.text("MODE"), "CW");
    EXPECT_EQ(entry.text("BAND"), "40M");
    EXPECT_EQ(entry.text("FREQ"), "7.050");
    // what the last QSO lacks comes from the book and the station
    EXPECT_EQ(entry.text("OPERATOR"), "EA4OP");
    EXPECT_EQ(entry.text("QRA"), "IN80DO");
    EXPECT_EQ(entry.text("QSLSENT"), "N");
    EXPECT_EQ(entry.text("RSTSENT"), "599") << "the mode's default report";
    EXPECT_EQ(entry.text("KEY"), store::KEYGEN());

    entry.settings().realTime = true;
    entry.prepareNew(false, now);
    EXPECT_EQ(entry.buffer().get("QSODATE").toDate(), QDate(2026, 12, 8));
    EXPECT_EQ(entry.text("TIMEON"), "18:30");

    // a mode the mode table gives no report keeps both reports as typed
    entry.setText("RSTSENT", "57");
    entry.setText("RSTRCVD", "58");
    entry.setText("MODE", "NOSUCH");
    entry.modeChanged();
    EXPECT_EQ(entry.text("RSTSENT"), "57");
    EXPECT_EQ(entry.text("RSTRCVD"), "58");
    entry.setText("MODE", "SSB");
    entry.modeChanged();
    EXPECT_EQ(entry.text("RSTSENT"), "59");
}

TEST_F(QsoEntryTest, TypingACallNarrowsTheEarlierQsosAndDerivesTheEntity)
{
    for (const char* c : {"EA1ABC", "EA1ABD", "EA2XX", "F5ABC"})
        add({.call = c, .date = QDate(2024, 1, 1), .time = "10:00", .mode = "SSB"});
    QsoEntry entry(log);
    entry.prepareNew(false, now);
    QStringList seen;
    const QString call = "ea1abc";
    for (int n = 1; n <= call.size(); ++n) {
        entry.callTyped(call.left(n));
        seen << QString::number(log2Calls().size());
    }
    EXPECT_EQ(seen.join(' '), "3 3 2 2 2 1");
    EXPECT_EQ(entry.text("CALL"), "EA1ABC");
    EXPECT_EQ(entry.text("PFX"), "EA1");
    EXPECT_EQ(entry.text("CODENT"), codeOf("281").trimmed());
    EXPECT_EQ(entry.text("DXCC"), "281");
    EXPECT_EQ(entry.text("CONT"), "EU");
    EXPECT_EQ(entry.text("CQZ"), "14");
    EXPECT_EQ(entry.text("ITUZ"), "37");

    // a new QSO whose call begins with the last QSO's call is derived all the same
    add({.call = "K1", .date = QDate(2024, 1, 2), .time = "10:00", .mode = "SSB"});
    QsoEntry next(log);
    next.prepareNew(false, now);
    next.callTyped("K1ABC/KH6");
    EXPECT_EQ(next.text("DXCC"), "110") << "Hawaii, not the United States";
}

TEST_F(QsoEntryTest, AQsoStartedFromASpotKnowsTheStationWhateverTheEarlierQsosShowed)
{
    add({.call = "VK2ABC", .date = QDate(2023, 3, 1), .time = "08:00", .mode = "SSB"});
    log->setOrder(0);
    log->goBottom();
    log->lockRecord();
    log->put("NAME", "Bruce");
    log->unlock();
    store::WorkArea* spots = ws().area(store::alias::kSpots);
    if (!spots) {
        ASSERT_TRUE(store::NETUSE("spots", true, 1, store::alias::kSpots));
        spots = ws().area(store::alias::kSpots);
    }
    ASSERT_TRUE(spots->append([](store::WorkArea& s) {
        s.put("CALL", "VK2ABC");
        s.put("FREQ", 14.025);
        s.put("BAND", "20M");
        return s.put("MODE", "CW");
    }));
    spots->unlock();
    // the earlier-QSO list was left on other calls by the last QSO typed
    QsoEntry entry(log);
    entry.prepareNew(false, now);
    entry.callTyped("EA");
    entry.prepareNew(true, now);
    EXPECT_EQ(entry.text("CALL"), "VK2ABC");
    EXPECT_EQ(entry.text("BAND"), "20M");
    EXPECT_EQ(entry.text("MODE"), "CW");
    EXPECT_EQ(entry.text("RSTSENT"), "599");
    EXPECT_EQ(entry.text("NAME"), "Bruce");
    EXPECT_EQ(entry.text("CONT"), "OC");
    EXPECT_TRUE(entry.fromSpot());
}

TEST_F(QsoEntryTest, AnEditedCallKeepsItsEntityWhenOnlyAddedTo)
{
    add({.call = "EA1ABC", .date = QDate(2024, 1, 1), .time = "10:00", .mode = "SSB"});
    log->setOrder(0);
    log->goBottom();
    ASSERT_TRUE(log->lockRecord().isOk());
    log->put("CODENT", codeOf("281"));
    log->unlock();
    QsoEntry entry(log);
    entry.prepareEdit();
    entry.buffer().set("CODENT", Value::text(QStringLiteral("999")));   // a mark: derivation would replace it
    entry.callTyped("EA1ABC/P");
    EXPECT_EQ(entry.text("CODENT"), "999");
    entry.callTyped("F5ABC");
    EXPECT_EQ(entry.text("CODENT"), codeOf("227").trimmed());
    EXPECT_EQ(entry.text("PFX"), "F5");
}

TEST_F(QsoEntryTest, WhatIsKnownOfAStationComesFromItsFirstQsoAndTheNotes)
{
    add({.call = "DL1ABC", .date = QDate(2020, 1, 1), .time = "10:00", .mode = "SSB"});
    log->setOrder(0);
    log->goBottom();
    log->lockRecord();
    log->put("NAME", "Hans");
    log->put("GRIDSQUARE", "JO62QM");
    log->unlock();
    add({.call = "DL1ABC", .date = QDate(2021, 1, 1), .time = "10:00", .mode = "SSB"});
    if (!ws().area(store::alias::kKnow)) {
        ASSERT_TRUE(store::NETUSE("know", true, 1, store::alias::kKnow));
    }
    store::WorkArea* know = ws().area(store::alias::kKnow);
    ASSERT_TRUE(know->append([](store::WorkArea& k) {
        k.put("CALL", "DL1ABC");
        return k.put("NOTA", "Manda QSL directa");
    }));
    know->unlock();

    QsoEntry entry(log, {.realTime = true, .knownNotes = true});
    entry.prepareNew(false, now);
    entry.callTyped("DL1ABC");
    const QString note = entry.callLeft(now.addSecs(90));
    EXPECT_EQ(entry.text("TIMEON"), "18:31") << "the start time is taken when the call is left";
    EXPECT_EQ(entry.text("NAME"), "Hans");
    EXPECT_EQ(entry.text("GRIDSQUARE"), "JO62QM");
    EXPECT_EQ(note, QString(20, ' ') + "*** DL1ABC   Manda QSL directa" + QString(50 - 17, ' ') + "***");
    entry.settings().knownNotes = false;
    EXPECT_EQ(entry.callLeft(now), "");
}

TEST_F(QsoEntryTest, SavingWritesOnlyWhatChangedAndGivesEachNewQsoItsOwnKey)
{
    add({.call = "EA1ABC", .date = QDate(2024, 1, 1), .time = "10:00", .mode = "SSB"});
    const quint32 before = log->recCount();
    QsoEntry entry(log);
    entry.prepareNew(false, now);
    EXPECT_EQ(entry.save(now), Saved::NothingToWrite) << "an empty call writes nothing";
    EXPECT_EQ(log->recCount(), before);

    // two forms prepared at the same moment got the same key; the second save takes the next one
    QsoEntry other(log);
    other.prepareNew(false, now);
    ASSERT_EQ(entry.text("KEY"), other.text("KEY"));
    entry.callTyped("G4ABC");
    other.callTyped("ON4ABC");
    ASSERT_EQ(entry.save(now.addSecs(120)), Saved::Written);
    ASSERT_EQ(other.save(now), Saved::Written);
    EXPECT_NE(entry.text("KEY"), other.text("KEY"));
    EXPECT_EQ(log->recCount(), before + 2);
    EXPECT_EQ(lastKeyField("CALL"), "ON4ABC");
    EXPECT_TRUE(log->logical("EXPORT"));
    log->setOrder(0);
    log->goTo(before + 1);
    EXPECT_EQ(log->str("TIMEOFF"), "18:32");

    // an edit that changes nothing leaves EXPORT as it was
    ASSERT_TRUE(log->lockRecord().isOk());
    log->put("EXPORT", false);
    log->unlock();
    QsoEntry edit(log);
    edit.prepareEdit();
    EXPECT_EQ(edit.save(now), Saved::NothingToWrite);
    EXPECT_FALSE(log->logical("EXPORT"));
    edit.setText("NAME", "Pete");
    EXPECT_EQ(edit.save(now), Saved::Written);
    EXPECT_TRUE(log->logical("EXPORT"));
    EXPECT_EQ(log->str("NAME").trimmed(), "Pete");
}

TEST_F(QsoEntryTest, AnEditWhoseRecordAnotherProgramHoldsIsNotWritten)
{
    add({.call = "EA1ABC", .date = QDate(2024, 1, 1), .time = "10:00", .mode = "SSB"});
    log->setOrder(0);
    log->goBottom();
    const quint32 rec = log->recNo();
    const QString path = log->table().path();
    int toChild[2], fromChild[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(fromChild), 0);
    const pid_t kid = store::testing::spawn([&] {
        store::Workspace w;
        store::WorkArea* a = nullptr;
        if (!w.use(path, {.alias = "Other"}, &a) || !a->goTo(rec) || !a->lockRecord())
            return 2;
        store::testing::writeLine(fromChild[1], "locked");
        store::testing::readLine(toChild[0]);
        return 0;
    });
    ASSERT_EQ(store::testing::readLine(fromChild[0]), "locked");
    QsoEntry edit(log);
    edit.prepareEdit();
    edit.setText("NAME", "Nadie");
    EXPECT_EQ(edit.save(now), Saved::Refused);
    store::testing::writeLine(toChild[1], "done");
    EXPECT_EQ(store::testing::waitExit(kid), 0);
    EXPECT_TRUE(msgs.log().contains("alert: Record in use")) << msgs.log().join('\n').toStdString();
    log->goTo(rec);
    EXPECT_TRUE(log->str("NAME").trimmed().isEmpty());
}

TEST_F(QsoEntryTest, QsosGivenAsTextsAreCheckedAndEnteredAsTyped)
{
    QsoEntry entry(log, {.realTime = false});
    QString key, error;
    QsoValues v{.call = "ea3xyz", .date = "20240315", .time = "09:41", .freq = "14.074", .mode = "ft8"};
    ASSERT_TRUE(enterQso(entry, v, &key, &error)) << error.toStdString();
    EXPECT_EQ(lastKeyField("KEY"), key);
    EXPECT_EQ(lastKeyField("CALL"), "EA3XYZ");
    EXPECT_EQ(lastKeyField("BAND"), "20M");
    EXPECT_EQ(lastKeyField("MODE"), "FT8");
    EXPECT_EQ(lastKeyField("DXCC"), "281");
    EXPECT_EQ(lastKeyField("TIMEON"), "09:41");

    const quint32 count = log->recCount();
    for (auto [field, bad, why] : {std::tuple{&QsoValues::date, "2024-03-15", "Fecha no válida"},
                                   std::tuple{&QsoValues::time, "9.41", "Hora no válida"},
                                   std::tuple{&QsoValues::freq, "catorce", "Frecuencia no válida"},
                                   std::tuple{&QsoValues::mode, "SSTV2", "Modo desconocido"},
                                   std::tuple{&QsoValues::call, "EA3 XYZ", "Indicativo no válido"},
                                   std::tuple{&QsoValues::grid, "ZZ99", "Locator erroneo"}}) {
        QsoValues w = v;
        w.*field = bad;
        EXPECT_FALSE(enterQso(entry, w, &key, &error)) << bad;
        EXPECT_TRUE(error.startsWith(why)) << error.toStdString();
    }
    EXPECT_EQ(log->recCount(), count) << "a wrong value writes nothing";
}

TEST_F(QsoEntryTest, KnownCallsContainingWhatIsTypedComeFromTheListAndTheBook)
{
    const QString scp = program + "MASTER.SCP";
    QFile f(scp);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# a comment line\nEA3ABC\nDL3ABC\nK3AB\nea3abc\n\nW1XYZ\n");
    f.close();
    add({.call = "AB3ABX", .date = QDate(2024, 1, 1), .time = "10:00", .mode = "SSB"});
    PartialCalls calls;
    ASSERT_TRUE(calls.loadList(masterScpPath())) << "the program home's own list comes first";
    calls.addBook(log);
    EXPECT_EQ(calls.size(), 5) << "comments and repeats are not calls";
    EXPECT_EQ(calls.matching("3ab").join(' '), "AB3ABX DL3ABC EA3ABC K3AB");
    EXPECT_EQ(calls.matching("ab").join(' '), "AB3ABX DL3ABC EA3ABC K3AB") << "those beginning with it first";
    EXPECT_EQ(calls.matching("k3").join(' '), "K3AB");
    EXPECT_TRUE(calls.matching("3").isEmpty()) << "one character proposes nothing";
    EXPECT_EQ(calls.matching("3ab", 2).size(), 2);
    calls.add("on3abz");
    EXPECT_TRUE(calls.matching("3AB").contains("ON3ABZ"));
    EXPECT_FALSE(calls.loadList(program + "none.scp"));
}

} // namespace
} // namespace logbook::testing
