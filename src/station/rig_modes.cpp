#include "rig_modes.h"

#include <hamlib/rig.h>

namespace station {

namespace {

const ModeRow kModes[] = {
    {kSsbUpper, "USB", RIG_MODE_USB, RIG_MODE_ECSSUSB | RIG_MODE_SAH},
    {kSsbLower, "LSB", RIG_MODE_LSB, RIG_MODE_ECSSLSB | RIG_MODE_SAL},
    {kCwUpper, "CWU", RIG_MODE_CW, 0},
    {kCwLower, "CWL", RIG_MODE_CWR, 0},
    {kDataUpper, "DIGU", RIG_MODE_PKTUSB, RIG_MODE_RTTYR},
    {kDataLower, "DIGL", RIG_MODE_PKTLSB, RIG_MODE_RTTY},
    {kAm, "AM", RIG_MODE_AM, RIG_MODE_AMS | RIG_MODE_SAM | RIG_MODE_PKTAM | RIG_MODE_DSB},
    {kFm, "FM", RIG_MODE_FM, RIG_MODE_WFM | RIG_MODE_PKTFM | RIG_MODE_FMN | RIG_MODE_C4FM},
};

} // namespace

const ModeRow* modeTable(int* count)
{
    *count = int(std::size(kModes));
    return kModes;
}

std::uint64_t toHamlib(std::uint32_t code)
{
    for (const ModeRow& r : kModes)
        if (r.code == code)
            return r.hamlib;
    return 0;
}

std::uint32_t fromHamlib(std::uint64_t mode)
{
    if (mode == 0)
        return kModeNone;
    for (const ModeRow& r : kModes)
        if (r.hamlib == mode || (r.alsoRead & mode) == mode)
            return r.code;
    return kModeNone;
}

QString modeButton(std::uint32_t code)
{
    for (const ModeRow& r : kModes)
        if (r.code == code)
            return QString::fromLatin1(r.button);
    return {};
}

std::optional<std::uint32_t> modeFromButton(const QString& caption)
{
    const QString c = caption.trimmed().toUpper();
    for (const ModeRow& r : kModes)
        if (c == QLatin1String(r.button))
            return r.code;
    return std::nullopt;
}

std::uint32_t spotMode(double kHz, const QString& modeText)
{
    const QString m = modeText.trimmed();
    if (m == QLatin1String("CW"))
        return kCwLower;
    if (m == QLatin1String("AM"))
        return kAm;
    if (m == QLatin1String("FM"))
        return kFm;
    return kHz > 11000 ? kSsbUpper : kSsbLower;
}

QString statusText(int status)
{
    switch (status) {
    case kNotConfigured: return QStringLiteral("Equipo no configurado");
    case kDisabled: return QStringLiteral("Equipo desabilitado");
    case kPortBusy: return QStringLiteral("Puerto ocupado");
    case kNotResponding: return QStringLiteral("Equipo no responde");
    case kOnline: return QStringLiteral("Equipo en linea");
    default: return QStringLiteral("Estado equipo desconocido");
    }
}

QString frequencyText(std::int64_t hz)
{
    if (hz < 0)
        hz = 0;
    const std::int64_t mhz = hz / 1000000;
    const std::int64_t khz = hz / 1000 % 1000;
    const std::int64_t tens = hz % 1000 / 10;
    return QStringLiteral("%1.%2.%3")
        .arg(mhz, 3, 10, QLatin1Char('0'))
        .arg(khz, 3, 10, QLatin1Char('0'))
        .arg(tens, 2, 10, QLatin1Char('0'));
}

} // namespace station
