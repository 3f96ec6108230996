// The map windows offscreen: pages written where the program works, the
// desktop browser when the embedded view is off, the elevation window filled
// from a server on 127.0.0.1 (and its message when the services are silent),
// and the log window's pages of the current QSO.
#include "web_server.h"

#include "app/tappl.h"
#include "core/scripted_messages.h"
#include "maps/views/elevation_window.h"
#include "maps/views/log_pages.h"
#include "maps/views/map_window.h"
#include "maps/views/web_pane.h"

#include <QAbstractSeries>
#include <QChart>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace maps;

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

const QByteArray kGeocode = R"({ "results" : [ { "formatted_address" : "Calle Mayor, 1, 28013 Madrid, España" } ], "status" : "OK" })";
const QByteArray kElevation = R"({ "results" : [ { "elevation" : 650.5 }, { "elevation" : 1200 }, { "elevation" : -3 },
    { "elevation" : 20 } ], "status" : "OK" })";

class MapWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        qputenv("ORLANLOG_MAPS", MAPS_ASSETS_DIR);
        qputenv("ORLANLOG_CONFIG", (dir.path() + "/config/").toLocal8Bit());
        qputenv("ORLANLOG_HOME", (dir.path() + "/home").toLocal8Bit());
        QDir(dir.path()).mkpath("config");
        QDir(dir.path()).mkpath("home/datos");
        if (!app::oAppl)
            app::TAppl::New();
        app::oAppl->cDirLocal = dir.path() + "/home/";
        ui::setMessages(&msgs);
        WebPane::setExternalOpener([this](const QUrl& url) {
            opened << url;
            return true;
        });
    }
    void TearDown() override
    {
        ui::setMessages(nullptr);
        qunsetenv("ORLANLOG_NO_WEBENGINE");
    }
    void pointServicesAt(const QString& base)
    {
        app::oAppl->ini().Set("Servicios", "Geocodificacion", base);
        app::oAppl->ini().Set("Servicios", "Elevacion", base);
    }
    QString home() const { return dir.path() + "/home/"; }

    QTemporaryDir dir;
    ui::ScriptedMessages msgs;
    QList<QUrl> opened;
};

// Waits for a load of the embedded view; false when the render process did not
// answer in time (a machine where Chromium cannot run).
bool loadedWithin(WebPane* pane, int ms)
{
    QSignalSpy spy(pane, &WebPane::loaded);
    return spy.wait(ms) && spy.first().first().toBool();
}

} // namespace

TEST_F(MapWindows, APageIsWrittenInTheWorkingFolderShownAndDeletedWithItsWindow)
{
    QString path;
    {
        MapWindow w("gMapGrid.html");
        w.show();
        ASSERT_TRUE(w.showPage("<html><body><p id=x>mapa</p></body></html>"));
        path = home() + "gMapGrid.html";
        EXPECT_EQ(w.filePath(), path);
        EXPECT_TRUE(QFile::exists(path));
        EXPECT_EQ(w.pane()->url(), QUrl::fromLocalFile(path));
        if (webEngineBuilt()) {
            EXPECT_TRUE(w.pane()->embedded());
            EXPECT_TRUE(opened.isEmpty()) << "the desktop browser was not wanted";
            if (!loadedWithin(w.pane(), 20000))
                GTEST_LOG_(INFO) << "Qt WebEngine did not load the page here; the view was made and the file written";
        } else {
            EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(path)});
        }
    }
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(MapWindows, WithoutTheEmbeddedViewThePageGoesToTheDesktopBrowserAndTheWindowSaysSo)
{
    qputenv("ORLANLOG_NO_WEBENGINE", "1");
    MapWindow w("e.html");
    ASSERT_TRUE(w.showPage("<html></html>"));
    EXPECT_FALSE(w.pane()->embedded());
    EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(home() + "e.html")});
    EXPECT_TRUE(w.pane()->note().contains("navegador del escritorio")) << w.pane()->note().toStdString();
}

TEST_F(MapWindows, ElevationWindowFillsResultsPlaceAndProfileFromTheServices)
{
    WebServer server;
    server.route("/maps/api/geocode/json*", kGeocode);
    server.route("/maps/api/elevation/json*", kElevation);
    pointServicesAt(server.base());
    qputenv("ORLANLOG_NO_WEBENGINE", "1");
    ElevationWindow w;
    w.show();
    QSignalSpy done(&w, &ElevationWindow::calculated);
    w.setLocators("in80do", "IO91WM");   // both given: calculates at once
    EXPECT_TRUE(w.busy());
    EXPECT_EQ(w.result("dist"), " 1.244 Km");
    EXPECT_EQ(w.result("qtf"), "  12º");
    EXPECT_EQ(w.result("qtfLp"), " 192º");
    EXPECT_EQ(w.result("distLp"), "38.756 Km");
    ASSERT_TRUE(done.wait(10000));
    EXPECT_FALSE(w.busy());
    EXPECT_EQ(w.result("place1"), " 1");
    EXPECT_EQ(w.result("place2"), " 28013 Madrid");
    EXPECT_EQ(w.result("place3"), " España");
    EXPECT_EQ(w.profile(), (QList<double>{650.5, 1200, 0, 20}));
    EXPECT_EQ(w.chart()->chart()->series().size(), 1);
    EXPECT_TRUE(QFile::exists(home() + "pel.html"));
    EXPECT_TRUE(QFile(home() + "pel.html").open(QIODevice::ReadOnly));
    const QStringList asked = server.requests();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[1].contains("&samples=124&")) << asked[1].toStdString();
    EXPECT_TRUE(msgs.log().isEmpty()) << msgs.log().join('\n').toStdString();

    // the chart's buttons
    w.chartAction("bars")->trigger();
    EXPECT_EQ(w.chart()->kind(), ProfileChart::Kind::Bars);
    w.chartAction("vgrid")->trigger();
    EXPECT_TRUE(w.chart()->verticalGrid());
    w.chartAction("relief")->trigger();
    EXPECT_EQ(w.chart()->kind(), ProfileChart::Kind::Relief);
}

TEST_F(MapWindows, ElevationWindowSaysSoWhenTheServicesDoNotAnswerAndNeverFreezes)
{
    WebServer server;
    server.route("/maps/api/geocode/json*", WebReply{200, {}, {}, -1, true});
    pointServicesAt(server.base());
    qputenv("ORLANLOG_NO_WEBENGINE", "1");
    ElevationWindow w;
    w.setTimeOut(1);
    QSignalSpy done(&w, &ElevationWindow::calculated);
    QElapsedTimer t;
    t.start();
    w.setLocators("IN80DO", "JN18EU");
    EXPECT_LT(t.elapsed(), 800) << "the services are asked off the window's thread";
    ASSERT_TRUE(done.wait(10000));
    EXPECT_TRUE(w.result("status").contains("no responde")) << w.result("status").toStdString();
    EXPECT_TRUE(w.profile().isEmpty());
    EXPECT_EQ(w.result("place1"), "");
}

TEST_F(MapWindows, ElevationWindowRefusesMissingOrWrongLocators)
{
    qputenv("ORLANLOG_NO_WEBENGINE", "1");
    ElevationWindow w;
    w.fromField()->setText("IN80DO");
    w.calculate();
    w.toField()->setText("ZZ99");
    w.calculate();
    EXPECT_EQ(msgs.log(), (QStringList{"alert: Parametros erroneos o incompletos", "alert: Parametros erroneos o incompletos"}));
    EXPECT_FALSE(w.busy());
}

TEST_F(MapWindows, QsoMapIsBuiltOnlyWhenTheCallChanges)
{
    qputenv("ORLANLOG_NO_WEBENGINE", "1");
    QsoPoints current{"EA8AA", "IN80DO", "IL18RK"};
    QsoMapPage page([&current] { return current; });
    page.shown();
    EXPECT_EQ(page.built(), 1);
    EXPECT_TRUE(page.notice()->isVisibleTo(&page));
    QFile file(home() + "mihtml.htm");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(html.contains("EA8AA"));
    EXPECT_TRUE(html.contains("setView([") || html.contains("zoom")) << "a path map";
    page.shown();
    EXPECT_EQ(page.built(), 1) << "same call: the page stays";
    current = {"K1ABC", "IN80DO", "FN42"};
    page.shown();
    EXPECT_EQ(page.built(), 2);
    EXPECT_EQ(page.shownCall(), "K1ABC");
    QTest::qWait(700);
    EXPECT_FALSE(page.notice()->isVisibleTo(&page)) << "the notice goes after half a second";
}

TEST_F(MapWindows, CallbookPageGoesToThePrefixAndTheTrimmedCall)
{
    EXPECT_EQ(callbookPageUrl(" www.qrz.com/db/ ", " EA4ZZ "), QUrl("https://www.qrz.com/db/EA4ZZ"));
    EXPECT_EQ(callbookPageUrl("http://127.0.0.1:8080/db/", "EA4ZZ"), QUrl("http://127.0.0.1:8080/db/EA4ZZ"));
    qputenv("ORLANLOG_NO_WEBENGINE", "1");
    QString call = "EA4ZZ";
    CallbookPage page([] { return QString("www.qrz.com/db/"); }, [&call] { return call; });
    page.shown();
    EXPECT_EQ(page.pane()->url(), QUrl("https://www.qrz.com/db/EA4ZZ"));
    EXPECT_TRUE(page.notice()->isVisibleTo(&page));
    call = "K1ABC";
    page.shown();
    EXPECT_EQ(page.pane()->url(), QUrl("https://www.qrz.com/db/K1ABC"));
}
