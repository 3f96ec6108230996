// The program's rig modes and states, and the frequency text of the panel.
#include "station/rig_config.h"
#include "station/rig_modes.h"

#include <hamlib/rig.h>

#include <QMap>

#include <gtest/gtest.h>

using namespace station;

TEST(RigModes, EveryCodeGoesToHamlibAndComesBack)
{
    int n = 0;
    const ModeRow* rows = modeTable(&n);
    ASSERT_EQ(n, 8);
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(fromHamlib(toHamlib(rows[i].code)), rows[i].code) << rows[i].button;
        EXPECT_EQ(modeFromButton(QString::fromLatin1(rows[i].button).toLower()), rows[i].code);
    }
    EXPECT_EQ(toHamlib(kCwLower), RIG_MODE_CWR);
    EXPECT_EQ(toHamlib(kSsbLower), RIG_MODE_LSB);
    // modes with no code of their own read as their nearest, unknown ones as none
    EXPECT_EQ(fromHamlib(RIG_MODE_WFM), kFm);
    EXPECT_EQ(fromHamlib(RIG_MODE_RTTY), kDataLower);
    EXPECT_EQ(fromHamlib(RIG_MODE_NONE), kModeNone);
    EXPECT_EQ(fromHamlib(RIG_MODE_PSK), kModeNone);
    EXPECT_EQ(toHamlib(0x1234), 0u);
    EXPECT_FALSE(modeFromButton("SSB"));
}

TEST(RigModes, ASpotsModeTextChoosesTheRigsMode)
{
    EXPECT_EQ(spotMode(7025, "SSB"), kSsbLower);
    EXPECT_EQ(spotMode(14200, "SSB"), kSsbUpper);
    EXPECT_EQ(spotMode(11000, "FT8"), kSsbLower);   // the edge is lower sideband
    EXPECT_EQ(spotMode(11000.1, ""), kSsbUpper);
    EXPECT_EQ(spotMode(14025, "CW"), kCwLower);
    EXPECT_EQ(spotMode(3525, " CW "), kCwLower);
    EXPECT_EQ(spotMode(145500, "FM"), kFm);
    EXPECT_EQ(spotMode(7150, "AM"), kAm);
    EXPECT_EQ(spotMode(7150, "cw"), kSsbLower) << "codes compare as written";
}

TEST(RigModes, FrequencyTextHasMegahertzKilohertzAndTensOfHertz)
{
    EXPECT_EQ(frequencyText(14025300), "014.025.30");
    EXPECT_EQ(frequencyText(7074000), "007.074.00");
    EXPECT_EQ(frequencyText(144300000), "144.300.00");
    EXPECT_EQ(frequencyText(1296200000), "1296.200.00");
    EXPECT_EQ(frequencyText(14025309), "014.025.30");
    EXPECT_EQ(frequencyText(0), "000.000.00");
    EXPECT_EQ(frequencyText(-5), "000.000.00");
}

TEST(RigModes, StatusTexts)
{
    EXPECT_EQ(statusText(kNotConfigured), "Equipo no configurado");
    EXPECT_EQ(statusText(kDisabled), "Equipo desabilitado");
    EXPECT_EQ(statusText(kPortBusy), "Puerto ocupado");
    EXPECT_EQ(statusText(kNotResponding), "Equipo no responde");
    EXPECT_EQ(statusText(kOnline), "Equipo en linea");
    EXPECT_EQ(statusText(7), "Estado equipo desconocido");
}

TEST(RigConfig, AddressesAndWhatCountsAsConfigured)
{
    QString host, why;
    int port = 0;
    EXPECT_TRUE(parseHostPort("localhost:4532", &host, &port, &why));
    EXPECT_EQ(host, "localhost");
    EXPECT_EQ(port, 4532);
    for (const char* bad : {"localhost", ":4532", "host:0", "host:70000", "host:abc", ""}) {
        EXPECT_FALSE(parseHostPort(bad, &host, &port, &why)) << bad;
        EXPECT_TRUE(why.contains("ANFITRIÓN:PUERTO"));
    }
    RigConfig c;
    EXPECT_FALSE(c.configured());
    c.model = 1035;
    EXPECT_TRUE(c.configured());
    EXPECT_EQ(c.hamlibModel(), 1035);
    c.network = true;
    EXPECT_EQ(c.hamlibModel(), 2);
    c.host.clear();
    EXPECT_FALSE(c.configured());
}

TEST(RigConfig, EachRigKeepsItsOwnConfigurationInTheSettings)
{
    QMap<QString, QString> ini;
    setSettingsAccess({[&ini](const QString& s, const QString& k, const QString& d) { return ini.value(s + "/" + k, d); },
                       [&ini](const QString& s, const QString& k, const QString& v) { ini[s + "/" + k] = v; }});
    RigConfig one;
    one.model = 3073;
    one.device = "/dev/ttyUSB0";
    one.speed = 19200;
    RigConfig two;
    two.network = true;
    two.host = "shack";
    two.tcpPort = 4533;
    saveRigConfig(1, one);
    saveRigConfig(2, two);
    EXPECT_EQ(loadRigConfig(1), one);
    EXPECT_EQ(loadRigConfig(2), two);
    EXPECT_EQ(ini.value("CAT2/Conexion"), "rigctld");
    setSettingsAccess({});
    EXPECT_FALSE(loadRigConfig(1).configured());
}
