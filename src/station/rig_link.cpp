#include "rig_link.h"
#include "rig_modes.h"

#include <hamlib/rig.h>

#include <QByteArray>
#include <QStringList>

#include <algorithm>
#include <clocale>
#include <mutex>

namespace station {

namespace {

// Hamlib's rig list and back ends are set up once, not from two threads at a time.
std::mutex& hamlibMutex()
{
    static std::mutex m;
    return m;
}

// Hamlib switches the process's C locale while it reads numbers, so no two
// threads may be inside it at once (two rigs, a probe beside the rig in use,
// a worker still ending while the next starts). Each call is bounded by the
// one-second time-out. The window's thread never takes this lock.
std::recursive_mutex& ioMutex()
{
    static std::recursive_mutex m;
    return m;
}

void quietHamlib()
{
    static std::once_flag once;
    std::call_once(once, [] {
        rig_set_debug(RIG_DEBUG_NONE);
        rig_load_all_backends();
    });
}

RIG* asRig(void* p) { return static_cast<RIG*>(p); }

// Hamlib's own texts are English and carry traces: the program says it in Spanish.
QString hamlibText(int err)
{
    switch (std::abs(err)) {
    case RIG_EINVAL: return QStringLiteral("parámetro no válido");
    case RIG_ECONF: return QStringLiteral("configuración no válida (puerto, velocidad ...)");
    case RIG_ENOMEM: return QStringLiteral("memoria insuficiente");
    case RIG_ENIMPL:
    case RIG_ENAVAIL: return QStringLiteral("el equipo no ofrece esa función");
    case RIG_ETIMEOUT: return QStringLiteral("el equipo no contesta (tiempo agotado)");
    case RIG_EIO: return QStringLiteral("no se puede abrir o usar el puerto");
    case RIG_EPROTO: return QStringLiteral("respuesta del equipo no válida");
    case RIG_ERJCTED: return QStringLiteral("el equipo rechazó la orden");
    case RIG_EPOWER: return QStringLiteral("el equipo está apagado");
    case RIG_ESECURITY: return QStringLiteral("acceso no permitido");
    default: return QStringLiteral("error de Hamlib %1").arg(std::abs(err));
    }
}

int statusOf(int err)
{
    switch (-std::abs(err)) {
    case -RIG_ETIMEOUT:
    case -RIG_EPROTO:
    case -RIG_ERJCTED:
    case -RIG_BUSERROR:
    case -RIG_BUSBUSY:
        return kNotResponding;
    default:
        return kPortBusy;
    }
}

} // namespace

void setUpHamlib()
{
    std::setlocale(LC_NUMERIC, "C");
    std::lock_guard lock(hamlibMutex());
    quietHamlib();
}

RigLink::~RigLink() { close(); }

void RigLink::close()
{
    std::lock_guard io(ioMutex());
    if (!m_rig)
        return;
    rig_close(asRig(m_rig));
    rig_cleanup(asRig(m_rig));
    m_rig = nullptr;
}

RigReading RigLink::fail(int err, const QString& what)
{
    RigReading r;
    // a rigctld that cannot be reached is a rig that does not answer
    r.status = m_network ? kNotResponding : statusOf(err);
    r.rigType = m_type;
    r.error = what + QStringLiteral(": ") + hamlibText(err);
    close();
    return r;
}

RigReading RigLink::open(const RigConfig& config, int timeoutMs)
{
    std::lock_guard io(ioMutex());
    close();
    RigReading r;
    if (!config.configured()) {
        r.status = kNotConfigured;
        r.error = QStringLiteral("No hay equipo configurado");
        return r;
    }
    RIG* rig = nullptr;
    {
        std::lock_guard lock(hamlibMutex());
        quietHamlib();
        rig = rig_init(rig_model_t(config.hamlibModel()));
    }
    if (!rig) {
        r.status = kNotConfigured;
        r.error = QStringLiteral("Hamlib no conoce el modelo %1").arg(config.hamlibModel());
        return r;
    }
    m_rig = rig;
    m_network = config.network;
    m_type = QString::fromLatin1(rig->caps->model_name);
    auto conf = [rig](const char* name, const QByteArray& value) {
        rig_set_conf(rig, rig_token_lookup(rig, name), value.constData());
    };
    conf("timeout", QByteArray::number(timeoutMs));
    conf("retry", "0");
    if (config.network) {
        conf("rig_pathname", (config.host.trimmed() + QLatin1Char(':') + QString::number(config.tcpPort)).toUtf8());
    } else {
        if (!config.device.trimmed().isEmpty())
            conf("rig_pathname", config.device.trimmed().toUtf8());
        if (config.speed > 0)
            conf("serial_speed", QByteArray::number(config.speed));
    }
    const int err = rig_open(rig);
    if (err != RIG_OK)
        return fail(err, QStringLiteral("No se pudo abrir ") + config.describe());
    return read();
}

RigReading RigLink::read()
{
    std::lock_guard io(ioMutex());
    RigReading r;
    if (!m_rig) {
        r.status = kNotResponding;
        r.error = QStringLiteral("Equipo no abierto");
        return r;
    }
    RIG* rig = asRig(m_rig);
    freq_t f = 0;
    int err = rig_get_freq(rig, RIG_VFO_CURR, &f);
    if (err != RIG_OK)
        return fail(err, QStringLiteral("No se pudo leer la frecuencia"));
    rmode_t mode = RIG_MODE_NONE;
    pbwidth_t width = 0;
    err = rig_get_mode(rig, RIG_VFO_CURR, &mode, &width);
    if (err != RIG_OK)
        return fail(err, QStringLiteral("No se pudo leer el modo"));
    r.status = kOnline;
    r.hz = f > 0 && f < 1e12 ? std::int64_t(f + 0.5) : 0;
    r.mode = fromHamlib(std::uint64_t(mode));
    r.rigType = m_type;
    return r;
}

QString RigLink::setFrequency(std::int64_t hz)
{
    std::lock_guard io(ioMutex());
    if (!m_rig)
        return QStringLiteral("Equipo no abierto");
    if (hz <= 0)
        return QStringLiteral("Frecuencia errónea");
    const int err = rig_set_freq(asRig(m_rig), RIG_VFO_CURR, freq_t(hz));
    if (err == RIG_OK)
        return {};
    const QString why = QStringLiteral("No se pudo poner la frecuencia: ") + hamlibText(err);
    if (statusOf(err) == kNotResponding)
        close();
    return why;
}

QString RigLink::setMode(std::uint32_t code)
{
    std::lock_guard io(ioMutex());
    if (!m_rig)
        return QStringLiteral("Equipo no abierto");
    const std::uint64_t mode = toHamlib(code);
    if (!mode)
        return QStringLiteral("Modo desconocido");
    const int err = rig_set_mode(asRig(m_rig), RIG_VFO_CURR, rmode_t(mode), RIG_PASSBAND_NOCHANGE);
    if (err == RIG_OK)
        return {};
    const QString why = QStringLiteral("No se pudo poner el modo: ") + hamlibText(err);
    if (statusOf(err) == kNotResponding)
        close();
    return why;
}

std::vector<RigModel> knownModels()
{
    std::vector<RigModel> models;
    {
        std::lock_guard lock(hamlibMutex());
        quietHamlib();
        rig_list_foreach(
            [](const rig_caps* caps, rig_ptr_t data) -> int {
                auto* list = static_cast<std::vector<RigModel>*>(data);
                list->push_back({int(caps->rig_model), QString::fromLatin1(caps->mfg_name).trimmed(),
                                 QString::fromLatin1(caps->model_name).trimmed()});
                return 1;
            },
            &models);
    }
    std::sort(models.begin(), models.end(), [](const RigModel& a, const RigModel& b) {
        const int m = QString::compare(a.manufacturer, b.manufacturer, Qt::CaseInsensitive);
        return m != 0 ? m < 0 : QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });
    return models;
}

QString hamlibVersion()
{
    // "Hamlib 4.5.4 ..."
    const QString v = QString::fromLatin1(hamlib_version2 ? hamlib_version2 : "");
    const QStringList words = v.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return words.size() > 1 ? words[1] : v;
}

} // namespace station
