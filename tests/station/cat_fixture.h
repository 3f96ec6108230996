#pragma once
// A program home with its settings record, rig 1 configured as a dummy rig
// behind a rigctld of the test's own, and a way to look at the rig directly.

#include "dummy_rig.h"

#include "../gui_app.h"
#include "../store/home_fixture.h"

#include "station/cat.h"
#include "station/rig_config.h"
#include "station/rig_control.h"
#include "station/rig_link.h"
#include "station/rig_modes.h"
#include "store/access.h"
#include "store/catalogue.h"

#include <QMap>
#include <QTest>

namespace station::testing {

class CatTest : public store::testing::HomeTest {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_RIGCTLD();
        HomeTest::SetUp();
        testing_support::guiApp();
        setUpHamlib();
        ASSERT_TRUE(rigctld.start()) << "rigctld -m 1 did not start";
        setSettingsAccess({[this](const QString& s, const QString& k, const QString& d) { return ini.value(s + "/" + k, d); },
                           [this](const QString& s, const QString& k, const QString& v) { ini[s + "/" + k] = v; }});
        saveRigConfig(1, rigctld.config());
        if (!ws().area("cfg")) {
            ASSERT_TRUE(store::NETUSE("cfg", true, 1, "cfg"));
        }
        cfg = ws().area("cfg");
        if (cfg->recCount() == 0) {
            ASSERT_TRUE(cfg->append().isOk());
            store::catalogue::fillCfgDefaults(cfg);
            ASSERT_TRUE(cfg->unlock().isOk());
        }
        cfg->goTop();
        setFlag("CATON", true);
    }
    void TearDown() override
    {
        CATOFF();
        EXPECT_TRUE(waitForRigThreads(10000));
        setSettingsAccess({});
        if (cfg)
            HomeTest::TearDown();
    }

    void setFlag(const char* field, bool on)
    {
        ASSERT_TRUE(cfg->lockRecord().isOk());
        cfg->put(field, on);
        ASSERT_TRUE(cfg->unlock().isOk());
    }

    // Waits until the session's rig has read what pred wants.
    bool waitRig(const std::function<bool(const RigReading&)>& pred, int ms = 10000)
    {
        return QTest::qWaitFor([&] { return catRig() && pred(catRig()->last()); }, ms);
    }
    bool waitAt(std::int64_t hz, std::uint32_t mode = 0)
    {
        return waitRig([=](const RigReading& r) {
            return r.status == kOnline && r.hz == hz && (mode == 0 || r.mode == mode);
        });
    }

    // The rig as it is, asked without the program's rig control.
    RigReading rigNow()
    {
        RigLink link;
        return link.open(rigctld.config());
    }
    void tuneDirectly(std::int64_t hz, std::uint32_t mode)
    {
        RigLink link;
        ASSERT_EQ(link.open(rigctld.config()).status, kOnline);
        ASSERT_EQ(link.setMode(mode), "");
        ASSERT_EQ(link.setFrequency(hz), "");
    }

    DummyRigctld rigctld;
    QMap<QString, QString> ini;
    store::WorkArea* cfg = nullptr;
};

} // namespace station::testing
