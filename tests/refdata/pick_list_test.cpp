// The pick lists of provinces, sub-divisions and award references without
// their dialog: which records they offer, where they start, what typing finds,
// what they return and how they leave their tables.
#include "shipped_home.h"

#include "refdata/pick_list.h"
#include "store/codepage.h"

namespace refdata::testing {
namespace {

using store::Value;

class PickLists : public ShippedHome {
protected:
    // The records the list offers, as "code name" in the order shown.
    static QStringList offered(const PickList& list)
    {
        QStringList out;
        store::WorkArea* a = list.area();
        std::vector<quint32> recs;
        a->visibleRecords(&recs);
        const quint32 at = a->recNo();
        for (quint32 r : recs) {
            a->goTo(r);
            out << a->str(list.codeField()).trimmed() + ' ' + a->str(list.nameField()).trimmed();
        }
        a->goTo(at);
        return out;
    }
    static QString current(const PickList& list)
    {
        store::WorkArea* a = list.area();
        return a->eof() ? QString() : a->str(list.codeField()).trimmed();
    }
};

TEST_F(PickLists, ProvincesOfTheEntityByName)
{
    auto list = PickList::provinces("89", "");
    ASSERT_TRUE(list->area());
    const QStringList spain = offered(*list);
    ASSERT_EQ(spain.size(), 47);   // the provinces of Spain, not those of the islands
    EXPECT_EQ(spain.front(), "VI Álava");
    EXPECT_EQ(spain.back(), "Z Zaragoza");
    EXPECT_TRUE(spain.contains("B Barcelona"));
    EXPECT_FALSE(spain.contains("IB Baleares"));
    EXPECT_EQ(current(*list), "VI");   // no province given: the first one

    EXPECT_TRUE(list->search("vall"));
    EXPECT_EQ(current(*list), "VA");
    EXPECT_TRUE(list->search("lér"));
    EXPECT_EQ(current(*list), "L");   // Lérida: accents count as their letter
    EXPECT_FALSE(list->search("zzz"));
}

TEST_F(PickLists, StartsOnTheProvinceGivenAndReturnsTheOneChosen)
{
    ws().use("Band", {.alias = "Band"});   // the work area current before
    {
        auto list = PickList::provinces(" 89", "B");
        EXPECT_EQ(current(*list), "B");
        EXPECT_EQ(list->area()->orderName(), "ENTNOM");
        list->search("cád");
        EXPECT_EQ(list->finish(true), "CA  ");
    }
    store::WorkArea* prv = ws().area("prv");
    EXPECT_EQ(prv->orderName(), "ENTPRV");
    std::vector<quint32> all;
    prv->visibleRecords(&all);
    EXPECT_EQ(all.size(), size_t(prv->recCount()));   // no longer limited to the entity
    EXPECT_EQ(ws().current()->alias(), "Band");

    // without a choice, or with nothing to choose, the province given comes back
    EXPECT_EQ(PickList::provinces(" 89", "B")->finish(false), "B");
    auto none = PickList::provinces("999", "XX");
    EXPECT_TRUE(offered(*none).isEmpty());
    EXPECT_TRUE(none->area()->eof());
    EXPECT_EQ(none->finish(true), "XX");
}

TEST_F(PickLists, SubdivisionsOfTheProvinceOrOfTheWholeEntity)
{
    auto piedmont = PickList::subdivisions("243", "21", "TO");
    const QStringList in21 = offered(*piedmont);
    EXPECT_EQ(in21, QStringList({"AL Alessandria", "AT Asti", "BI Biella", "CN Cuneo", "NO Novara", "TO Torino",
                                 "VB Verbania", "VC Vercelli"}));
    EXPECT_EQ(current(*piedmont), "TO");
    EXPECT_EQ(piedmont->finish(false), "TO");
    EXPECT_TRUE(ws().area("subprv")->eof());   // left at the end without a choice
    EXPECT_EQ(ws().area("subprv")->orderName(), "ENTPRVSUB");

    auto italy = PickList::subdivisions("243", "", "");
    const QStringList all = offered(*italy);
    EXPECT_EQ(all.size(), 99);   // Sardinia's four belong to an entity of their own
    EXPECT_TRUE(all.contains("AL Alessandria") && all.contains("PA Palermo"));
    EXPECT_FALSE(all.contains("CA Cagliari"));
    EXPECT_TRUE(italy->search("pal"));
    EXPECT_EQ(italy->finish(true), "PA    ");
}

TEST_F(PickLists, AwardReferencesOfTheAwardByCode)
{
    // a second award whose code begins like the first, with a reference of the same code
    store::WorkArea* det = nullptr;
    ASSERT_TRUE(ws().use("DplDet", {.alias = "DplDet"}, &det).isOk());
    ASSERT_TRUE(det->append().isOk());
    det->put("DPLCOD", "PROVEAX");
    det->put("COD", "B");
    det->put("DESC", "Otra");
    ASSERT_TRUE(det->unlock().isOk());

    auto list = PickList::awardReferences("PROVEA", "BA");
    const QStringList refs = offered(*list);
    EXPECT_EQ(refs.size(), 52);
    EXPECT_FALSE(refs.contains("B Otra"));
    EXPECT_EQ(refs.front(), "A Alicante");
    EXPECT_EQ(current(*list), "BA");
    EXPECT_TRUE(list->search("m"));   // by code
    EXPECT_EQ(current(*list), "M");
    EXPECT_EQ(list->finish(true), "M         ");

    EXPECT_TRUE(offered(*PickList::awardReferences("PROVE", "")).isEmpty());
}

} // namespace
} // namespace refdata::testing
