// orlanlog-cli rig against the dummy rig.
#include "dummy_rig.h"

#include "../cli/cli_run.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(RigCli, SetThenGetRoundTripsAndBadInputIsRefusedInSpanish)
{
    SKIP_WITHOUT_RIGCTLD();
    station::testing::DummyRigctld rigctld;
    ASSERT_TRUE(rigctld.start());
    QTemporaryDir home;
    const QString at = QStringLiteral("127.0.0.1:%1").arg(rigctld.port());

    CliRun r = cli(home.path(), {"rig", "--rigctld", at, "set", "14025.3", "USB"});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    r = cli(home.path(), {"rig", "--rigctld", at, "get"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.lastLine(), "14025.3 USB");
    r = cli(home.path(), {"rig", "--rigctld", at, "set", "7025", "SSB"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(cli(home.path(), {"rig", "--rigctld", at, "get"}).lastLine(), "7025 LSB");
    r = cli(home.path(), {"rig", "--rigctld", at, "status"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.startsWith("Equipo en linea"));

    struct Bad {
        QStringList args;
        const char* says;
    };
    for (const Bad& b : {Bad{{"rig", "--rigctld", at, "set", "catorce", "USB"}, "Frecuencia errónea"},
                         Bad{{"rig", "--rigctld", at, "set", "14025"}, "Uso:"},
                         Bad{{"rig", "--rigctld", "sinpuerto", "get"}, "ANFITRIÓN:PUERTO"},
                         Bad{{"rig", "--rig", "3", "get"}, "Equipo erróneo"},
                         Bad{{"rig", "--model", "uno", "get"}, "Modelo Hamlib erróneo"},
                         Bad{{"rig", "get"}, "No hay equipo configurado"},
                         Bad{{"rig", "--volumen", "get"}, "Opción desconocida"}}) {
        r = cli(home.path(), b.args);
        EXPECT_EQ(r.code, 2) << b.args.join(' ').toStdString();
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(b.says))) << r.out.toStdString();
    }
    // a rig that does not answer is a failure, said as such
    rigctld.stop();
    r = cli(home.path(), {"rig", "--rigctld", at, "get"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.startsWith("Equipo no responde")) << r.out.toStdString();
}
