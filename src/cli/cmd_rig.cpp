// The rig from the command line: its state, its frequency and mode, and
// tuning it, through the same Hamlib code as the program's rig control.
#include "commands.h"

#include "app/tappl.h"
#include "station/cat.h"
#include "station/rig_config.h"
#include "station/rig_link.h"
#include "station/rig_modes.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/workspace.h"

#include <QDir>

#include <cmath>

namespace {

using app::TAppl;
using cli::out;

const char* kUsage =
    "Uso: orlanlog-cli rig [--rig 1|2] [--rigctld ANFITRIÓN:PUERTO | --model N --port DISPOSITIVO --speed BAUDIOS] "
    "status|get|set KHZ MODO\n";

// The rig number the settings record names, 1 when there is none.
int configuredRig(TAppl& appl)
{
    const QDir dat(appl.cDirDat);
    if (!store::Workspace::instance().area(store::alias::kCfg)) {
        const QStringList found = dat.entryList({QStringLiteral("cfg.dbf")}, QDir::Files);
        if (found.isEmpty() || !store::NETUSE(QStringLiteral("cfg"), true, 1, QStringLiteral("cfg")))
            return 1;
    }
    return station::catFlags().rig;
}

// The configuration the options give, else the settings'. False, with the
// reason printed, when an option is wrong.
bool configFromOptions(const QStringList& args, TAppl& appl, station::RigConfig* c)
{
    const QString rigText = cli::optionValue(args, "--rig");
    int rig = 0;
    if (!rigText.isEmpty()) {
        rig = rigText.toInt();
        if (rig != 1 && rig != 2) {
            out() << "Equipo erróneo: \"" << rigText << "\" (1 o 2)\n";
            return false;
        }
    } else {
        rig = configuredRig(appl);
    }
    *c = station::loadRigConfig(rig);
    if (args.contains(QLatin1String("--rigctld"))) {
        QString why;
        c->network = true;
        if (!station::parseHostPort(cli::optionValue(args, "--rigctld"), &c->host, &c->tcpPort, &why)) {
            out() << why << '\n';
            return false;
        }
        return true;
    }
    if (args.contains(QLatin1String("--model"))) {
        bool ok = false;
        c->network = false;
        c->model = cli::optionValue(args, "--model").toInt(&ok);
        if (!ok || c->model <= 0) {
            out() << "Modelo Hamlib erróneo: \"" << cli::optionValue(args, "--model") << "\" (un número, p. ej. 1035)\n";
            return false;
        }
        c->device = cli::optionValue(args, "--port");
        c->speed = 0;
    }
    if (args.contains(QLatin1String("--speed"))) {
        bool ok = false;
        c->speed = cli::optionValue(args, "--speed").toInt(&ok);
        if (!ok || c->speed <= 0) {
            out() << "Velocidad errónea: \"" << cli::optionValue(args, "--speed") << "\" (baudios, p. ej. 9600)\n";
            return false;
        }
    }
    if (args.contains(QLatin1String("--port")))
        c->device = cli::optionValue(args, "--port");
    if (!c->configured()) {
        out() << "No hay equipo configurado: indique --rigctld o --model, o configúrelo en el programa\n";
        return false;
    }
    return true;
}

QString kHzText(std::int64_t hz)
{
    QString s = QString::number(double(hz) / 1000.0, 'f', 3);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s;
}

int rig(const QStringList& args, TAppl& appl)
{
    const QStringList withValue{"--rig", "--rigctld", "--model", "--port", "--speed"};
    QStringList words;
    for (int i = 0; i < args.size(); ++i) {
        if (withValue.contains(args[i])) {
            if (i + 1 >= args.size()) {
                out() << "Falta el valor de " << args[i] << '\n' << kUsage;
                return 2;
            }
            ++i;
        } else if (args[i].startsWith(QLatin1String("--"))) {
            out() << "Opción desconocida: " << args[i] << '\n' << kUsage;
            return 2;
        } else {
            words << args[i];
        }
    }
    const QString action = words.value(0);
    const bool okShape = (action == QLatin1String("status") || action == QLatin1String("get")) ? words.size() == 1
                         : action == QLatin1String("set")                                       ? words.size() == 3
                                                                                                : false;
    if (!okShape) {
        out() << kUsage;
        return 2;
    }
    std::int64_t hz = 0;
    std::uint32_t mode = 0;
    if (action == QLatin1String("set")) {
        bool ok = false;
        const double kHz = QString(words[1]).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (!ok || !(kHz > 0) || kHz > 1e8) {
            out() << "Frecuencia errónea: \"" << words[1] << "\" (kHz, p. ej. 14025.3)\n";
            return 2;
        }
        hz = std::llround(kHz * 1000.0);
        const QString m = words[2].trimmed().toUpper();
        mode = station::modeFromButton(m).value_or(0);
        if (!mode) {
            if (m.isEmpty() || m.contains(QLatin1Char(' '))) {
                out() << "Modo erróneo: \"" << words[2] << "\" (USB, LSB, CWU, CWL, DIGU, DIGL, AM, FM, o CW, SSB ...)\n";
                return 2;
            }
            mode = station::spotMode(kHz, m);
        }
    }
    station::setUpHamlib();
    station::setSettingsAccess({[&appl](const QString& s, const QString& k, const QString& d) {
                                    return appl.ini().getString(s, k, d);
                                },
                                [&appl](const QString& s, const QString& k, const QString& v) { appl.ini().Set(s, k, v); }});
    station::RigConfig config;
    if (!configFromOptions(args, appl, &config))
        return 2;

    station::RigLink link;
    const station::RigReading opened = link.open(config);
    if (action == QLatin1String("status")) {
        out() << station::statusText(opened.status);
        if (!opened.rigType.isEmpty())
            out() << " (" << opened.rigType << ")";
        out() << '\n';
        if (!opened.error.isEmpty())
            out() << opened.error << '\n';
        return opened.status == station::kOnline ? 0 : 1;
    }
    if (opened.status != station::kOnline) {
        out() << station::statusText(opened.status) << ": " << opened.error << '\n';
        return 1;
    }
    if (action == QLatin1String("get")) {
        const QString m = station::modeButton(opened.mode);
        out() << kHzText(opened.hz) << ' ' << (m.isEmpty() ? QStringLiteral("?") : m) << '\n';
        return 0;
    }
    QString why = link.setMode(mode);
    if (why.isEmpty())
        why = link.setFrequency(hz);
    if (!why.isEmpty()) {
        out() << why << '\n';
        return 1;
    }
    out() << "Equipo en " << kHzText(hz) << " kHz " << station::modeButton(mode) << '\n';
    return 0;
}

const cli::CommandRegistration r1({"rig",
                                   "rig [--rig 1|2] [--rigctld ANFITRIÓN:PUERTO | --model N --port DISPOSITIVO --speed BAUDIOS] "
                                   "status|get|set KHZ MODO",
                                   "estado, frecuencia y modo del equipo, o sintonizarlo (Hamlib)", rig});

} // namespace
