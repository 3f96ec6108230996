// The entity panel's status: card and electronic confirmations in a cell,
// with and without LOTWCFM, the call's own cells, the recomputation only on a
// change of entity, and the QSOs behind a cell.
#include "award_home.h"

#include "awards/entity_status.h"
#include "awards/previous_qsos.h"

#include <algorithm>
#include <cstring>

namespace awards::testing {
namespace {

using EntityPanel = AwardHome;

QStringList panelCells(const EntityPanelState& p, const QString& mode)
{
    for (const EntityRow& r : p.status().rows)
        if (r.mode == mode)
            return r.cells;
    return {QStringLiteral("<no row>")};
}

int column(const EntityPanelState& p, const char* band)
{
    return int(p.status().def.bands.indexOf(QString::fromLatin1(band)));
}

TEST_F(EntityPanel, ElectronicConfirmationShowsAsLUnlessItCountsAsConfirmation)
{
    spain("20M", "SSB", "N", "Y");     // electronic only
    spain("20M", "SSB", "N", "N");     // a later unconfirmed QSO changes nothing
    spain("40M", "SSB", "Y", "Y");     // both
    spain("15M", "SSB", "Y", "N");     // card only
    spain("10M", "SSB", "N", "N");     // worked
    EntityPanelState panel;
    EXPECT_EQ(panel.DPLVIS(QStringLiteral("89")), 5);
    QStringList c = panelCells(panel, "SSB");
    EXPECT_EQ(c[column(panel, "20M")], "L");
    EXPECT_EQ(c[column(panel, "40M")], "CL");
    EXPECT_EQ(c[column(panel, "15M")], "C");
    EXPECT_EQ(c[column(panel, "10M")], "T");
    EXPECT_EQ(c[column(panel, "80M")], "");

    setLotwConfirms(true);
    EXPECT_EQ(panel.DPLVIS(QStringLiteral(" 89"), true), 5);
    c = panelCells(panel, "SSB");
    EXPECT_EQ(c[column(panel, "20M")], "C");
    EXPECT_EQ(c[column(panel, "40M")], "C");
    EXPECT_EQ(c[column(panel, "10M")], "T");
}

TEST_F(EntityPanel, ACellIsTheSameWhateverTheOrderOfItsQsos)
{
    // card and electronic confirmations on one band and mode, in every order
    struct Q { const char *qsl, *lotw; };
    const std::vector<std::pair<std::vector<Q>, QString>> cases = {
        {{{"N", "Y"}, {"N", "N"}}, "L"},
        {{{"Y", "N"}, {"N", "Y"}}, "CL"},
        {{{"Y", "N"}, {"N", "N"}}, "C"},
        {{{"N", "N"}, {"N", "N"}}, "T"},
        {{{"N", "Y"}, {"Y", "N"}, {"N", "N"}}, "CL"},
    };
    for (const auto& [qsos, expected] : cases) {
        std::vector<Q> order = qsos;
        std::sort(order.begin(), order.end(), [](const Q& a, const Q& b) { return std::strcmp(a.qsl, b.qsl) < 0 || (std::strcmp(a.qsl, b.qsl) == 0 && std::strcmp(a.lotw, b.lotw) < 0); });
        do {
            for (log->goTop(); !log->eof(); log->skip()) {
                log->lockRecord();
                log->deleteRecord();
                log->unlock();
            }
            for (const Q& q : order)
                spain("20M", "SSB", q.qsl, q.lotw);
            EntityPanelState panel;
            panel.DPLVIS(QStringLiteral(" 89"));
            EXPECT_EQ(panelCells(panel, "SSB")[column(panel, "20M")], expected) << expected.toStdString();
        } while (std::next_permutation(order.begin(), order.end(), [](const Q& a, const Q& b) {
            return std::strcmp(a.qsl, b.qsl) < 0 || (std::strcmp(a.qsl, b.qsl) == 0 && std::strcmp(a.lotw, b.lotw) < 0);
        }));
    }
}

TEST_F(EntityPanel, RecomputesOnlyWhenTheEntityChangesAndMarksTheCallsCells)
{
    spain("20M", "SSB", "N", "N", "EA4ZZ");
    spain("40M", "CW", "N", "N", "EA4ZZ");
    spain("20M", "RTTY", "N", "N", "EA5YY");
    spain("40M", "FT8", "N", "N", "EA4ZZ");
    EntityPanelState panel;
    EXPECT_EQ(panel.DPLVIS(QStringLiteral(" 89")), 4);
    EXPECT_EQ(panel.DPLVIS(QStringLiteral(" 89")), 0);      // the same entity: nothing recomputed
    panel.DPLCALL(QStringLiteral("ea4zz "));
    auto worked = [&](const char* mode, const char* band) {
        for (const EntityRow& r : panel.status().rows)
            if (r.mode == QLatin1String(mode))
                return bool(r.worked[size_t(column(panel, band))]);
        return false;
    };
    EXPECT_TRUE(worked("SSB", "20M"));
    EXPECT_TRUE(worked("CW", "40M"));
    EXPECT_TRUE(worked("DIG", "40M"));      // FT8 counts in the digital row
    EXPECT_FALSE(worked("DIG", "20M"));     // RTTY there was another call
    EXPECT_FALSE(worked("SSB", "40M"));
    panel.DPLCALL(QStringLiteral("EA4"));   // three characters: nothing marked
    EXPECT_FALSE(worked("SSB", "20M"));

    // the cell of a QSO's band and mode
    const auto [row, col] = panel.position(QStringLiteral("40M"), QStringLiteral("PSK31"));
    ASSERT_GE(row, 0);
    EXPECT_EQ(panel.status().rows[size_t(row)].mode, QStringLiteral("DIG"));
    EXPECT_EQ(col, column(panel, "40M"));

    // an entity without QSOs, and none at all
    EXPECT_EQ(panel.DPLVIS(QStringLiteral("225")), 0);
    EXPECT_TRUE(panel.status().rows.empty());
    EXPECT_EQ(panel.DPLVIS(QStringLiteral("  0")), 0);
    EXPECT_TRUE(panel.status().rows.empty());
}

TEST_F(EntityPanel, WithoutItsDefinitionThePanelUsesTheDefaultOne)
{
    store::WorkArea* cfg = nullptr;
    ASSERT_TRUE(ws().use(QStringLiteral("DplCfg"), {.alias = "DplCfgEdit"}, &cfg).isOk());
    for (cfg->goTop(); !cfg->eof(); cfg->skip())
        if (cfg->str("CODDPL").trimmed() == kEntityPanelCode) {
            cfg->lockRecord();
            cfg->deleteRecord();
            cfg->unlock();
        }
    spain("20M", "CW");
    EntityPanelState panel;
    EXPECT_EQ(panel.DPLVIS(QStringLiteral(" 89")), 1);
    EXPECT_FALSE(panel.status().definitionFound);
    EXPECT_EQ(panel.status().def.bands, defaultEntityPanelDefinition().bands);
}

TEST_F(EntityPanel, TheQsosBehindACellAndHowManyAreConfirmed)
{
    spain("20M", "SSB", "Y");
    spain("20M", "SSB", "N", "Y");
    spain("20M", "SSB");
    spain("40M", "SSB");
    spain("20M", "PSK31");
    CellList l = DXCCWRKD(QStringLiteral(" 89"), QStringLiteral("SSB"), QStringLiteral("20M"), sessionBook());
    EXPECT_EQ(l.records.size(), 3u);
    EXPECT_EQ(l.confirmed, 1);
    EXPECT_EQ(entityCellTitle(QStringLiteral("ESPAÑA"), "20M", "SSB", l),
              QStringLiteral("ESPAÑA 20M SSB Trabjados 3 , Confirmados 1  33.33%"));
    setLotwConfirms(true);
    EXPECT_EQ(DXCCWRKD(QStringLiteral(" 89"), QStringLiteral("SSB"), QStringLiteral("20M"), sessionBook()).confirmed, 2);
    EXPECT_EQ(DXCCWRKD(QStringLiteral(" 89"), QStringLiteral("SSB"), QString(), sessionBook()).records.size(), 4u);
    EXPECT_EQ(DXCCWRKD(QStringLiteral(" 89"), QStringLiteral("DIG"), QStringLiteral("20"), sessionBook()).records.size(), 1u);
}

TEST_F(EntityPanel, PreviousQsoSearchIsPartialOrByTheBeginningOfTheCall)
{
    for (const char* call : {"DD1AA", "EA4DD", "DL5DDX", "DA0XX", "DD9ZZ"})
        qso({{"CALL", call}, {"BAND", "20M"}, {"MODE", "SSB"}});
    store::WorkArea* log2 = ws().area(store::alias::kLog2);
    ASSERT_NE(log2, nullptr);
    auto listed = [&] {
        QStringList calls;
        for (log2->goTop(); !log2->eof(); log2->skip())
            calls << log2->str("CALL").trimmed();
        return calls;
    };
    ACTQSOANT(*log2, QStringLiteral("dd"), true);
    EXPECT_EQ(listed(), (QStringList{"DD1AA", "DD9ZZ", "DL5DDX", "EA4DD"}));
    ACTQSOANT(*log2, QStringLiteral("DD"), false);
    EXPECT_EQ(listed(), (QStringList{"DD1AA", "DD9ZZ"}));
    ACTQSOANT(*log2, QStringLiteral("D?1"), true);     // the user's own wildcards
    EXPECT_EQ(listed(), QStringList{"DD1AA"});
    ACTQSOANT(*log2, QStringLiteral("Q"), true);
    EXPECT_TRUE(listed().isEmpty());

    EXPECT_TRUE(wildcardMatch("EA4DD", "*DD*"));
    EXPECT_TRUE(wildcardMatch("EA4DD", "*"));
    EXPECT_FALSE(wildcardMatch("EA4DD", "*DX*"));
    EXPECT_TRUE(wildcardMatch("EA4DD", "E*4?D"));
}

TEST_F(EntityPanel, TheInformationPanelMeasuresFromTheQsosOwnLocator)
{
    // the QSO's own locator, not the station's, and the entity's locator for a QSO without one
    const InfoPanel p = infoFromQso(QStringLiteral(" 89"), QString(), QStringLiteral("JO51AA"));
    EXPECT_EQ(p.entityName, QStringLiteral("ESPAÑA"));
    EXPECT_EQ(p.farLocator, QStringLiteral("IN80GH"));
    EXPECT_EQ(p.cqz, QStringLiteral("14"));
    EXPECT_EQ(p.utcDifference, QStringLiteral("+1"));
    EXPECT_GT(p.distance, 1000);
    EXPECT_NE(p.sunrise, QStringLiteral("  :  "));
    const InfoPanel near = infoFromQso(QStringLiteral(" 89"), QString(), QStringLiteral("IN80GH"));
    EXPECT_EQ(near.distance, 0);
    EXPECT_TRUE(p.shortPathDistance().endsWith(QStringLiteral(" Km")));
    EXPECT_EQ((InfoPanel{.farLocator = "JN11", .ownLocator = "IN80", .bearing = 270}.longPathBearing()), QStringLiteral("90º"));
    // no locator on either end: no figures rather than a bearing of 0
    const InfoPanel none = infoFromQso(QStringLiteral("999"), QString(), QString());
    EXPECT_TRUE(none.shortPathDistance().isEmpty());
    EXPECT_TRUE(none.longPathBearing().isEmpty());
    // the station's locator stands for a QSO without its own
    EXPECT_EQ(infoFromQso(QStringLiteral(" 89"), QString(), QString(), QStringLiteral("IN80GH")).ownLocator, QStringLiteral("IN80GH"));

    // a call with no earlier QSO: resolved, from the station
    const InfoPanel typed = infoFromCall(QStringLiteral("dl1abc"), QStringLiteral("IN80GH"));
    EXPECT_EQ(typed.entityName, QStringLiteral("ALEMANIA"));
    EXPECT_GT(typed.distance, 1000);
}

} // namespace
} // namespace awards::testing
