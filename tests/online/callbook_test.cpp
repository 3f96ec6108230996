// Call-book look-ups against servers on 127.0.0.1 answering as HamQTH's and
// QRZ's XML services and QRZ's web site do (answers written after the
// services' published descriptions).
#include "web_server.h"

#include "app/tappl.h"
#include "core/scripted_messages.h"
#include "online/callbook.h"
#include "online/callbook_endpoints.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace online;

namespace {

const QByteArray kHamQthSession = R"(<?xml version="1.0"?>
<HamQTH version="2.8" xmlns="https://www.hamqth.com">
<session>
<session_id>09b0ae90050be03c452ad235a1f2915ad684393c</session_id>
</session>
</HamQTH>
)";

const QByteArray kHamQthNewSession = R"(<?xml version="1.0"?>
<HamQTH version="2.8" xmlns="https://www.hamqth.com">
<session><session_id>aa11</session_id></session>
</HamQTH>
)";

const QByteArray kHamQthWrongPassword = R"(<?xml version="1.0"?>
<HamQTH version="2.8" xmlns="https://www.hamqth.com">
<session>
<error>Wrong user name or password</error>
</session>
</HamQTH>
)";

const QByteArray kHamQthExpired = R"(<?xml version="1.0"?>
<HamQTH version="2.8" xmlns="https://www.hamqth.com">
<session>
<error>Session does not exist or expired</error>
</session>
</HamQTH>
)";

const QByteArray kHamQthUsa = R"(<?xml version="1.0"?>
<HamQTH version="2.8" xmlns="https://www.hamqth.com">
<search>
<callsign>w6abc</callsign>
<nick>Bob</nick>
<qth>Beverly Hills</qth>
<country>United States</country>
<adif>291</adif>
<itu>6</itu>
<cq>3</cq>
<grid>DM04sc</grid>
<adr_name>Robert Smith</adr_name>
<adr_street1>1 Main St</adr_street1>
<adr_city>Beverly Hills</adr_city>
<adr_zip>90210</adr_zip>
<adr_country>United States</adr_country>
<us_state>CA</us_state>
<us_county>Los Angeles</us_county>
<qsl_via>direct</qsl_via>
<lotw>Y</lotw>
</search>
</HamQTH>
)";

const QByteArray kHamQthGermany = R"(<?xml version="1.0"?>
<HamQTH version="2.8" xmlns="https://www.hamqth.com">
<search>
<callsign>dl1abc</callsign>
<nick>J&#252;rgen</nick>
<adif>230</adif>
<itu>28</itu>
<cq>14</cq>
<grid>JO62qm</grid>
<dok>D20</dok>
<us_state>XX</us_state>
<iota></iota>
<adr_name>J&#252;rgen M&#252;ller</adr_name>
<adr_city>Berlin</adr_city>
<adr_zip>10115</adr_zip>
</search>
</HamQTH>
)";

QByteArray qrzKey(const char* key) {
    return QByteArray(R"(<?xml version="1.0" encoding="utf-8" ?>
<QRZDatabase version="1.34" xmlns="http://xmldata.qrz.com">
  <Session>
    <Key>)") + key + R"(</Key>
    <Count>123</Count>
    <SubExp>Wed Jan 1 12:34:03 2027</SubExp>
    <GMTime>Sun Aug 16 03:51:47 2026</GMTime>
  </Session>
</QRZDatabase>
)";
}

const QByteArray kQrzWrongPassword = R"(<?xml version="1.0" encoding="utf-8" ?>
<QRZDatabase version="1.34" xmlns="http://xmldata.qrz.com">
  <Session>
    <Error>Username/password incorrect </Error>
    <GMTime>Sun Aug 16 03:51:47 2026</GMTime>
  </Session>
</QRZDatabase>
)";

const QByteArray kQrzTimeout = R"(<?xml version="1.0" encoding="utf-8" ?>
<QRZDatabase version="1.34" xmlns="http://xmldata.qrz.com">
  <Session>
    <Error>Session Timeout</Error>
    <GMTime>Sun Aug 16 03:51:47 2026</GMTime>
  </Session>
</QRZDatabase>
)";

const QByteArray kQrzCall = R"(<?xml version="1.0" encoding="utf-8" ?>
<QRZDatabase version="1.34" xmlns="http://xmldata.qrz.com">
  <Callsign>
    <call>AA7BQ</call>
    <fname>FRED L</fname>
    <name>LLOYD</name>
    <addr2>PHOENIX</addr2>
    <state>AZ</state>
    <county>Maricopa</county>
    <grid>DM32af</grid>
    <country>United States</country>
    <ccode>291</ccode>
    <qslmgr>via bureau</qslmgr>
    <cqzone>0</cqzone>
    <ituzone>6</ituzone>
    <iota>NA-001</iota>
  </Callsign>
  <Session>
    <Key>k2</Key>
    <GMTime>Sun Aug 16 03:51:47 2026</GMTime>
  </Session>
</QRZDatabase>
)";

const QByteArray kQrzNotFound = R"(<?xml version="1.0" encoding="utf-8" ?>
<QRZDatabase version="1.34" xmlns="http://xmldata.qrz.com">
  <Session>
    <Error>Not found: XX9XYZ</Error>
    <Key>k1</Key>
  </Session>
</QRZDatabase>
)";

class Callbook : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static QTemporaryDir dir;
        qputenv("ORLANLOG_CONFIG", (dir.path() + QStringLiteral("/config/")).toLocal8Bit());
        qputenv("ORLANLOG_HOME", (dir.path() + QStringLiteral("/home")).toLocal8Bit());
        QDir(dir.path()).mkpath(QStringLiteral("config"));
        QDir(dir.path()).mkpath(QStringLiteral("home/datos"));
        if (!app::oAppl)
            app::TAppl::New();
        WebServer::trustTestCertificate();
    }
    void SetUp() override
    {
        ui::setMessages(&msgs);
        qunsetenv("ORLANLOG_OFFLINE");
        for (const auto s : {CallbookService::HamQthXml, CallbookService::QrzXml, CallbookService::QrzWeb})
            app::oAppl->ini().Set(QStringLiteral("Servicios"), callbookKey(s), server.base());
        account.qthUser = QStringLiteral("ea4zz");
        account.qthPassword = QStringLiteral("s3cr3t");
        account.qrzUser = QStringLiteral("ea4zz");
        account.qrzPassword = QStringLiteral("qrzs3cr3t");
        session.timeOutSeconds = 3;
    }
    void TearDown() override { ui::setMessages(nullptr); }

    // No message, and no request of the run, shows a password.
    void expectNoPasswordShown()
    {
        for (const QString& line : msgs.log()) {
            EXPECT_FALSE(line.contains(QStringLiteral("s3cr3t"))) << line.toStdString();
        }
    }

    QString searchPath(const QString& id, const QString& call) const
    {
        return QStringLiteral("/xml.php?id=%1&callsign=%2&prg=ORLANLOG").arg(id, call);
    }

    WebServer server{true};
    ui::ScriptedMessages msgs;
    CallbookAccount account;
    CallbookSession session;
    CallbookQso qso;
};

} // namespace

TEST_F(Callbook, ShortCallAndNoConnectionSendNothing)
{
    qso.set("CALL", QStringLiteral(" K1 "));
    EXPECT_FALSE(QRZFILL(qso, account, session, {}, true));
    EXPECT_TRUE(msgs.log().isEmpty());

    qso.set("CALL", QStringLiteral("W6ABC"));
    qputenv("ORLANLOG_OFFLINE", "1");
    EXPECT_FALSE(QRZFILL(qso, account, session, {}, true));
    EXPECT_EQ(msgs.take(), QStringList{"alert: Se requiere conexión a internet"});
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(Callbook, HamQthFillsTheUsStateCountyAndAddressWithoutAskingWhenOnlyTheCommentHasData)
{
    server.route(QStringLiteral("/xml.php?u=ea4zz&p=s3cr3t"), kHamQthSession);
    server.route(searchPath("09b0ae90050be03c452ad235a1f2915ad684393c", "W6ABC"), kHamQthUsa);
    qso.set("CALL", QStringLiteral("W6ABC"));
    qso.set("COMMENT", QStringLiteral("tnx qso"));
    qso.set("IOTA", QStringLiteral("EU-001"));
    int refreshed = 0;
    ASSERT_TRUE(QRZFILL(qso, account, session, [&] { ++refreshed; }, true));
    EXPECT_TRUE(msgs.log().isEmpty()) << msgs.log().join('\n').toStdString();
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(server.requests().size(), 2);
    EXPECT_TRUE(server.lastRequest().contains("User-Agent: ORLANLOG"));
    EXPECT_EQ(qso.value("NAME"), "Bob");
    EXPECT_EQ(qso.value("QTH"), "Beverly Hills");
    EXPECT_EQ(qso.value("DXCC"), "291");
    EXPECT_EQ(qso.value("CQZ"), "3");
    EXPECT_EQ(qso.value("ITUZ"), "6");
    EXPECT_EQ(qso.value("GRIDSQUARE"), "DM04sc");
    EXPECT_EQ(qso.value("QSLVIA"), "direct");
    EXPECT_EQ(qso.value("IOTA"), "");   // overwritten even when the answer has none
    EXPECT_EQ(qso.value("CNTY"), "Los Angeles");
    EXPECT_EQ(qso.value("CODPRV"), "CA");
    EXPECT_EQ(qso.value("COMMENT"), "tnx qso");
    EXPECT_EQ(qso.value("ADDRES"),
              "Robert Smith\r\n\r\n1 Main St\r\nBeverly Hills\r\nCA,90210\r\nUnited States\r\n");
    EXPECT_EQ(session.qthId, "09b0ae90050be03c452ad235a1f2915ad684393c");

    // The session id is kept: the next look-up logs in no more.
    server.route(searchPath("09b0ae90050be03c452ad235a1f2915ad684393c", "DL1ABC"), kHamQthGermany);
    CallbookQso german;
    german.set("CALL", QStringLiteral("DL1ABC"));
    ASSERT_TRUE(QRZFILL(german, account, session, {}, true));
    EXPECT_EQ(server.requests().size(), 3);
    EXPECT_EQ(german.value("CODPRV"), "D20");   // the DOK, not us_state
    EXPECT_EQ(german.value("CNTY"), "");
    EXPECT_EQ(german.value("NAME"), QString::fromUtf8("Jürgen"));
    EXPECT_EQ(german.value("ADDRES"), QString::fromUtf8("Jürgen Müller\r\n\r\nBerlin\r\nD20,10115\r\n"));
}

TEST_F(Callbook, DataAlreadyThereIsReplacedOnlyWhenTheUserSaysSo)
{
    server.route(QStringLiteral("/xml.php?u=ea4zz&p=s3cr3t"), kHamQthSession);
    server.route(searchPath("09b0ae90050be03c452ad235a1f2915ad684393c", "W6ABC"), kHamQthUsa);
    qso.set("CALL", QStringLiteral("W6ABC"));
    qso.set("CNTY", QStringLiteral("Orange"));
    msgs.answer(false);
    EXPECT_FALSE(QRZFILL(qso, account, session, {}, true));
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(qso.value("CNTY"), "Orange");
    EXPECT_EQ(msgs.take(), QStringList{"noYes: Existen campos que ya tienen datos. Desea sustituir su contenido por el "
                                       "que se descargara de internet -> no"});

    msgs.answer(true);
    EXPECT_TRUE(QRZFILL(qso, account, session, {}, true)) << msgs.log().join('\n').toStdString();
    EXPECT_EQ(qso.value("CNTY"), "Los Angeles");
}

TEST_F(Callbook, HamQthExpiredSessionLogsInAgainOnce)
{
    session.qthId = QStringLiteral("old");
    server.route(searchPath("old", "W6ABC"), kHamQthExpired);
    server.route(QStringLiteral("/xml.php?u=ea4zz&p=s3cr3t"), kHamQthNewSession);
    server.route(searchPath("aa11", "W6ABC"), kHamQthUsa);
    qso.set("CALL", QStringLiteral("W6ABC"));
    ASSERT_TRUE(HAMQTHXML(qso, account, session, QStringLiteral("W6ABC")));
    EXPECT_EQ(server.requests(), (QStringList{"GET " + searchPath("old", "W6ABC"), "GET /xml.php?u=ea4zz&p=s3cr3t",
                                              "GET " + searchPath("aa11", "W6ABC")}));
    EXPECT_EQ(qso.value("NAME"), "Bob");
    EXPECT_TRUE(msgs.log().isEmpty());
}

TEST_F(Callbook, HamQthWrongPasswordAndErrorAnswersLeaveTheQsoAlone)
{
    server.route(QStringLiteral("/xml.php?u=ea4zz&p=s3cr3t"), kHamQthWrongPassword);
    qso.set("CALL", QStringLiteral("W6ABC"));
    qso.set("NAME", QStringLiteral("Ana"));
    EXPECT_FALSE(HAMQTHXML(qso, account, session, QStringLiteral("W6ABC")));
    EXPECT_EQ(msgs.take(), (QStringList{"info: Wrong user name or password\r\nRevise configuración usuario/contraseña",
                                        "alert: No pudo recuperarse su id de HamQTH.com"}));
    EXPECT_EQ(qso.value("NAME"), "Ana");
    EXPECT_TRUE(session.qthId.isEmpty());

    // Not found, and an answer that is no call-book page at all.
    session.qthId = QStringLiteral("aa11");
    server.route(searchPath("aa11", "XX9XYZ"),
                 "<HamQTH><session><error>Callsign not found</error></session></HamQTH>");
    EXPECT_FALSE(HAMQTHXML(qso, account, session, QStringLiteral("XX9XYZ")));
    EXPECT_EQ(msgs.take(), QStringList{"alert: Error HamQTH.com\r\nCallsign not found"});
    server.route(searchPath("aa11", "W6ABC"), WebReply{502, "<html>Bad gateway</html>", {}, -1, false});
    EXPECT_FALSE(HAMQTHXML(qso, account, session, QStringLiteral("W6ABC")));
    EXPECT_EQ(msgs.take(), QStringList{"alert: Respuesta inesperada de HamQTH.com"});
    EXPECT_EQ(qso.value("NAME"), "Ana");
    expectNoPasswordShown();
}

TEST_F(Callbook, SilentServerEndsWithinTheTimeOutWithoutShowingThePassword)
{
    server.route(QStringLiteral("/xml.php?u=ea4zz&p=s3cr3t"), WebReply{200, {}, {}, -1, true});
    session.timeOutSeconds = 1;
    qso.set("CALL", QStringLiteral("W6ABC"));
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(QRZFILL(qso, account, session, {}, true));
    EXPECT_LT(t.elapsed(), 5000);
    const QStringList log = msgs.take();
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(log[0].startsWith("alert: Error de conexión\r\n")) << log[0].toStdString();
    EXPECT_EQ(log[1], "alert: No pudo recuperarse su id de HamQTH.com");
    for (const QString& line : log)
        EXPECT_FALSE(line.contains("s3cr3t")) << line.toStdString();
}

TEST_F(Callbook, QrzXmlKeepsTheCqZoneOfZeroAndRetriesOnceAfterSessionTimeout)
{
    int keys = 0;
    QList<QByteArray> bodies;
    server.handle(QStringLiteral("/xml/"), [&](const QByteArray& body) {
        bodies << body;
        if (body.startsWith("username="))
            return WebReply{200, qrzKey(++keys == 1 ? "k1" : "k2"), {}, -1, false};
        if (body.startsWith("s=k1&"))
            return WebReply{200, kQrzTimeout, {}, -1, false};
        return WebReply{200, kQrzCall, {}, -1, false};
    });
    account.qrzXml = true;
    qso.set("CALL", QStringLiteral("AA7BQ"));
    qso.set("CQZ", QStringLiteral("4"));
    qso.set("ITUZ", QStringLiteral("7"));
    qso.set("COMMENT", QStringLiteral("old"));
    ASSERT_TRUE(QRZFILL(qso, account, session));
    EXPECT_TRUE(msgs.log().isEmpty()) << msgs.log().join('\n').toStdString();
    EXPECT_EQ(bodies, (QList<QByteArray>{"username=ea4zz&password=qrzs3cr3t", "s=k1&callsign=AA7BQ",
                                         "username=ea4zz&password=qrzs3cr3t", "s=k2&callsign=AA7BQ"}));
    EXPECT_EQ(session.qrzKey, "k2");
    EXPECT_EQ(qso.value("NAME"), "FRED L");
    EXPECT_EQ(qso.value("GRIDSQUARE"), "DM32af");
    EXPECT_EQ(qso.value("COMMENT"), "via bureau");
    EXPECT_EQ(qso.value("CODPRV"), "AZ");
    EXPECT_EQ(qso.value("CNTY"), "Maricopa");
    EXPECT_EQ(qso.value("CQZ"), "4");     // cqzone 0: untouched
    EXPECT_EQ(qso.value("ITUZ"), "6");
    EXPECT_EQ(qso.value("IOTA"), "NA-001");

    // A call the service does not know: the stop box with its error.
    bodies.clear();
    server.handle(QStringLiteral("/xml/"), [](const QByteArray&) { return WebReply{200, kQrzNotFound, {}, -1, false}; });
    CallbookQso unknown;
    unknown.set("CALL", QStringLiteral("XX9XYZ"));
    EXPECT_FALSE(QRZXML(unknown, account, session));
    EXPECT_EQ(msgs.take(), QStringList{"stop: Not found: XX9XYZ"});
    EXPECT_TRUE(unknown.value("NAME").isEmpty());
}

TEST_F(Callbook, QrzXmlTimeoutTwiceAndWrongPasswordStop)
{
    server.handle(QStringLiteral("/xml/"), [](const QByteArray& body) {
        if (body.startsWith("username="))
            return WebReply{200, qrzKey("k1"), {}, -1, false};
        return WebReply{200, kQrzTimeout, {}, -1, false};
    });
    qso.set("CALL", QStringLiteral("AA7BQ"));
    EXPECT_FALSE(QRZXML(qso, account, session));
    EXPECT_EQ(server.requests().size(), 4);   // key, look-up, new key, look-up: no loop
    EXPECT_EQ(msgs.take(), QStringList{"stop: Session Timeout"});

    session.qrzKey.clear();
    server.handle(QStringLiteral("/xml/"), [](const QByteArray&) { return WebReply{200, kQrzWrongPassword, {}, -1, false}; });
    EXPECT_FALSE(QRZXML(qso, account, session));
    EXPECT_EQ(msgs.take(), QStringList{"stop: Username/password incorrect"});
    EXPECT_TRUE(session.qrzKey.isEmpty());

    server.handle(QStringLiteral("/xml/"), [](const QByteArray&) { return WebReply{500, "fallo", {}, -1, false}; });
    EXPECT_FALSE(QRZXML(qso, account, session));
    const QStringList log = msgs.take();
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].startsWith("alert: Error de conexión\r\n"));
    EXPECT_TRUE(qso.value("NAME").isEmpty());
    expectNoPasswordShown();
}

TEST_F(Callbook, QrzWebSiteLogsInAndReadsThePageByItsLabels)
{
    server.route(QStringLiteral("/login"),
                 WebReply{200, "<html><script>var loginTicket = 'T1x';</script><form></form></html>",
                          {{"Set-Cookie", "QRZ_Cookie_Test=CoK; path=/"}}, -1, false});
    server.route(QStringLiteral("/login-handshake?loginTicket=T1x&username=ea4zz&step=1"),
                 WebReply{200, "{}", {{"Set-Cookie", "qrz_h=1"}}, -1, false});
    server.route(QStringLiteral("/login-handshake?loginTicket=T1x&username=ea4zz&password=qrzs3cr3t&step=2"),
                 WebReply{200, "{}", {{"Set-Cookie", "qrz_h=2"}}, -1, false});
    server.route(QStringLiteral("/login?login_ref=") + QString::fromLatin1(QUrl::toPercentEncoding(server.base() + "/login")) +
                     QStringLiteral("&username=ea4zz&password=qrzs3cr3t&2fcode=&target=/&flush=1"),
                 WebReply{200, "ok", {{"Set-Cookie", "a=b"}, {"Set-Cookie", "xf_session=abc123; path=/"}}, -1, false});
    server.route(QStringLiteral("/lookup"), R"(<html><body><table>
<tr><td class="p"><span style="font-weight:bold">Frederick
 Lloyd</span><span class="csgnl none">AA7BQ</span></td></tr>
<tr><td class="dh">Grid Square</td><td class="di">DM32af&nbsp;</td></tr>
<tr><td class="dh">US State</td><td class="di">Arizona</td></tr>
<tr><td class="dh">US County</td><td class="di">Maricopa</td></tr>
<tr><td class="dh">QSL Info</td><td class="di">QSL via LoTW</td></tr>
<tr><td class="dh">IOTA</td><td class="di">NA-001</td></tr>
</table></body></html>)");
    session.provinceCode = [](const QString& codent, const QString& name) {
        return codent == QLatin1String("291") && name == QLatin1String("ARIZONA") ? QStringLiteral("AZ") : QString();
    };
    qso.set("CALL", QStringLiteral("AA7BQ"));
    qso.set("CODENT", QStringLiteral("291"));
    qso.set("COMMENT", QStringLiteral("gl "));
    ASSERT_TRUE(QRZFILL(qso, account, session));
    EXPECT_TRUE(msgs.log().isEmpty()) << msgs.log().join('\n').toStdString();
    EXPECT_EQ(session.qrzCookie, "xf_session=abc123; path=/");
    EXPECT_TRUE(server.lastRequest().contains("Cookie: xf_session=abc123"));
    EXPECT_TRUE(server.lastRequest().endsWith("tquery=AA7BQ&mode=callsign"));
    EXPECT_EQ(qso.value("NAME"), "Frederick Lloyd");
    EXPECT_EQ(qso.value("GRIDSQUARE"), "DM32af");
    EXPECT_EQ(qso.value("CODPRV"), "AZ");
    EXPECT_EQ(qso.value("CNTY"), "Maricopa");
    EXPECT_EQ(qso.value("COMMENT"), "gl QSL via LoTW");
    EXPECT_EQ(qso.value("IOTA"), "NA-001");

    // Unknown call, an error status, an empty page; no file is left behind.
    server.route(QStringLiteral("/lookup"), "<html><p>Search for XX9XYZ produced no results</p></html>");
    CallbookQso other;
    other.set("CALL", QStringLiteral("XX9XYZ"));
    EXPECT_FALSE(QRZGET(other, account, session, QStringLiteral("XX9XYZ")));
    server.route(QStringLiteral("/lookup"), WebReply{503, "x", {}, -1, false});
    EXPECT_FALSE(QRZGET(other, account, session, QStringLiteral("XX9XYZ")));
    server.route(QStringLiteral("/lookup"), QByteArray(" "));
    EXPECT_FALSE(QRZGET(other, account, session, QStringLiteral("XX9XYZ")));
    EXPECT_EQ(msgs.take(), (QStringList{"alert: XX9XYZ no encontrado en qrz.com",
                                        "alert: Respuesta inesperada del servidor        503",
                                        "alert: Error al recuperar información del servidor"}));
    EXPECT_TRUE(QDir::current().entryList({"qrz*.html", "qrz*.txt"}).isEmpty());
}

TEST_F(Callbook, QrzLabelAndPageAddresses)
{
    server.route(QStringLiteral("/callsign/AA7BQ"), "<html><body><p>QRZ Record # 123456<br>Last update</p></body></html>");
    server.route(QStringLiteral("/label/?id=123456"),
                 "<html><body><pre>AA7BQ<br>Fred Lloyd<br>PHOENIX, AZ 85001<br><br>USA</pre></body></html>");
    EXPECT_EQ(WEBQRZ(QStringLiteral("AA7BQ"), session), "AA7BQ\r\nFred Lloyd\r\nPHOENIX, AZ 85001");
    server.route(QStringLiteral("/callsign/AA7BQ"), WebReply{200, {}, {}, -1, true});
    session.timeOutSeconds = 1;
    EXPECT_TRUE(WEBQRZ(QStringLiteral("AA7BQ"), session).isEmpty());
    EXPECT_EQ(msgs.take(), QStringList{"stop: Tiempo de descarga superado"});

    EXPECT_EQ(qrzPageAddress(QStringLiteral("http://www.qrz.com/db/"), QStringLiteral("AA7BQ ")), "www.qrz.com/db/AA7BQ");
    QString shown;
    setBrowserOpener([&](const QString& url) { shown = url; });
    EXPECT_EQ(RUNEXPL(QStringLiteral("www.hamqth.com/EA4ZZ")), "https://www.hamqth.com/EA4ZZ");
    EXPECT_EQ(shown, "https://www.hamqth.com/EA4ZZ");
    setBrowserOpener({});
}
