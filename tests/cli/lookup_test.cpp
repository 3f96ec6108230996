// orlanlog-cli lookup against a server on 127.0.0.1 answering as HamQTH's
// XML service: the fields printed, and the password never shown.
#include "cli_run.h"
#include "web_server.h"

#include "store/workspace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(CliLookup, PrintsTheFieldsOfAHamQthAnswerAndRefusesBadInput)
{
    QTemporaryDir dir;
    const QString home = dir.path();
    const QString config = home + QStringLiteral("/config");
    qputenv("ORLANLOG_CONFIG", config.toLocal8Bit());
    qunsetenv("ORLANLOG_OFFLINE");
    ASSERT_EQ(cli(home, {"init", "--call", "ea4zz"}).code, 0);
    {
        store::Workspace w;
        w.setDataDir(home + QStringLiteral("/datos"));
        store::WorkArea* cfg = nullptr;
        ASSERT_TRUE(w.use(QStringLiteral("cfg"), {}, &cfg).isOk());
        cfg->goTop();
        ASSERT_TRUE(cfg->lockRecord().isOk());
        cfg->put(QStringLiteral("QTHUSR"), store::Value::text(QStringLiteral("ea4zz")));
        cfg->put(QStringLiteral("QTHPSW"), store::Value::text(QStringLiteral("pw9x")));
        cfg->unlock();
    }
    WebServer server;
    QDir().mkpath(config);
    QFile ini(config + QStringLiteral("/Orlan Win Log.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Servicios]\r\nHamQthXml=" + server.base().toLatin1() + "\r\n");
    ini.close();
    server.route(QStringLiteral("/xml.php?u=ea4zz&p=pw9x"),
                 "<HamQTH><session><session_id>s1</session_id></session></HamQTH>");
    server.route(QStringLiteral("/xml.php?id=s1&callsign=OK7AK&prg=ORLANLOG"),
                 "<HamQTH><search><callsign>ok7ak</callsign><nick>Petr</nick><qth>Neratovice</qth><adif>503</adif>"
                 "<itu>28</itu><cq>15</cq><grid>jo70gg</grid><adr_name>Petr Hlozek</adr_name>"
                 "<adr_city>Neratovice</adr_city><adr_zip>27711</adr_zip></search></HamQTH>");
    const CliRun r = cli(home, {"lookup", "ok7ak", "--service", "hamqth"});
    EXPECT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("NAME: Petr\n"));
    EXPECT_TRUE(r.out.contains("GRIDSQUARE: jo70gg\n"));
    EXPECT_TRUE(r.out.contains("DXCC: 503\n"));
    EXPECT_TRUE(r.out.contains("ADDRES: Petr Hlozek |  | Neratovice | 27711 | \n"));
    EXPECT_FALSE((r.out + r.err).contains("pw9x"));

    server.route(QStringLiteral("/xml.php?u=ea4zz&p=pw9x"),
                 "<HamQTH><session><error>Wrong user name or password</error></session></HamQTH>");
    const CliRun refused = cli(home, {"lookup", "OK7AK", "--service", "hamqth"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE((refused.out + refused.err).contains("Revise configuración usuario/contraseña"));
    EXPECT_FALSE((refused.out + refused.err).contains("pw9x"));

    EXPECT_EQ(cli(home, {"lookup", "K1", "--service", "hamqth"}).code, 2);
    EXPECT_EQ(cli(home, {"lookup", "OK7AK", "--service", "hamqt"}).code, 2);
    qputenv("ORLANLOG_OFFLINE", "1");
    EXPECT_EQ(cli(home, {"lookup", "OK7AK"}).code, 1);
    qunsetenv("ORLANLOG_OFFLINE");
}
