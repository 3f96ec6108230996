#include "rig_config.h"

namespace station {

namespace {

SettingsAccess& access()
{
    static SettingsAccess a;
    return a;
}

QString section(int rig) { return rig == 2 ? QStringLiteral("CAT2") : QStringLiteral("CAT1"); }

} // namespace

bool RigConfig::configured() const
{
    return network ? !host.trimmed().isEmpty() && tcpPort > 0 && tcpPort < 65536 : model > 0;
}

int RigConfig::hamlibModel() const { return network ? 2 : model; }

QString RigConfig::describe() const
{
    if (network)
        return QStringLiteral("rigctld en %1:%2").arg(host.trimmed()).arg(tcpPort);
    if (model <= 0)
        return QStringLiteral("sin equipo elegido");
    QString s = QStringLiteral("Hamlib %1").arg(model);
    if (!device.trimmed().isEmpty())
        s += QStringLiteral(" en ") + device.trimmed();
    if (speed > 0)
        s += QStringLiteral(" a %1 baudios").arg(speed);
    return s;
}

bool parseHostPort(const QString& text, QString* host, int* port, QString* why)
{
    const QString t = text.trimmed();
    const qsizetype colon = t.lastIndexOf(QLatin1Char(':'));
    bool ok = false;
    const int p = colon > 0 ? t.mid(colon + 1).toInt(&ok) : 0;
    if (colon <= 0 || !ok || p <= 0 || p > 65535) {
        *why = QStringLiteral("Dirección de rigctld errónea: \"%1\" (ANFITRIÓN:PUERTO, p. ej. localhost:4532)").arg(t);
        return false;
    }
    *host = t.left(colon);
    *port = p;
    return true;
}

void setSettingsAccess(SettingsAccess a) { access() = std::move(a); }

RigConfig loadRigConfig(int rig)
{
    RigConfig c;
    const SettingsAccess& a = access();
    if (!a.get)
        return c;
    const QString s = section(rig);
    c.network = a.get(s, QStringLiteral("Conexion"), QStringLiteral("directa")) == QLatin1String("rigctld");
    c.model = a.get(s, QStringLiteral("Modelo"), QStringLiteral("0")).toInt();
    c.device = a.get(s, QStringLiteral("Puerto"), QString());
    c.speed = a.get(s, QStringLiteral("Velocidad"), QStringLiteral("0")).toInt();
    c.host = a.get(s, QStringLiteral("Servidor"), QStringLiteral("localhost"));
    c.tcpPort = a.get(s, QStringLiteral("PuertoTCP"), QStringLiteral("4532")).toInt();
    return c;
}

void saveRigConfig(int rig, const RigConfig& c)
{
    const SettingsAccess& a = access();
    if (!a.set)
        return;
    const QString s = section(rig);
    a.set(s, QStringLiteral("Conexion"), c.network ? QStringLiteral("rigctld") : QStringLiteral("directa"));
    a.set(s, QStringLiteral("Modelo"), QString::number(c.model));
    a.set(s, QStringLiteral("Puerto"), c.device.trimmed());
    a.set(s, QStringLiteral("Velocidad"), QString::number(c.speed));
    a.set(s, QStringLiteral("Servidor"), c.host.trimmed());
    a.set(s, QStringLiteral("PuertoTCP"), QString::number(c.tcpPort));
}

} // namespace station
