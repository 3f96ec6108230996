// The society membership check of the spool against a local web server.
#include "qsl_home.h"

#include "web_server.h"

#include "qsl/society_check.h"
#include "qsl/spool.h"
#include "qsl/spool_print.h"

#include <QElapsedTimer>

using namespace qsl;
using qsl::testing::QslHome;

namespace {

class SocietyCheck : public QslHome {
protected:
    void SetUp() override
    {
        QslHome::SetUp();
        qputenv("ORLANLOG_OFFLINE", "0");
    }
    void TearDown() override
    {
        qputenv("ORLANLOG_OFFLINE", "1");
        QslHome::TearDown();
    }
    // Spools a QSO and returns its record.
    quint32 spooled(const QString& call, const QString& ent, int day)
    {
        const quint32 r = qso(call, ent, QStringLiteral("20M"), QStringLiteral("SSB"), QStringLiteral("N"), day);
        spoolAdd(at(log(), r));
        return r;
    }
    bool inSpool(quint32 r) { return at(log(), r).logical(QStringLiteral("PRNQSL")); }
};

TEST(SocietyCall, NormalisesAsTheSocietyKnowsThem)
{
    EXPECT_EQ(societyCall(QStringLiteral("EA6/DL1ABC")), "DL1ABC");
    EXPECT_EQ(societyCall(QStringLiteral("EA3XYZ/P")), "EA3XYZ");
    EXPECT_EQ(societyCall(QStringLiteral("EA8/EA1AB")), "EA1AB") << "equally long: the part after the slash";
    EXPECT_EQ(societyCall(QStringLiteral(" EA 1AB ")), "EA1AB");
    EXPECT_TRUE(isSocietyEntity(QStringLiteral(" 89")));
    EXPECT_TRUE(isSocietyEntity(QStringLiteral(" 92")));
    EXPECT_FALSE(isSocietyEntity(QStringLiteral("230")));
    EXPECT_FALSE(isSocietyEntity(QStringLiteral("89")));
}

TEST_F(SocietyCheck, NotMembersLeaveTheSpoolAndOtherEntitiesAreUntouched)
{
    WebServer server;
    server.route(QStringLiteral("/ure/qrz/?callsign=EA1AAA"), QByteArray("<p>EA1AAA socio</p>"));
    server.route(QStringLiteral("/ure/qrz/?callsign=DL1ABC"), QByteArray("<p>Not member</p>"));
    server.route(QStringLiteral("/ure/qrz/?callsign=EA3XYZ"), QByteArray("Not member"));
    server.route(QStringLiteral("/ure/qrz/?callsign=ORLAN"), QByteArray("ok"));
    const quint32 member = spooled(QStringLiteral("EA1AAA"), QStringLiteral(" 89"), 1);
    const quint32 visitor = spooled(QStringLiteral("EA6/DL1ABC"), QStringLiteral(" 90"), 2);
    const quint32 foreign = spooled(QStringLiteral("DL1ABC"), QStringLiteral("230"), 3);
    const quint32 portable = spooled(QStringLiteral("EA3XYZ/P"), QStringLiteral(" 89"), 4);
    spool()->setOrder(QStringLiteral("PrnQsl"));
    QStringList calls;
    SocietyCheckOptions o;
    o.base = server.base();
    o.progress = [&](int percent, const QString& call) {
        EXPECT_GE(percent, 0);
        EXPECT_LE(percent, 100);
        calls << call;
        return true;
    };
    const SocietyCheckResult r = CHKSOCIOURE(*spool(), o);
    EXPECT_TRUE(r.completed) << r.error.toStdString();
    EXPECT_EQ(r.removed, 2);
    EXPECT_TRUE(inSpool(member));
    EXPECT_FALSE(inSpool(visitor));
    EXPECT_EQ(field(visitor, "QSLSENT"), "N");
    EXPECT_FALSE(inSpool(portable));
    EXPECT_TRUE(inSpool(foreign)) << "other entities are not looked up";
    const QStringList asked = server.requests();
    EXPECT_FALSE(asked.contains(QStringLiteral("GET /ure/qrz/?callsign=DL1ABC/")));
    EXPECT_EQ(asked.filter(QStringLiteral("callsign=DL1ABC")).size(), 1) << asked.join(' ').toStdString();
    EXPECT_TRUE(asked.contains(QStringLiteral("GET /ure/qrz/?callsign=EA3XYZ")));
    EXPECT_EQ(asked.filter(QStringLiteral("callsign=EA1AAA")).size(), 1) << "one request a row";
    EXPECT_TRUE(calls.contains(QStringLiteral("DL1ABC"))) << "every row is shown, looked up or not";
    const QStringList said = msgs.take();
    EXPECT_TRUE(said.first().contains(QStringLiteral("Solo se comprueba EA, EA6, EA8 y EA9.")));
    EXPECT_TRUE(said.last().contains(QStringLiteral("Elilminados 2 registros de no socios de URE"))) << said.join('|').toStdString();
    EXPECT_FALSE(said.join('|').contains(QStringLiteral("Alert")));
}

TEST_F(SocietyCheck, ASilentServerStopsAfterAFewRetries)
{
    WebServer server;
    WebReply silent;
    silent.silent = true;
    server.route(QStringLiteral("/ure/qrz/?callsign=EA1AAA"), silent);
    const quint32 r = spooled(QStringLiteral("EA1AAA"), QStringLiteral(" 89"), 1);
    spool()->setOrder(QStringLiteral("PrnQsl"));
    SocietyCheckOptions o;
    o.base = server.base();
    o.timeOutSeconds = 0.3;
    o.retriesPerRow = 2;
    QElapsedTimer clock;
    clock.start();
    const SocietyCheckResult res = CHKSOCIOURE(*spool(), o);
    EXPECT_LT(clock.elapsed(), 30000);
    EXPECT_FALSE(res.completed);
    EXPECT_TRUE(inSpool(r));
    EXPECT_EQ(server.requests().filter(QStringLiteral("EA1AAA")).size(), 3) << "the row and its two retries";
    EXPECT_TRUE(msgs.take().join('|').contains(QStringLiteral("El servidor no responde al consultar EA1AAA")));
}

TEST_F(SocietyCheck, AnUnexpectedStatusStopsAndOfflineIsRefused)
{
    WebServer server;   // every call answers 404
    const quint32 a = spooled(QStringLiteral("EA1AAA"), QStringLiteral(" 89"), 1);
    spool()->setOrder(QStringLiteral("PrnQsl"));
    SocietyCheckOptions o;
    o.base = server.base();
    SocietyCheckResult r = CHKSOCIOURE(*spool(), o);
    EXPECT_FALSE(r.completed);
    EXPECT_EQ(r.error, "Error 404");
    EXPECT_TRUE(inSpool(a));
    msgs.take();

    qputenv("ORLANLOG_OFFLINE", "1");
    r = CHKSOCIOURE(*spool(), o);
    EXPECT_FALSE(r.completed);
    EXPECT_TRUE(server.requests().size() == 1);
    EXPECT_EQ(msgs.take().join('|'), QStringLiteral("stop: Se neceista conexión a internet para poder ejecutar esta opción"));
}

TEST_F(SocietyCheck, PrintedSpoolIsMarkedSentByTheSelection)
{
    const quint32 a = spooled(QStringLiteral("EA1AAA"), QStringLiteral(" 89"), 1);
    const quint32 b = qso(QStringLiteral("DL1ABC"), QStringLiteral("230"), QStringLiteral("40M"), QStringLiteral("CW"));
    spoolAdd(at(log(), b));
    spool()->setOrder(QStringLiteral("PrnQsl"));
    SpoolSelection sel;
    sel.band = QStringLiteral("40M");
    EXPECT_EQ(markSpoolSent(*spool(), sel, QDate(2024, 7, 1), QLatin1Char('D')), 1);
    EXPECT_TRUE(inSpool(a));
    EXPECT_FALSE(inSpool(b));
    EXPECT_EQ(field(b, "QSLSENT"), "Y");
    EXPECT_EQ(field(b, "QSLMODE"), "D");
    EXPECT_EQ(at(log(), b).num(QStringLiteral("NQSLTX")), 1);
}

} // namespace
