// What the IOTA edit dialog writes and offers, on the shipped tables (the
// windows' tests drive the other dialogs).
#include "shipped_home.h"

#include "refdata/reference_edits.h"
#include "store/codepage.h"

namespace refdata::testing {
namespace {

using store::Value;

class ReferenceEdits : public ShippedHome {
protected:
    store::WorkArea* open(const QString& file, const QString& alias)
    {
        store::WorkArea* a = nullptr;
        EXPECT_TRUE(ws().use(file, {.alias = alias}, &a).isOk());
        return a;
    }
    static QString field(store::WorkArea* a, const char* name) { return a->str(QString::fromLatin1(name)); }
};

TEST_F(ReferenceEdits, AnIotaReferenceKeepsItsCodeAndGetsItsSearchTextRewritten)
{
    EXPECT_EQ(iotaSearchText("EU-004", "ISLAS BALEARES"), "EU004 ISLAS BALEARES");

    store::WorkArea* iota = open("iota", "iotaMan");
    iota->seek(Value::text(QByteArray("EU-004")));
    ASSERT_TRUE(iota->found());
    const quint32 rec = iota->recNo(), count = iota->recCount();
    // an existing record: the reference is not the dialog's to change
    ASSERT_TRUE(saveIotaReference(*iota, {"EU-999", "ISLAS BALEARES", "90"}, false));
    iota->goTo(rec);
    EXPECT_EQ(field(iota, "IOTA"), "EU-004");
    EXPECT_EQ(field(iota, "NOMBRE").trimmed(), "ISLAS BALEARES");
    EXPECT_EQ(field(iota, "CODENT"), " 90");
    EXPECT_EQ(field(iota, "NOMBRE2").trimmed(), "EU004 ISLAS BALEARES");
    EXPECT_EQ(field(iota, "PFX").trimmed(), "EA6");   // fields the dialog does not show stay

    ASSERT_TRUE(saveIotaReference(*iota, {"OC-999", "Isla Nueva", "5"}, true));
    EXPECT_EQ(iota->recCount(), count + 1);
    EXPECT_EQ(field(iota, "IOTA"), "OC-999");
    EXPECT_EQ(field(iota, "CODENT"), "  5");
    EXPECT_EQ(field(iota, "NOMBRE2").trimmed(), "OC999 Isla Nueva");
    EXPECT_TRUE(msgs.log().isEmpty()) << msgs.log().join('\n').toStdString();
}

TEST_F(ReferenceEdits, EntitiesAreOfferedByNameWithoutMovingTheEntityTable)
{
    store::WorkArea* ent = open("ENT", "ENT");
    ent->seek(Value::text(QByteArray(" 89")));
    ASSERT_TRUE(ent->found());
    const std::vector<EntityChoice> list = entityChoices();
    ASSERT_EQ(list.size(), size_t(ent->recCount()));
    for (size_t i = 1; i < list.size(); ++i)
        EXPECT_LE(store::cp1252::collate(store::cp1252::fromUnicode(list[i - 1].name), store::cp1252::fromUnicode(list[i].name)),
                  0)
            << list[i - 1].name.toStdString() << " / " << list[i].name.toStdString();
    EXPECT_EQ(ent->str("CODENT"), " 89");
    EXPECT_EQ(ent->order(), 1);
}

} // namespace
} // namespace refdata::testing
