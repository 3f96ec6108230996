// The coordinate converter and the distance dialog, offscreen, by control ids.
#include "../gui_app.h"
#include "geo/views/coordinate_converter_dialog.h"
#include "geo/views/distance_dialog.h"
#include "geo/distance.h"

#include "core/scripted_messages.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using testing_support::guiApp;

QString text(QWidget* d, const char* id)
{
    if (auto* e = d->findChild<QLineEdit*>(QString::fromLatin1(id)))
        return e->text();
    if (auto* l = d->findChild<QLabel*>(QString::fromLatin1(id)))
        return l->text();
    ADD_FAILURE() << "no control " << id;
    return {};
}

void type(QWidget* d, const char* id, const QString& t)
{
    auto* e = d->findChild<QLineEdit*>(QString::fromLatin1(id));
    ASSERT_TRUE(e) << id;
    e->setText(t);
    emit e->editingFinished();
}

class ToolDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        guiApp();
        ui::setMessages(&msgs);
    }
    void TearDown() override { ui::setMessages(nullptr); }
    ui::ScriptedMessages msgs;
};

TEST_F(ToolDialogs, TheConverterTurnsEachFormIntoTheOtherTwo)
{
    geo::CoordinateConverterDialog d;
    EXPECT_EQ(d.windowTitle(), "Conversor Latitud Longitud");
    // it starts at 39° 26' 15'' N, 2° 47' 30'' E
    EXPECT_EQ(text(&d, "4007"), "39.437500");
    EXPECT_EQ(text(&d, "4008"), "2.791667");
    EXPECT_EQ(text(&d, "4011"), "JM19JK");

    // 0° 30' south is -0.5, and back again with its sign on the degrees
    type(&d, "4001", QStringLiteral("-0"));
    type(&d, "4002", QStringLiteral("30"));
    type(&d, "4003", QStringLiteral("0"));
    EXPECT_EQ(text(&d, "4007"), "-0.500000");
    type(&d, "4007", QStringLiteral("0.5"));
    EXPECT_EQ(text(&d, "4001"), "0");
    EXPECT_EQ(text(&d, "4002"), "30");
    EXPECT_EQ(text(&d, "4003"), "0.00");
    type(&d, "4008", QStringLiteral("-3.75"));
    EXPECT_EQ(text(&d, "4004"), "-3");
    EXPECT_EQ(text(&d, "4005"), "45");

    // a locator gives both decimals and both triples (the centre of its subsquare)
    type(&d, "4011", QStringLiteral("in80do"));
    EXPECT_EQ(text(&d, "4011"), "IN80DO");
    EXPECT_EQ(text(&d, "4007"), "40.604167");
    EXPECT_EQ(text(&d, "4008"), "-3.708333");
    EXPECT_EQ(text(&d, "4004"), "-3");
    EXPECT_EQ(text(&d, "4005"), "42");
    EXPECT_EQ(text(&d, "4006"), "30.00");
    // a wrong locator is refused and changes nothing
    type(&d, "4011", QStringLiteral("ZZ99"));
    EXPECT_EQ(msgs.take().last(), "alert: Locator erroneo");
    EXPECT_EQ(text(&d, "4007"), "40.604167");
}

TEST_F(ToolDialogs, TheDistanceDialogShowsShortAndLongPath)
{
    geo::DistanceDialog d;
    EXPECT_EQ(d.windowTitle(), "Cálculo de distancias y rumbos");
    type(&d, "4001", QStringLiteral("in80do"));
    type(&d, "4002", QStringLiteral("JN11"));
    EXPECT_EQ(text(&d, "4002"), "JN11LL") << "a square stands for its centre";
    d.findChild<QPushButton*>("1")->click();
    const int km = text(&d, "4003").chopped(3).toInt();
    const int bearing = text(&d, "4004").chopped(1).toInt();
    EXPECT_TRUE(text(&d, "4003").endsWith(" Km"));
    EXPECT_TRUE(text(&d, "4004").endsWith(u'º'));
    EXPECT_EQ(km, geo::DIST(u"IN80DO"_s, u"JN11LL"_s));   // Madrid to the coast by Barcelona
    EXPECT_EQ(bearing, geo::RUMBO(u"IN80DO"_s, u"JN11LL"_s));
    EXPECT_NEAR(km, 567, 1);
    EXPECT_NEAR(bearing, 78, 1);
    EXPECT_EQ(text(&d, "4005"), QString::number(40000 - km) + " Km");
    EXPECT_EQ(text(&d, "4006"), QString::number((bearing + 180) % 360) + "º");
    // a wrong locator is said and nothing is calculated from it
    type(&d, "4002", QStringLiteral("XX"));
    EXPECT_EQ(msgs.take().last(), "alert: Locator erroneo");
}

} // namespace
