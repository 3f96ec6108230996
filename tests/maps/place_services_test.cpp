// Place name and elevation profile against a server on 127.0.0.1 answering
// in the Google Maps web-service form (answers written after its published
// examples), and the readers against damaged answers.
#include "web_server.h"

#include "app/tappl.h"
#include "geo/locator.h"
#include "maps/place_services.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace maps;

namespace {

const QByteArray kGeocode = R"({
   "results" : [
      {
         "address_components" : [],
         "formatted_address" : "Calle Mayor, 1, 28013 Madrid, España",
         "geometry" : { "location" : { "lat" : 40.4, "lng" : -3.7 }, "location_type" : "ROOFTOP" },
         "place_id" : "x",
         "types" : [ "street_address" ]
      },
      { "formatted_address" : "Madrid, España" }
   ],
   "status" : "OK"
})";

const QByteArray kElevation = R"({
   "results" : [
      { "elevation" : 1608.637939453125, "location" : { "lat" : 39.7391536, "lng" : -104.9847034 }, "resolution" : 4.77 },
      { "elevation" : -50.7890396118164, "location" : { "lat" : 36.455556, "lng" : -116.866667 }, "resolution" : 19.08 },
      { "elevation" : 12 }
   ],
   "status" : "OK"
})";

QString c(double v) { return QString::number(v, 'f', 6); }

void pointServicesAt(const QString& base)
{
    static QTemporaryDir dir;
    if (!app::oAppl) {
        qputenv("ORLANLOG_CONFIG", (dir.path() + QStringLiteral("/config/")).toLocal8Bit());
        qputenv("ORLANLOG_HOME", (dir.path() + QStringLiteral("/home")).toLocal8Bit());
        QDir(dir.path()).mkpath(QStringLiteral("config"));
        QDir(dir.path()).mkpath(QStringLiteral("home/datos"));
        app::TAppl::New();
    }
    app::oAppl->ini().Set(QStringLiteral("Servicios"), QStringLiteral("Geocodificacion"), base);
    app::oAppl->ini().Set(QStringLiteral("Servicios"), QStringLiteral("Elevacion"), base);
}

} // namespace

TEST(PlaceServices, PlaceNameAndProfileFromTheServices)
{
    WebServer server;
    pointServicesAt(server.base());
    const QString geocode = QStringLiteral("/maps/api/geocode/json?latlng=%1,%2&sensor=false")
                                .arg(c(geo::QRA2LAT("IN80DO")), c(geo::QRA2LON("IN80DO")));
    server.route(geocode, kGeocode);
    const QStringList parts = GMAPGEO("in80do");
    EXPECT_EQ(parts, (QStringList{"Calle Mayor", " 1", " 28013 Madrid", " España"}));
    EXPECT_EQ(placeLines(parts), (QStringList{" 1", " 28013 Madrid", " España"}));

    // Madrid to Tokyo is about 10800 km: 1080 % 512 = 56, so 100 samples.
    const QString elevation = QStringLiteral("/maps/api/elevation/json?path=%1,%2%7C%3,%4&samples=100&sensor=false")
                                  .arg(c(geo::QRA2LAT("IN80DO")), c(geo::QRA2LON("IN80DO")), c(geo::QRA2LAT("PM95UQ")),
                                       c(geo::QRA2LON("PM95UQ")));
    server.route(elevation, kElevation);
    const QList<double> profile = GMAPELEVATION("IN80DO", "PM95UQ");
    ASSERT_EQ(profile.size(), 3);
    EXPECT_DOUBLE_EQ(profile[0], 1608.637939453125);
    EXPECT_EQ(profile[1], 0.0);   // below sea level shows as 0
    EXPECT_EQ(profile[2], 12.0);

    // A refusal, an error status, a silent server, a bad locator: empty, quietly.
    server.route(geocode, R"({"error_message":"The provided API key is invalid.","results":[],"status":"REQUEST_DENIED"})");
    EXPECT_TRUE(GMAPGEO("IN80DO").isEmpty());
    server.route(elevation, WebReply{500, "fallo", {}, -1, false});
    EXPECT_TRUE(GMAPELEVATION("IN80DO", "PM95UQ").isEmpty());
    server.route(geocode, WebReply{200, {}, {}, -1, true});
    EXPECT_TRUE(GMAPGEO("IN80DO", 1).isEmpty());
    EXPECT_TRUE(GMAPGEO("XX99").isEmpty());
    EXPECT_TRUE(GMAPELEVATION("IN80DO", "").isEmpty());
}

TEST(PlaceServices, PlaceLinesKeepTheLastThreeParts)
{
    EXPECT_EQ(placeLines({"a", " b", " c", " d"}), (QStringList{" b", " c", " d"}));
    EXPECT_EQ(placeLines({"Madrid", " España"}), (QStringList{"Madrid", " España", ""}));
    EXPECT_EQ(placeLines({}), (QStringList{"", "", ""}));
}

TEST(PlaceServices, DamagedAnswersNeverBreakTheReaders)
{
    QRandomGenerator rng(8122026);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bad = rng.bounded(2) ? kGeocode : kElevation;
        const int cuts = 1 + int(rng.bounded(6));
        for (int i = 0; i < cuts && !bad.isEmpty(); ++i) {
            const int at = int(rng.bounded(bad.size()));
            switch (rng.bounded(3)) {
            case 0: bad.remove(at, int(rng.bounded(8))); break;
            case 1: bad[at] = char(rng.bounded(256)); break;
            default: bad.insert(at, "\"[{,:}]"[rng.bounded(7)]); break;
            }
        }
        const QStringList parts = addressParts(bad);
        const QList<double> e = elevations(bad);
        EXPECT_LE(e.size(), 3);
        for (double v : e)
            EXPECT_GE(v, 0.0);
        EXPECT_EQ(placeLines(parts).size(), 3);
    }
}
