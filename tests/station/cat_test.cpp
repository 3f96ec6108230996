// Rig control against Hamlib's dummy rig: spots tuning the rig, the QSO
// following it, the settings that keep it still, and a rig that goes silent.
#include "cat_fixture.h"

#include "store/record_buffer.h"

#include <QTimer>

using namespace station;
using station::testing::CatTest;

TEST_F(CatTest, ASpotTunesTheRigToItsFrequencyAndASidebandOrCw)
{
    ASSERT_TRUE(CATON());
    ASSERT_TRUE(waitRig([](const RigReading& r) { return r.status == kOnline; }));
    EXPECT_EQ(CATSTATUS(), "Equipo en linea");

    ASSERT_TRUE(CATSET(7025, "SSB"));
    ASSERT_TRUE(waitAt(7025000, kSsbLower));
    ASSERT_TRUE(CATSET(14200, "SSB"));
    ASSERT_TRUE(waitAt(14200000, kSsbUpper));
    ASSERT_TRUE(CATSET(14025.3, " CW"));
    ASSERT_TRUE(waitAt(14025300, kCwLower));
    // the rig itself says so, not only the program's last reading
    const RigReading r = rigNow();
    EXPECT_EQ(r.hz, 14025300);
    EXPECT_EQ(r.mode, kCwLower);
}

TEST_F(CatTest, ASpotLeavesTheRigAloneWhenClusterTuningOrRigControlIsOff)
{
    tuneDirectly(10120000, kCwUpper);
    ASSERT_TRUE(CATON());
    ASSERT_TRUE(waitAt(10120000));
    setFlag("CATCLUS", false);
    EXPECT_FALSE(CATSET(7025, "SSB"));
    setFlag("CATCLUS", true);
    setFlag("CATON", false);
    EXPECT_FALSE(CATSET(7025, "SSB"));
    setFlag("CATON", true);
    EXPECT_FALSE(CATSET(0, "SSB")) << "no frequency, no tuning";
    EXPECT_FALSE(CATSET(std::nan(""), "SSB"));
    CATOFF();
    EXPECT_FALSE(CATSET(7025, "SSB"));
    EXPECT_EQ(CATSTATUS(), "Equipo desabilitado");
    const RigReading r = rigNow();
    EXPECT_EQ(r.hz, 10120000);
    EXPECT_EQ(r.mode, kCwUpper);
}

namespace {

class FollowTest : public CatTest {
protected:
    void SetUp() override
    {
        CatTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(store::catalogue::create(store::catalogue::bandMap(), data + "BandMap.dbf").isOk());
        ASSERT_TRUE(store::NETUSE("BandMap", true, 1, "BandMap"));
        segment("20M", 14.0, 14.07, "CW");
        segment("20M", 14.07, 14.08, "FT8");
        segment("20M", 14.1, 14.35, "");
        ASSERT_TRUE(store::catalogue::create(store::catalogue::logTable("PRUEBA"), data + "LogPRUEBA.dbf").isOk());
        ASSERT_TRUE(store::NETUSE("LogPRUEBA", true, 1, "Log"));
        qso = std::make_unique<store::RecordBuffer>(ws().area("Log"));
        qso->blank();
        qso->set("FREQ", store::Value::number(7.1));
        qso->set("BAND", store::Value::text(QStringLiteral("40M")));
        qso->set("MODE", store::Value::text(QStringLiteral("SSB")));
        ASSERT_TRUE(CATON());
    }
    void segment(const QString& band, double from, double to, const QString& mode)
    {
        store::WorkArea* map = ws().area("BandMap");
        ASSERT_TRUE(map->append().isOk());
        map->put("BAND", band);
        map->put("FREQINI", from);
        map->put("FREQFIN", to);
        map->put("MODE", mode);
        ASSERT_TRUE(map->unlock().isOk());
    }
    // The rig moves, the program reads it, then the QSO is asked to follow.
    bool follow(std::int64_t hz, std::uint32_t mode, bool followFlag = true)
    {
        tuneDirectly(hz, mode);
        EXPECT_TRUE(waitAt(hz, mode));
        return CATRTV(*qso, followFlag);
    }
    QString field(const char* f) { return qso->get(f).toString().trimmed(); }

    std::unique_ptr<store::RecordBuffer> qso;
};

} // namespace

TEST_F(FollowTest, TheQsoTakesTheRigsFrequencyBandAndTheBandMapsMode)
{
    ASSERT_TRUE(follow(14074000, kSsbUpper));
    EXPECT_DOUBLE_EQ(qso->get("FREQ").toNumber(), 14.074);
    EXPECT_EQ(field("BAND"), "20M");
    EXPECT_EQ(field("MODE"), "FT8");

    ASSERT_TRUE(follow(14025000, kSsbUpper));
    EXPECT_EQ(field("MODE"), "SSB") << "sideband inside a CW segment is SSB";
    ASSERT_TRUE(follow(14200000, kDataUpper));
    EXPECT_EQ(field("MODE"), "SSB") << "a segment without a mode";
    ASSERT_TRUE(follow(14030000, kCwLower));
    EXPECT_EQ(field("MODE"), "CW");
    ASSERT_TRUE(follow(7150000, kAm));
    EXPECT_EQ(field("BAND"), "40M");
    EXPECT_EQ(field("MODE"), "AM");
    ASSERT_TRUE(follow(145500000, kFm));
    EXPECT_EQ(field("BAND"), "2M");
    EXPECT_EQ(field("MODE"), "FM");
}

TEST_F(FollowTest, TheRigAtTheQsosFrequencyLeavesItsModeAlone)
{
    ASSERT_TRUE(follow(14074000, kSsbUpper));
    ASSERT_EQ(field("MODE"), "FT8");
    qso->set("MODE", store::Value::text(QStringLiteral("JT65")));
    EXPECT_FALSE(follow(14074000, kCwUpper));
    EXPECT_EQ(field("MODE"), "JT65");
    // a change below the QSO's three decimals is no change either
    EXPECT_FALSE(follow(14074400, kAm));
    EXPECT_EQ(field("MODE"), "JT65");
    // and nothing follows while the form says not to, or with rig control off
    EXPECT_FALSE(follow(14080000, kSsbUpper, false));
    setFlag("CATON", false);
    EXPECT_FALSE(follow(14090000, kSsbUpper));
    EXPECT_DOUBLE_EQ(qso->get("FREQ").toNumber(), 14.074);
}

TEST_F(FollowTest, TheEntryFormsTimerFollowsOnlyWhileAskedTo)
{
    QObject form;
    bool newQso = false;
    int updates = 0;
    QTimer* t = CATTIMER(&form, [&] { return newQso; }, [&] { return qso.get(); }, [&] { ++updates; });
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(CATTIMER(&form, [&] { return newQso; }, [&] { return qso.get(); }, [&] { ++updates; }), t)
        << "one timer per form";
    tuneDirectly(14074000, kSsbUpper);
    ASSERT_TRUE(waitAt(14074000));
    QTest::qWait(1200);
    EXPECT_EQ(updates, 0);
    EXPECT_DOUBLE_EQ(qso->get("FREQ").toNumber(), 7.1);
    newQso = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return updates == 1; }, 5000));
    EXPECT_EQ(field("MODE"), "FT8");
    setFlag("CATON", false);
    EXPECT_EQ(CATTIMER(&form, {}, {}, {}), nullptr) << "no polling with rig control off";
}

TEST_F(CatTest, APausedRigShowsItDoesNotAnswerAndComesBackWhenResumed)
{
    ASSERT_TRUE(CATON());
    ASSERT_TRUE(waitRig([](const RigReading& r) { return r.status == kOnline; }));
    rigctld.pause();
    ASSERT_TRUE(waitRig([](const RigReading& r) { return r.status == kNotResponding; }, 15000));
    EXPECT_EQ(CATSTATUS(), "Equipo no responde");
    EXPECT_FALSE(catRig()->last().error.isEmpty());
    // orders given meanwhile are kept, the latest of each kind
    for (int khz = 7000; khz <= 7100; ++khz)
        catRig()->SetSimplexMode(khz * 1000);
    catRig()->SetMode(kCwUpper);
    rigctld.resume();
    ASSERT_TRUE(waitAt(7100000, kCwUpper));
}

TEST(SilentRig, TheWindowsThreadRunsWhileTheRigKeepsItWaiting)
{
    testing_support::guiApp();
    setUpHamlib();
    station::testing::SilentServer server;
    {
        // the first poll waits on the silent server for Hamlib's time-out; events
        // posted after it still run before its answer comes back
        station::RigControl rig(server.config(), 50);
        bool ranMeanwhile = false;
        QTimer::singleShot(0, [&] { ranMeanwhile = true; });
        for (int i = 0; i < 100; ++i) {
            rig.pollNow();
            rig.SetSimplexMode(14000000 + i);
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return rig.readings() > 0; }, 15000));
        EXPECT_TRUE(ranMeanwhile);
        EXPECT_EQ(rig.Status(), kNotResponding);
        EXPECT_EQ(statusText(rig.Status()), "Equipo no responde");
    }
    // the control is gone at once; its thread ends when Hamlib gives up
    EXPECT_TRUE(waitForRigThreads(15000));
}

TEST_F(CatTest, TheStartUpCheckSaysWhatToConfigure)
{
    EXPECT_EQ(CHKOMNIRIG(), "") << "rig 1 is our rigctld";
    setSettingsAccess({[](const QString&, const QString&, const QString& d) { return d; }, {}});
    EXPECT_TRUE(CHKOMNIRIG().contains("«Configurar COM»"));
    RigConfig direct;
    direct.model = 999999;
    direct.device = data + "no-such-port";
    setSettingsAccess({[&](const QString& s, const QString& k, const QString& d) {
                           if (s != "CAT1")
                               return d;
                           return k == "Modelo" ? QString::number(direct.model) : k == "Puerto" ? direct.device : d;
                       },
                       {}});
    const QString said = CHKOMNIRIG();
    EXPECT_TRUE(said.contains("no conoce el modelo 999999")) << said.toStdString();
    EXPECT_TRUE(said.contains("No existe el puerto")) << said.toStdString();
    direct.model = 1;
    direct.device.clear();
    EXPECT_TRUE(CHKOMNIRIG().contains("Falta el puerto serie"));
}
