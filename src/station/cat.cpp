#include "cat.h"
#include "rig_control.h"
#include "rig_modes.h"

#include "refdata/bands.h"
#include "store/aliases.h"
#include "store/record_buffer.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QFileInfo>
#include <QStringList>
#include <QTimer>

#include <cmath>
#include <memory>

namespace station {

namespace {

std::unique_ptr<RigControl>& session()
{
    static std::unique_ptr<RigControl> rig;
    return rig;
}

double round3(double v) { return std::round(v * 1000.0) / 1000.0; }

} // namespace

CatFlags catFlags()
{
    CatFlags f;
    store::WorkArea* cfg = store::Workspace::instance().area(store::alias::kCfg);
    if (!cfg || cfg->eof())
        return f;
    f.on = cfg->logical(QStringLiteral("CATON"));
    f.rig = int(cfg->num(QStringLiteral("CATRIG"))) == 2 ? 2 : 1;
    f.cluster = cfg->logical(QStringLiteral("CATCLUS"));
    f.buttons = cfg->logical(QStringLiteral("CATBTN"));
    return f;
}

RigControl* catRig() { return session().get(); }

bool CATON(int rig)
{
    session().reset();
    session() = std::make_unique<RigControl>(loadRigConfig(rig == 1 || rig == 2 ? rig : catFlags().rig));
    return true;
}

void CATOFF() { session().reset(); }

bool CATSET(double kHz, const QString& mode)
{
    RigControl* rig = catRig();
    const CatFlags f = catFlags();
    if (!rig || !f.on || !f.cluster || !(kHz > 0) || !std::isfinite(kHz))
        return false;
    rig->set(std::llround(kHz * 1000.0), spotMode(kHz, mode));
    return true;
}

QString qsoModeFor(std::uint32_t rigMode, double mhz)
{
    switch (rigMode) {
    case kCwLower:
    case kCwUpper: return QStringLiteral("CW");
    case kAm: return QStringLiteral("AM");
    case kFm: return QStringLiteral("FM");
    default: break;
    }
    if (refdata::BANDMODE(mhz)) {
        store::WorkArea* map = store::Workspace::instance().area(QStringLiteral("BandMap"));
        const QString m = map ? map->str(QStringLiteral("MODE")).trimmed() : QString();
        if (!m.isEmpty() && !QStringLiteral("CWAMFM").contains(m))
            return m;
    }
    return QStringLiteral("SSB");
}

bool CATRTV(store::RecordBuffer& qso, bool follow)
{
    RigControl* rig = catRig();
    if (!follow || !rig || !catFlags().on || rig->Status() != kOnline || rig->GetRxFrequency() <= 0)
        return false;
    const double mhz = round3(double(rig->GetRxFrequency()) / 1e6);
    if (round3(qso.get(QStringLiteral("FREQ")).toNumber()) == mhz)
        return false;
    qso.set(QStringLiteral("FREQ"), store::Value::number(mhz));
    qso.set(QStringLiteral("BAND"), store::Value::text(refdata::BAND(mhz)));
    qso.set(QStringLiteral("MODE"), store::Value::text(qsoModeFor(rig->Mode(), mhz)));
    return true;
}

QString CATSTATUS()
{
    RigControl* rig = catRig();
    return statusText(rig ? rig->Status() : kDisabled);
}

QTimer* CATTIMER(QObject* owner, std::function<bool()> follow, std::function<store::RecordBuffer*()> qso,
                 std::function<void()> updated)
{
    if (!catFlags().on || !owner)
        return nullptr;
    auto* timer = owner->findChild<QTimer*>(QStringLiteral("CATTMR"), Qt::FindDirectChildrenOnly);
    if (!timer) {
        timer = new QTimer(owner);
        timer->setObjectName(QStringLiteral("CATTMR"));
        timer->setInterval(500);
        QObject::connect(timer, &QTimer::timeout, owner, [follow, qso, updated] {
            store::RecordBuffer* b = qso ? qso() : nullptr;
            if (b && follow && follow() && CATRTV(*b, true) && updated)
                updated();
        });
    }
    timer->start();
    return timer;
}

QString CHKOMNIRIG()
{
    QStringList problems;
    if (hamlibVersion().isEmpty())
        problems << QStringLiteral("No se encuentra la biblioteca Hamlib. Instálela con:\n"
                                   "    sudo apt install libhamlib4 libhamlib-utils");
    const CatFlags f = catFlags();
    const RigConfig c = loadRigConfig(f.rig);
    if (!c.configured()) {
        problems << QStringLiteral("El equipo %1 no está configurado: elija el modelo Hamlib, el puerto y la "
                                   "velocidad, o la dirección de rigctld, en Configuración > CAT > «Configurar COM».")
                        .arg(f.rig);
    } else if (!c.network) {
        bool known = false;
        for (const RigModel& m : knownModels())
            known = known || m.model == c.model;
        if (!known)
            problems << QStringLiteral("Hamlib no conoce el modelo %1 del equipo %2.").arg(c.model).arg(f.rig);
        const QString dev = c.device.trimmed();
        if (dev.isEmpty())
            problems << QStringLiteral("Falta el puerto serie del equipo %1 (p. ej. /dev/ttyUSB0).").arg(f.rig);
        else if (dev.startsWith(QLatin1Char('/')) && !QFileInfo::exists(dev))
            problems << QStringLiteral("No existe el puerto %1: compruebe que el cable del equipo está conectado.").arg(dev);
        else if (dev.startsWith(QLatin1Char('/')) && !(QFileInfo(dev).isReadable() && QFileInfo(dev).isWritable()))
            problems << QStringLiteral("Sin permiso sobre el puerto %1: añada su usuario al grupo «dialout» "
                                       "(sudo adduser $USER dialout) y vuelva a entrar en la sesión.")
                            .arg(dev);
    }
    return problems.join(QLatin1Char('\n'));
}

} // namespace station
