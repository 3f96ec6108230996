// The readers of the call books' answers: elements of XML, labels and values
// of HTML pages, whatever the page looks like.
#include "online/callbook_endpoints.h"
#include "online/callbook_xml.h"
#include "online/html_text.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace online;

TEST(Getfld, FirstElementByExactNameOrEmpty)
{
    const QString xml = QStringLiteral(
        "<?xml version=\"1.0\"?><HamQTH xmlns=\"https://www.hamqth.com\"><search><nick>Bob</nick>"
        "<grid>DM04</grid><Grid>XX</Grid><qth><![CDATA[A & B]]></qth><adr_name>J&amp;J <b>x</b></adr_name>"
        "<nick>second</nick><empty/></search></HamQTH>");
    EXPECT_EQ(GETFLD("nick", xml), "Bob");
    EXPECT_EQ(GETFLD("grid", xml), "DM04");
    EXPECT_EQ(GETFLD("Grid", xml), "XX");
    EXPECT_EQ(GETFLD("qth", xml), "A & B");
    EXPECT_EQ(GETFLD("adr_name", xml), "J&J x");
    EXPECT_EQ(GETFLD("empty", xml), "");
    EXPECT_EQ(GETFLD("iota", xml), "");
    EXPECT_EQ(GETFLD("", xml), "");
    // Broken before the element: nothing; broken after it: the element still reads.
    EXPECT_EQ(GETFLD("nick", "<a><b></a><nick>x</nick>"), "");
    EXPECT_EQ(GETFLD("nick", "<a><nick>x</nick><b></a>"), "x");
    EXPECT_EQ(GETFLD("nick", "nick>x</nick"), "");
}

TEST(HtmlText, LabelsValuesAndBodyTextOfUntidyPages)
{
    const QString page = QStringLiteral(
        "<html><head><style>td{x:1}</style><script>if (a<b) document.write('<td>Grid Square</td>')</script></head>"
        "<body><!-- Grid Square --><table><tr><td>Grid Square:</td><td> : </td><td class=x>JN11ca</td>"
        "<tr><td>US State<td>New&nbsp;York &amp; more<td>IOTA</td><td>&#69;U-001</td></table>"
        "<p>a < b <unfinished");
    const QList<HtmlToken> tokens = readHtml(page);
    EXPECT_EQ(valueAfterLabel(tokens, "Grid Square"), "JN11ca");
    EXPECT_EQ(valueAfterLabel(tokens, "us state"), "New York & more");
    EXPECT_EQ(valueAfterLabel(tokens, "IOTA"), "EU-001");
    EXPECT_EQ(valueAfterLabel(tokens, "QSL Info"), "");
    const HtmlToken* cell = nullptr;
    for (const HtmlToken& t : tokens)
        if (t.isTag && t.attributes.contains("class"))
            cell = &t;
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->attributes.value("class"), "x");
    EXPECT_EQ(htmlBodyText("<p>one<br>two</p><p></p><p>three</p>"), "one\r\ntwo\r\n\r\nthree");
}

TEST(CallbookParsers, RandomPagesNeverBreakThem)
{
    const QStringList pieces{"<", ">", "</", "<nick>", "</nick>", "<session_id>", "<error>", "</error>", "<!--",
                             "-->", "&", "&#", ";", "&#x110000;", "&#xD800;", "\"", "'", "=", "<td>", "Grid Square",
                             "<script>", "</script>", "<![CDATA[", "]]>", "ñ", "\r\n", " ", "x", "<?xml?>", "<span class=\"csgnl none\">"};
    QRandomGenerator rng(20261208);
    for (int round = 0; round < 3000; ++round) {
        QString text;
        const int n = int(rng.bounded(40));
        for (int i = 0; i < n; ++i)
            text += rng.bounded(4) == 0 ? QString(QChar(char16_t(rng.bounded(1, 0xD7FF)))) : pieces[int(rng.bounded(pieces.size()))];
        const QString nick = GETFLD("nick", text);
        EXPECT_LE(nick.size(), text.size());
        const QList<HtmlToken> tokens = readHtml(text);
        for (const HtmlToken& t : tokens)
            EXPECT_TRUE(t.isTag || !t.text.isEmpty());
        valueAfterLabel(tokens, "Grid Square");
        htmlBodyText(text);
    }
}

TEST(CallbookEndpoints, DefaultsUseTls)
{
    for (const auto s : {CallbookService::HamQthXml, CallbookService::QrzXml, CallbookService::QrzWeb,
                         CallbookService::HamQthWeb})
        EXPECT_TRUE(callbookDefault(s).startsWith("https://")) << callbookKey(s).toStdString();
}
