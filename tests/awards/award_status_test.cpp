// The award status: what a QSO adds to a cell, the totals, the five-band and
// total columns, the entity sets, awards over reference lists, and the
// status table and command-line lines made from it.
#include "award_home.h"

#include "awards/cell_qsos.h"

#include <algorithm>
#include <random>

namespace awards::testing {
namespace {

using Award = AwardHome;

TEST_F(Award, ConfirmationIsNeverLoweredToWorkedWhateverTheOrderOfTheQsos)
{
    const AwardDef def = award("DXCC", {"20M", "40M"}, {"SSB"});
    spain("20M", "SSB", "N");
    spain("20M", "SSB", "Y");
    spain("20M", "SSB", "N");   // a later unconfirmed QSO
    AwardStatus s = compute(def);
    EXPECT_EQ(cells(s, "ESPAÑA", "SSB"), (QStringList{"C", "", "C"}));
    EXPECT_EQ(trimmed(cells(s, kWorkedTotals, "SSB")), (QStringList{"1", "0", "1"}));
    EXPECT_EQ(trimmed(cells(s, kConfirmedTotals, "SSB")), (QStringList{"1", "0", "1"}));
    EXPECT_EQ(s.qsos, 3);

    // the same QSOs, confirmed one first
    log->goTop();
    for (log->goTop(); !log->eof(); log->skip()) {
        log->lockRecord();
        log->deleteRecord();
        log->unlock();
    }
    spain("20M", "SSB", "Y");
    spain("20M", "SSB", "N");
    const AwardStatus reversed = compute(def);
    EXPECT_EQ(statusLines(reversed), statusLines(s));
}

TEST_F(Award, TheResultDoesNotDependOnTheOrderOfTheQsos)
{
    struct Q { const char *call, *band, *mode, *codent, *dxcc, *qsl; };
    std::vector<Q> qsos = {{"EA4ZZ", "20M", "SSB", " 89", "281", "N"}, {"DL1AA", "20M", "SSB", "225", "230", "Y"},
                           {"EA5AA", "40M", "CW", " 89", "281", "Y"},  {"DL2BB", "40M", "CW", "225", "230", "N"},
                           {"EA4ZZ", "20M", "SSB", " 89", "281", "Y"}, {"DL1AA", "40M", "RTTY", "225", "230", "N"},
                           {"EA1BB", "20M", "FT8", " 89", "281", "Y"}, {"DL3CC", "20M", "FT8", "225", "230", "N"}};
    AwardDef def = award("DXCC", {"20M", "40M"}, {"SSB", "CW"});
    def.digital = true;
    def.fiveBands = true;
    QStringList first;
    std::mt19937 shuffle(7);
    for (int round = 0; round < 4; ++round) {
        for (log->goTop(); !log->eof(); log->skip()) {
            log->lockRecord();
            log->deleteRecord();
            log->unlock();
        }
        std::shuffle(qsos.begin(), qsos.end(), shuffle);
        for (const Q& q : qsos)
            qso({{"CALL", q.call}, {"BAND", q.band}, {"MODE", q.mode}, {"CODENT", q.codent}, {"DXCC", q.dxcc}, {"QSLRCVD", q.qsl}});
        const QStringList lines = statusLines(compute(def));
        if (round == 0)
            first = lines;
        else
            EXPECT_EQ(lines, first) << "round " << round;
    }
    // ordinary rows by description, then the totals rows
    ASSERT_EQ(first.size(), 6 + 6);
    EXPECT_TRUE(first[0].startsWith(QStringLiteral("230\tALEMANIA\tCW\t\tT\t\tT"))) << first[0].toStdString();
    EXPECT_TRUE(first[4].startsWith(QStringLiteral("281\tESPAÑA\tDIG\tC\t\t")));
    EXPECT_TRUE(first[6].startsWith(QStringLiteral("zzz\t·Trabajados\tCW")));
    EXPECT_EQ(first[11], QStringLiteral("zzz\t··Confirmados\tSSB\t2\t0\t0\t2"));
}

TEST_F(Award, LocatorsOfOneSquareCountAsOneReference)
{
    const AwardDef def = award("GRIDSQUARE", {"2M", "70CM"}, {"FM"});
    qso({{"CALL", "EA3AA"}, {"BAND", "2M"}, {"MODE", "FM"}, {"GRIDSQUARE", "JN11AA"}});
    qso({{"CALL", "EA3BB"}, {"BAND", "2M"}, {"MODE", "FM"}, {"GRIDSQUARE", "jn11bb"}, {"QSLRCVD", "Y"}});
    qso({{"CALL", "EA3CC"}, {"BAND", "2M"}, {"MODE", "FM"}, {"GRIDSQUARE", ""}});   // no reference: not counted
    const AwardStatus s = compute(def);
    ASSERT_EQ(s.rows.size(), 3u);
    EXPECT_EQ(s.rows[0].ref, QByteArray("JN11    "));
    EXPECT_EQ(s.rows[0].cells, (QStringList{"C", "", "C"}));
    EXPECT_EQ(trimmed(cells(s, kWorkedTotals, "FM")), (QStringList{"1", "0", "1"}));

    // the QSOs behind the cell are both of the square
    const std::vector<quint32> behind = DPLDETALLE(def, {s.rows[0].ref, "FM", "2M"}, sessionBook());
    EXPECT_EQ(behind.size(), 2u);
}

TEST_F(Award, EveryDigitalModeFallsInTheDigitalRow)
{
    AwardDef def = award("DXCC", {"20M", "40M"}, {"CW"});
    def.digital = true;
    spain("20M", "RTTY");
    spain("40M", "PSK31", "Y");
    spain("20M", "CW");
    spain("20M", "SSB");        // neither a chosen mode nor digital
    const AwardStatus s = compute(def);
    EXPECT_EQ(cells(s, "ESPAÑA", "DIG"), (QStringList{"T", "C", "C"}));
    EXPECT_EQ(cells(s, "ESPAÑA", "CW"), (QStringList{"T", "", "T"}));
    EXPECT_EQ(row(s, "ESPAÑA", "SSB"), nullptr);
    EXPECT_EQ(row(s, "ESPAÑA", "RTTY"), nullptr);
    EXPECT_EQ(s.qsos, 3);
    // the cell list of the digital row takes every digital mode
    EXPECT_EQ(DPLDETALLE(def, {"281", "DIG", ""}, sessionBook()).size(), 2u);

    // mixed: every mode in one row
    def.mixed = true;
    const AwardStatus mixed = compute(def);
    EXPECT_EQ(cells(mixed, "ESPAÑA", "MIXED"), (QStringList{"T", "C", "C"}));
}

TEST_F(Award, FiveBandsAndTotalsCountConfirmedBeforeWorked)
{
    AwardDef def = award("DXCC", {"160M", "80M", "40M", "20M", "15M", "10M"}, {"CW"});
    def.fiveBands = true;
    for (const char* b : {"160M", "80M", "40M", "20M", "15M"})
        spain(b, "CW", "Y");
    // Germany: four confirmed and one worked
    for (const char* b : {"160M", "80M", "40M", "20M"})
        qso({{"CALL", "DL1AA"}, {"BAND", b}, {"MODE", "CW"}, {"CODENT", "225"}, {"DXCC", "230"}, {"QSLRCVD", "Y"}});
    qso({{"CALL", "DL1AA"}, {"BAND", "10M"}, {"MODE", "CW"}, {"CODENT", "225"}, {"DXCC", "230"}});
    // Canada: worked once only
    qso({{"CALL", "VE3AA"}, {"BAND", "20M"}, {"MODE", "CW"}, {"CODENT", "  1"}, {"DXCC", "001"}});
    const AwardStatus s = compute(def);
    EXPECT_EQ(s.columns(), (QStringList{"160M", "80M", "40M", "20M", "15M", "10M", "CincoB", "Total"}));
    EXPECT_EQ(cells(s, "ESPAÑA", "CW").mid(6), (QStringList{"C", "C"}));
    EXPECT_EQ(cells(s, "ALEMANIA", "CW").mid(6), (QStringList{"T", "C"}));
    EXPECT_EQ(cells(s, "CANADA", "CW").mid(6), (QStringList{"", "T"}));
    EXPECT_EQ(trimmed(cells(s, kWorkedTotals, "CW")), (QStringList{"2", "2", "2", "3", "1", "1", "2", "3"}));
    EXPECT_EQ(trimmed(cells(s, kConfirmedTotals, "CW")), (QStringList{"2", "2", "2", "2", "1", "0", "1", "2"}));

    // one band: neither column
    const AwardStatus single = compute(award("DXCC", {"20M"}, {"CW"}));
    EXPECT_EQ(single.columns(), QStringList{"20M"});
}

TEST_F(Award, EntitySetsFollowTheSituationOfTheEntity)
{
    const AwardDef def = award("DXCC", {"20M"}, {"CW"});
    spain("20M", "CW");
    qso({{"CALL", "A1AA"}, {"BAND", "20M"}, {"MODE", "CW"}, {"CODENT", "  2"}, {"DXCC", "002"}});
    auto names = [&](EntitySet set) {
        QStringList n;
        for (const StatusRow& r : compute(def, set).rows)
            if (!r.totals)
                n << r.desc.trimmed();
        return n;
    };
    EXPECT_EQ(names(EntitySet::All), (QStringList{"ESPAÑA", "ISLAS ABU AIL"}));
    EXPECT_EQ(names(EntitySet::Active), QStringList{"ESPAÑA"});
    EXPECT_EQ(names(EntitySet::Deleted), QStringList{"ISLAS ABU AIL"});

    // an award limited to entities counts only theirs; all blank counts every one
    AwardDef limited = def;
    limited.entities = {"  2"};
    EXPECT_EQ(compute(limited).rows.size(), 1u + 2u);
}

TEST_F(Award, ANonStandardAwardCountsTheReferencesAttachedToQsos)
{
    AwardDef def = award("PROVEA", {"20M", "40M"}, {"SSB"});
    def.noStandard = true;
    attach(spain("20M", "SSB", "Y"), "PROVEA", "M");
    const QString second = spain("40M", "SSB");
    attach(second, "PROVEA", "B");
    attach(second, "PROVEA", "M");          // only the first reference of a QSO counts
    attach(spain("40M", "SSB"), "OTRA", "X");   // another list
    spain("20M", "SSB");                    // no reference
    const AwardStatus s = compute(def);
    EXPECT_EQ(s.columns(), (QStringList{"20M", "40M"}));
    ASSERT_EQ(s.rows.size(), 4u) << statusLines(s).join(u'\n').toStdString();
    EXPECT_EQ(s.rows[0].desc, QStringLiteral("B         -Barcelona"));
    EXPECT_EQ(s.rows[0].cells, (QStringList{"", "T"}));
    EXPECT_EQ(s.rows[1].desc, QStringLiteral("M         -Madrid   "));
    EXPECT_EQ(s.rows[1].cells, (QStringList{"C", ""}));
    EXPECT_EQ(s.rows[2].ref, QByteArray(10, 'z'));
    EXPECT_EQ(s.qsos, 2);
    // the QSOs behind a cell are those carrying the reference
    EXPECT_EQ(DPLDETALLE(def, {"M         ", "SSB", "20M"}, sessionBook()).size(), 1u);
    EXPECT_TRUE(DPLDETALLE(def, {"M         ", "SSB", "40M"}, sessionBook()).size() == 1u);
}

TEST_F(Award, ProvincesAreNamedByTheFirstOfTheAwardsEntitiesThatKnowsThem)
{
    AwardDef def = award("CODPRV", {"20M", "40M"}, {"SSB"});
    def.entities = {"225", " 89"};     // Germany has no provinces in the table, Spain has
    qso({{"CALL", "EA4AA"}, {"BAND", "20M"}, {"MODE", "SSB"}, {"CODENT", " 89"}, {"CODPRV", "M"}});
    qso({{"CALL", "EA4BB"}, {"BAND", "40M"}, {"MODE", "SSB"}, {"CODENT", " 89"}, {"CODPRV", "QQ"}});
    qso({{"CALL", "W1AA"}, {"BAND", "20M"}, {"MODE", "SSB"}, {"CODENT", "291"}, {"CODPRV", "MA"}});   // not an entity of the award
    const AwardStatus s = compute(def);
    QStringList names;
    for (const StatusRow& r : s.rows)
        if (!r.totals)
            names << r.desc;
    EXPECT_EQ(names, (QStringList{"(M) Madrid", "(QQ) "}));
    // the QSOs behind the Madrid cell, and none of another entity with the same code
    qso({{"CALL", "DL1AA"}, {"BAND", "20M"}, {"MODE", "SSB"}, {"CODENT", "230"}, {"CODPRV", "M"}});
    EXPECT_EQ(DPLDETALLE(def, {"M   ", "SSB", "20M"}, sessionBook()).size(), 1u);
    EXPECT_EQ(DPLDETALLE(def, {"M   ", "SSB", ""}, sessionBook()).size(), 1u);
    EXPECT_TRUE(DPLDETALLE(def, {"M   ", "CW", "20M"}, sessionBook()).empty());
}

TEST_F(Award, TheStatusTableHoldsTheRowsInTheViewsOrder)
{
    AwardDef def = award("TENTEN", {"10M", "20M"}, {"SSB"});
    qso({{"CALL", "W1AA"}, {"BAND", "10M"}, {"MODE", "SSB"}, {"TENTEN", "1234"}, {"QSLRCVD", "Y"}});
    qso({{"CALL", "W1BB"}, {"BAND", "10M"}, {"MODE", "SSB"}, {"TENTEN", "77"}});
    qso({{"CALL", "W1CC"}, {"BAND", "10M"}, {"MODE", "SSB"}, {"TENTEN", "0"}});   // no number: not counted
    const AwardStatus s = compute(def);
    ASSERT_EQ(s.rows.size(), 4u);
    EXPECT_EQ(s.rows[0].ref, QByteArray("  77"));
    EXPECT_EQ(s.rows[1].ref, QByteArray("1234"));

    const QString path = data + QStringLiteral("Dpl.dbf");
    ASSERT_TRUE(fillStatusTable(s, path).isOk());
    store::WorkArea* dpl = nullptr;
    ASSERT_TRUE(ws().use(path, {.alias = "DplCheck"}, &dpl).isOk());
    EXPECT_EQ(dpl->field(0).len, 4);
    ASSERT_TRUE(dpl->setOrder(QStringLiteral("Desc")).isOk());
    QStringList seen;
    for (dpl->goTop(); !dpl->eof(); dpl->skip())
        seen << dpl->str("DESC").trimmed() + u'/' + dpl->str("10M").trimmed() + u'/' + dpl->str("TOTAL").trimmed();
    EXPECT_EQ(seen, (QStringList{"77/T/T", "1234/C/C", "·Trabajados/2/2", "··Confirmados/1/1"}));
}

TEST_F(Award, AFieldTheLogDoesNotHaveIsRefused)
{
    AwardStatus s;
    QString error;
    EXPECT_FALSE(computeAward(award("PROVEA", {"20M"}, {"SSB"}), EntitySet::All, sessionBook(), &s, &error));
    EXPECT_EQ(error, badFieldMessage());
}

TEST_F(Award, DefinitionsAreReadWrittenAndTheirCodesChecked)
{
    AwardDef def;
    ASSERT_TRUE(findDefinition(QStringLiteral("dxccinfo"), &def));
    EXPECT_EQ(def.field, QStringLiteral("DXCC"));
    EXPECT_TRUE(def.bands.contains(QStringLiteral("20M")));
    EXPECT_TRUE(def.digital);
    EXPECT_FALSE(findDefinition(QStringLiteral("NADA"), &def));

    store::WorkArea* cfg = nullptr;
    ASSERT_TRUE(ws().use(QStringLiteral("DplCfg"), {.alias = "DplCfgEdit"}, &cfg).isOk());
    EXPECT_FALSE(CHK(*cfg, QStringLiteral("waz")));
    ASSERT_EQ(msgs.log().size(), 1);
    EXPECT_TRUE(msgs.log().last().contains(QStringLiteral("WAZ ya esta dado de alta")));
    EXPECT_TRUE(CHK(*cfg, QStringLiteral("NUEVO")));

    AwardDef mine = award("IOTA", {"20M", "20M", "40M"}, {"CW"});
    mine.code = QStringLiteral("ISLAS");
    mine.entities = {"89"};
    ASSERT_TRUE(cfg->append().isOk());
    writeDefinition(*cfg, mine);
    ASSERT_TRUE(cfg->unlock().isOk());
    AwardDef back;
    ASSERT_TRUE(findDefinition(QStringLiteral("ISLAS"), &back));
    EXPECT_EQ(back.entities, QStringList{" 89"});
    EXPECT_EQ(back.bands, (QStringList{"20M", "40M"}));

    EXPECT_EQ(DPLDES(QStringLiteral("PROVEA"), QStringLiteral("M")).trimmed(), QStringLiteral("Madrid"));
    EXPECT_EQ(DPLDES(QStringLiteral("PROVEA"), QStringLiteral("ZZ")), QString(60, u' '));
    EXPECT_EQ(fieldLabel(QStringLiteral("GRIDSQUARE")), QStringLiteral("Locator"));
}

} // namespace
} // namespace awards::testing
