// The chart window and the dialogs of the charts and reports, offscreen:
// every chart type draws its series, the grids follow their buttons, the
// chart saves as a picture and as a PDF, the date check of the selection,
// the report dialog that stays open for another run, and the whole run of a
// chart from its menu entry with the entity chart's questions.
#include "reports_home.h"

#include "../gui_app.h"

#include "core/scripted_messages.h"
#include "reports/views/band_mode_dialog.h"
#include "reports/views/chart_commands.h"
#include "reports/views/chart_selection_dialog.h"
#include "reports/views/chart_window.h"

#include <QAbstractAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QLineSeries>
#include <QPieSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using reports::ChartType;

reports::ChartData sample()
{
    reports::ChartData d;
    d.title = QStringLiteral("QSO por Modos");
    d.categoryTitle = QStringLiteral("Modo");
    d.labels = {QStringLiteral("SSB"), QStringLiteral("CW"), QStringLiteral("FT8")};
    d.values = {12, 5, 30};
    d.qsos = 47;
    return d;
}

class ChartWindowTest : public reports::testing::ReportsHome {
protected:
    void SetUp() override
    {
        testing_support::guiApp();
        ReportsHome::SetUp();
        ui::setMessages(&msgs);
    }
    void TearDown() override
    {
        ui::setMessages(nullptr);
        ReportsHome::TearDown();
    }
    ui::ScriptedMessages msgs;
};

TEST_F(ChartWindowTest, EveryTypeDrawsTheSeriesAndTheGridsFollowTheirButtons)
{
    reports::ChartWindow w(sample());
    w.resize(700, 500);
    auto series = [&] { return w.chart()->series().value(0); };
    ASSERT_TRUE(qobject_cast<QBarSeries*>(series()));
    EXPECT_EQ(qobject_cast<QBarSeries*>(series())->barSets().value(0)->count(), 3);
    w.setType(ChartType::Lines);
    ASSERT_TRUE(qobject_cast<QLineSeries*>(series()));
    EXPECT_EQ(qobject_cast<QLineSeries*>(series())->count(), 3);
    w.setType(ChartType::Points);
    EXPECT_TRUE(qobject_cast<QScatterSeries*>(series()));
    w.setType(ChartType::Pie);
    auto* pie = qobject_cast<QPieSeries*>(series());
    ASSERT_TRUE(pie);
    EXPECT_EQ(pie->slices().value(2)->label(), QStringLiteral("FT8: 30"));
    EXPECT_DOUBLE_EQ(pie->sum(), 47);

    w.setType(ChartType::Bars);
    w.setVerticalGrid(true);
    w.setHorizontalGrid(false);
    EXPECT_TRUE(w.chart()->axes(Qt::Horizontal).value(0)->isGridLineVisible());
    EXPECT_FALSE(w.chart()->axes(Qt::Vertical).value(0)->isGridLineVisible());
    // the look survives a change of type
    w.set3d(true);
    w.setType(ChartType::Lines);
    EXPECT_TRUE(w.is3d());
    EXPECT_TRUE(w.chart()->axes(Qt::Horizontal).value(0)->isGridLineVisible());
    QFont big(QStringLiteral("DejaVu Sans"), 20);
    w.setPartFont(reports::ChartPart::TitleY, big, Qt::red);
    EXPECT_EQ(w.chart()->axes(Qt::Vertical).value(0)->titleFont().pointSize(), 20);
    EXPECT_EQ(w.chart()->axes(Qt::Vertical).value(0)->titleText(), QStringLiteral("Contactos"));
    EXPECT_EQ(w.chart()->axes(Qt::Horizontal).value(0)->titleText(), QStringLiteral("Modo"));
}

TEST_F(ChartWindowTest, SavesAPictureAndAPdfAndSaysWhenItCannot)
{
    reports::ChartWindow w(sample());
    w.resize(640, 480);
    w.show();
    const QString png = program + QStringLiteral("chart.png"), pdf = program + QStringLiteral("chart.pdf");
    QString err;
    ASSERT_TRUE(w.save(png, &err)) << err.toStdString();
    const QImage img(png);
    EXPECT_FALSE(img.isNull());
    // the bars are drawn in their colour somewhere on the picture
    bool blue = false;
    for (int y = 0; y < img.height() && !blue; y += 2)
        for (int x = 0; x < img.width() && !blue; x += 2)
            blue = img.pixelColor(x, y) == QColor(128, 128, 255);
    EXPECT_TRUE(blue);
    ASSERT_TRUE(w.save(pdf, &err)) << err.toStdString();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
    EXPECT_FALSE(w.save(program + QStringLiteral("no/such/folder/c.png"), &err));
    EXPECT_EQ(err, QStringLiteral("No se pudo guardar el gráfico en ") + program + QStringLiteral("no/such/folder/c.png"));
}

TEST_F(ChartWindowTest, DatesOutOfOrderKeepTheSelectionOpen)
{
    reports::ChartSelectionDialog d;
    d.findChild<QLineEdit*>(QStringLiteral("600"))->setText(QStringLiteral("10-05-2024"));
    d.findChild<QLineEdit*>(QStringLiteral("601"))->setText(QStringLiteral("01-05-2024"));
    d.show();
    d.accept();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(msgs.take(), QStringList{"alert: Fecha hasta debes se mayor que desde"});
    d.findChild<QLineEdit*>(QStringLiteral("601"))->setText(QStringLiteral("31-05-2024"));
    d.findChild<QLineEdit*>(QStringLiteral("614"))->setText(QStringLiteral("ea1xx"));
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    const reports::QsoSelection s = d.selection();
    EXPECT_EQ(s.from, QDate(2024, 5, 10));
    EXPECT_EQ(s.to, QDate(2024, 5, 31));
    EXPECT_EQ(s.op, QStringLiteral("EA1XX"));
}

TEST_F(ChartWindowTest, TheReportDialogRunsAgainWithAnotherChoice)
{
    std::vector<reports::BandModeChoice> runs;
    reports::BandModeDialog d(QStringLiteral("Informe"), [&](const reports::BandModeChoice& c) { runs.push_back(c); });
    d.show();
    d.bandList(3)->setCurrentIndex(d.bandList(3)->findText(QStringLiteral("40M")));
    d.findChild<QPushButton*>(QStringLiteral("1"))->click();
    d.bandList(3)->setCurrentIndex(0);
    d.modeList(5)->setCurrentIndex(d.modeList(5)->findText(QStringLiteral("CW")));
    d.findChild<QPushButton*>(QStringLiteral("1"))->click();
    EXPECT_TRUE(d.isVisible());
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].bands, QStringList{"40M"});
    EXPECT_TRUE(runs[0].modes.isEmpty());
    EXPECT_TRUE(runs[1].bands.isEmpty());
    EXPECT_EQ(runs[1].modes, QStringList{"CW"});
}

TEST_F(ChartWindowTest, TheEntityChartAsksHowManyAndAboutTheRest)
{
    for (int i = 0; i < 3; ++i)
        add({.call = "DL1AA", .ent = "225"});
    add({.call = "EA1AA", .ent = " 89"});
    add({.call = "JA1AA", .ent = "311"});
    msgs.answer(QStringLiteral("1"));
    msgs.answer(true);
    QTimer::singleShot(0, [] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            d->accept();
    });
    reports::ChartWindow* shown = nullptr;
    reports::GRFENT(nullptr, [&](reports::ChartWindow* w) { shown = w; });
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->data().labels, (QStringList{"ALEMANIA", "RESTO"}));
    EXPECT_EQ(shown->data().values, (std::vector<double>{3, 2}));
    EXPECT_FALSE(msgs.unexpected());
    delete shown;
}

} // namespace
