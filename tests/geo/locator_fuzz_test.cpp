// Locators typed by the user, read from files or from cluster spots: any text
// gives an answer, never a crash or a point off the globe.
#include "geo/distance.h"
#include "geo/locator.h"
#include "geo/sun.h"

#include "core/scripted_messages.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <cmath>
#include <random>

using namespace geo;

namespace {

QString randomText(std::mt19937& rng)
{
    static const QString alphabet = QStringLiteral("ABCJKNRSXYZabjnrxyz0123456789 -/.\t\u00d1\u00e9\u20ac\U0001F600");
    const int len = int(rng() % 9);
    QString s;
    for (int i = 0; i < len; ++i) {
        if (rng() % 8 == 0)
            s += QChar(char16_t(rng() % 0xD7FF + 1));       // anything in the basic plane
        else
            s += alphabet.at(int(rng() % alphabet.size()));
    }
    return s;
}

} // namespace

TEST(LocatorFuzz, AnyTextGivesASensibleAnswer)
{
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 rng(seed);
    ui::ScriptedMessages msgs;
    ui::setMessages(&msgs);
    const QRegularExpression valid(QStringLiteral("^([A-R]{2}[0-9]{2}[A-X]{2})?$"));

    for (int i = 0; i < 20000; ++i) {
        const QString text = randomText(rng);
        const QString other = rng() % 2 ? randomText(rng) : QStringLiteral("IN80DK");

        QString completed;
        const bool ok = isValidLocator(text, &completed);
        ASSERT_EQ(ok, valid.match(completed).hasMatch()) << text.toStdString();
        QString field = text;
        ASSERT_EQ(CHKLOC(&field), ok);
        ASSERT_EQ(msgs.take().size(), ok ? 0 : 1);
        if (ok && !completed.isEmpty()) {
            ASSERT_EQ(CALLOC(QRA2LAT(completed), QRA2LON(completed)), completed);
        }

        const double lat = QRA2LAT(text), lon = QRA2LON(text);
        ASSERT_TRUE(lat >= -90 && lat <= 90) << text.toStdString();
        ASSERT_TRUE(lon >= -180 && lon <= 180) << text.toStdString();
        const int km = DIST(text, other);
        const int qtf = RUMBO(text, other);
        ASSERT_TRUE(km >= 0 && km <= 20002) << text.toStdString() << " " << other.toStdString();
        ASSERT_TRUE(qtf >= 0 && qtf <= 360) << text.toStdString() << " " << other.toStdString();

        QString rise, set;
        ORTOOCASO(text, &rise, &set, QDate(2024, 1 + int(rng() % 12), 1 + int(rng() % 28)));
        ASSERT_EQ(rise.size(), 5);
        ASSERT_EQ(set.size(), 5);
    }
    ui::setMessages(nullptr);
}

TEST(LocatorFuzz, AnyCoordinatesGiveAValidLocator)
{
    std::mt19937 rng(20240621);
    std::uniform_real_distribution<double> wide(-1000, 1000);
    const double odd[] = {0, -0.0, 90, -90, 180, -180, 1e300, -1e300, 89.99999999999999, 179.99999999999997,
                          std::nextafter(-90.0, 0.0), std::numeric_limits<double>::denorm_min()};
    for (int i = 0; i < 20000; ++i) {
        const double lat = i < 144 ? odd[i % 12] : wide(rng);
        const double lon = i < 144 ? odd[i / 12] : wide(rng);
        QString loc = CALLOC(lat, lon);
        ASSERT_TRUE(isValidLocator(loc)) << lat << " " << lon << " " << loc.toStdString();
        ASSERT_EQ(loc.size(), 6);
    }
    EXPECT_EQ(CALLOC(std::numeric_limits<double>::infinity(), 0), "");
}
