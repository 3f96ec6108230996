// The settings' "CAT" page: the switch starts and stops rig control at once,
// "Cancelar" puts it back as it was, "OK" keeps the four settings.
#include "cat_fixture.h"

#include "settings/settings_dialog.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

using namespace station;
using station::testing::CatTest;

TEST_F(CatTest, TheCatPageSwitchesRigControlAndKeepsItsSettingsOnlyOnOk)
{
    setFlag("CATON", false);
    ASSERT_TRUE(cfg->lockRecord().isOk());
    cfg->put("CALL", "EA1XX");
    ASSERT_TRUE(cfg->unlock().isOk());
    std::vector<std::pair<bool, int>> switched;
    int configured = 0;
    settings::setCatHooks({.switched = [&](bool on, int rig) { switched.emplace_back(on, rig); },
                           .configure = [&](int, QWidget*) { ++configured; },
                           .rigType = [] { return QStringLiteral("Dummy"); },
                           .status = [] { return CATSTATUS(); }});
    {
        settings::SettingsDialog d(cfg, "Orlan Win Log");
        auto* com = d.findChild<QPushButton*>("600");
        EXPECT_FALSE(com->isEnabled()) << "only while CAT is ticked";
        d.findChild<QRadioButton*>("502")->setChecked(true);
        d.findChild<QWidget*>("CFGCAT")->findChild<QCheckBox*>("500")->setChecked(true);
        EXPECT_TRUE(com->isEnabled());
        com->click();
        EXPECT_EQ(configured, 1);
        d.reject();
        ASSERT_EQ(switched.size(), 2u);
        EXPECT_EQ(switched[0], std::make_pair(true, 2));
        EXPECT_EQ(switched[1], std::make_pair(false, 1)) << "cancelled: back as it was";
        EXPECT_FALSE(cfg->logical("CATON"));
    }
    switched.clear();
    {
        settings::SettingsDialog d(cfg, "Orlan Win Log");
        d.findChild<QRadioButton*>("502")->setChecked(true);
        d.findChild<QWidget*>("CFGCAT")->findChild<QCheckBox*>("500")->setChecked(true);
        d.findChild<QWidget*>("CFGCAT")->findChild<QCheckBox*>("503")->setChecked(false);
        d.findChild<QWidget*>("CFGCAT")->findChild<QCheckBox*>("504")->setChecked(false);
        d.accept();
        EXPECT_EQ(switched.size(), 1u);
    }
    const CatFlags f = catFlags();
    EXPECT_TRUE(f.on);
    EXPECT_EQ(f.rig, 2);
    EXPECT_FALSE(f.cluster);
    EXPECT_FALSE(f.buttons);
    settings::setCatHooks({});
}
