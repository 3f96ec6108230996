// "Buscar" and "Buscar siguiente" over the bytes of a table file.
#include "refdata/table_search.h"

#include "../store/home_fixture.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace refdata;

namespace {

class BusparTest : public store::testing::HomeTest {
protected:
    void SetUp() override
    {
        HomeTest::SetUp();
        ASSERT_TRUE(ws().create("busca", {{"CALL", 'C', 6}, {"NOTA", 'C', 10}}).isOk());
        ASSERT_TRUE(ws().use("busca", {.alias = "Busca"}, &area).isOk());
        for (const auto& [call, note] : {std::pair{"EA1AAQ", "Madrid"}, {"K1ABC", "ea4zz"}, {"EA4ZZ", "Cáceres"}, {"DL1XX", "EA"}}) {
            ASSERT_TRUE(area->append().isOk());
            area->put("CALL", call);
            area->put("NOTA", note);
            ASSERT_TRUE(area->unlock().isOk());
        }
        path = ws().tablePath("busca");
        ASSERT_TRUE(ws().use("cfg", {.alias = "cfg"}).isOk());     // the current area, to be kept
    }

    std::optional<qint64> search(QString* text, qint64 from = 0)
    {
        return BUSPAR(path, "Busca", text, [this] { ++shown; }, from);
    }

    store::WorkArea* area = nullptr;
    QString path;
    int shown = 0;
};

} // namespace

TEST_F(BusparTest, FindsTheTextAndThenTheNextOccurrence)
{
    QString text;
    msgs.answer(QStringLiteral(" ea "));
    std::optional<qint64> at = search(&text);
    ASSERT_TRUE(at.has_value());
    EXPECT_EQ(area->recNo(), 1u);
    EXPECT_EQ(text, QStringLiteral("EA").leftJustified(30));
    EXPECT_EQ(msgs.take(), QStringList{"input: Entre la cadena, o parte de la cadena a buscar  ->  ea "});

    QList<quint32> records;
    while ((at = search(&text, *at)))
        records << area->recNo();
    EXPECT_EQ(records, (QList<quint32>{3, 4}));         // "ea4zz" in record 2 is in lower case
    EXPECT_EQ(msgs.take(), QStringList{"alert: No se ha encontrado la cadena"});
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(ws().current()->alias(), "cfg");
}

TEST_F(BusparTest, AccentedTextIsSearchedInTheTablesCodePage)
{
    ASSERT_TRUE(area->append().isOk());
    area->put("CALL", "LU1XX");
    area->put("NOTA", "ÑANDÚ");
    ASSERT_TRUE(area->unlock().isOk());
    QString text;
    msgs.answer(QStringLiteral("ñandú"));
    ASSERT_TRUE(search(&text).has_value());
    EXPECT_EQ(area->recNo(), 5u);
    msgs.answer(QStringLiteral("cáceres"));               // stored as "Cáceres"
    EXPECT_FALSE(search(&text).has_value());
}

TEST_F(BusparTest, TheLastByteOfARecordBelongsToThatRecord)
{
    QString text = "Q";
    std::optional<qint64> at = search(&text, 1);
    ASSERT_TRUE(at.has_value());
    EXPECT_EQ(area->recNo(), 1u);                  // "EA1AAQ" ends record 1
}

TEST_F(BusparTest, FieldNamesInTheHeaderAreNoRecord)
{
    QString text;
    msgs.answer(QStringLiteral("NOTA"));
    EXPECT_FALSE(search(&text).has_value());
    EXPECT_EQ(msgs.take().last(), "alert: No se ha encontrado la cadena");
    EXPECT_EQ(shown, 0);
}

TEST_F(BusparTest, CancelledOrNothingToSearch)
{
    QString text = "previous";
    msgs.answer(QVariant());
    EXPECT_FALSE(search(&text).has_value());
    EXPECT_EQ(text, "previous");
    EXPECT_EQ(msgs.take(), QStringList{"input: Entre la cadena, o parte de la cadena a buscar  -> (cancelado)"});

    msgs.answer(QStringLiteral("   "));
    EXPECT_FALSE(search(&text).has_value());
    EXPECT_EQ(msgs.take().last(), "alert: No se ha encontrado la cadena");

    QFile empty(data + "vacia.dbf");
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    text = "EA";
    EXPECT_FALSE(BUSPAR(data + "vacia.dbf", "Busca", &text, {}, 10).has_value());
    EXPECT_EQ(msgs.take(), QStringList{"info: No hay datos donde buscar"});
    EXPECT_EQ(ws().current()->alias(), "cfg");
    EXPECT_EQ(shown, 0);
}
