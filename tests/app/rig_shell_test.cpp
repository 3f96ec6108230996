// Rig control in the running program: started from the settings, the
// frequency panel on the button bar, the entry form following the rig while
// a new QSO is entered, and a spot tuning it.
#include "app/main_frame.h"
#include "app/startup.h"
#include "app/station_setup.h"
#include "app/tappl.h"
#include "logbook/qso_entry.h"
#include "logbook/views/entry_form.h"
#include "cluster/views/telnet_window.h"
#include "store/aliases.h"
#include "station/cat.h"
#include "station/rig_link.h"
#include "station/rig_modes.h"
#include "station/views/freq_panel.h"
#include "store/home.h"
#include "store/workspace.h"
#include "core/scripted_messages.h"

#include "../station/dummy_rig.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

using namespace app;

TEST(RigShell, ThePanelAndANewQsoFollowTheRigAndASpotTunesIt)
{
    SKIP_WITHOUT_RIGCTLD();
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home/");
    qputenv("ORLANLOG_HOME", home.toLocal8Bit());
    qputenv("ORLANLOG_CONFIG", (dir.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("ORLANLOG_OFFLINE", "1");
    TAppl::New();
    ui::ScriptedMessages msgs;
    ui::setMessages(&msgs);
    ASSERT_TRUE(store::createHome(home, home + QStringLiteral("datos/"), "EA4ZZ", store::shippedTablesDir()).isOk());
    station::testing::DummyRigctld rigctld;
    ASSERT_TRUE(rigctld.start());
    station::setUpHamlib();
    {
        station::RigLink link;
        ASSERT_EQ(link.open(rigctld.config()).status, station::kOnline);
        link.setMode(station::kSsbUpper);
        link.setFrequency(14074000);
    }
    ASSERT_TRUE(firstStage(false));
    for (int i = 0; i < 50 && !store::Workspace::instance().area(QStringLiteral("Log")); ++i)
        QTest::qWait(20);

    // the settings say CAT is on for rig 1, reached through our rigctld
    station::saveRigConfig(1, rigctld.config());
    store::WorkArea* cfg = store::Workspace::instance().area(QStringLiteral("cfg"));
    ASSERT_TRUE(cfg->lockRecord().isOk());
    cfg->put("CATON", true);
    ASSERT_TRUE(cfg->unlock().isOk());
    startRigControl(false);
    ASSERT_NE(oAppl->oCat, nullptr);

    auto* panel = frame()->findChild<QToolBar*>("ToolBar")->findChild<station::FreqPanel*>();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel->cFreq() == "014.074.00"; }, 10000)) << panel->cFreq().toStdString();

    logbook::EDTLOG(true, false, QStringLiteral("Log"));
    logbook::QsoEntry* qso = logbook::entryForm()->entry();
    ASSERT_NE(qso, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return qso->text("FREQ").trimmed().toDouble() == 14.074; }, 10000));
    EXPECT_EQ(qso->text("BAND").trimmed(), "20M");

    // a spot chosen in the cluster window
    ASSERT_TRUE(station::CATSET(7025, "SSB"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return qso->text("FREQ").trimmed().toDouble() == 7.025; }, 10000));
    EXPECT_EQ(qso->text("BAND").trimmed(), "40M");
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel->cFreq() == "007.025.00"; }, 5000));
    EXPECT_TRUE(panel->findChild<QWidget*>("LSB")->property("checked").toBool());

    // the same through a spot double-clicked in the cluster's lists
    store::WorkArea* spots = store::Workspace::instance().area(store::alias::kSpots);
    ASSERT_TRUE(spots);
    ASSERT_TRUE(spots->append().isOk());
    spots->put("CALL", "K1ABC");
    spots->put("FREQ", 14.025);
    spots->put("FREQ2", 14025.0);
    spots->put("BAND", "20M");
    spots->put("MODE", "CW");
    spots->unlock();
    ASSERT_TRUE(cluster::clusterHost().spotChosen);
    cluster::clusterHost().spotChosen();
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel->cFreq() == "014.025.00"; }, 5000)) << panel->cFreq().toStdString();
    EXPECT_EQ(qso->text("CALL").trimmed(), "K1ABC");

    oAppl->lCerrar = true;
    frame()->close();
    QApplication::processEvents();
    EXPECT_EQ(station::catRig(), nullptr) << "rig control ends with the program";
    endRigThreads();
    store::Workspace::instance().closeAll();
    ui::setMessages(nullptr);
}
