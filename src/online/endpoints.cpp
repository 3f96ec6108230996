#include "endpoints.h"

#include "app/tappl.h"

namespace online {

namespace {
const QString kSection = QStringLiteral("Servicios");
}

QString endpointKey(Endpoint which)
{
    switch (which) {
    case Endpoint::UpdateServer: return QStringLiteral("Actualizaciones");
    case Endpoint::ReferenceData: return QStringLiteral("DatosReferencia");
    case Endpoint::CtyPublisher: return QStringLiteral("CtyDat");
    case Endpoint::DownloadService: return QStringLiteral("Descargas");
    }
    return {};
}

QString endpointDefault(Endpoint which)
{
    switch (which) {
    case Endpoint::UpdateServer:
    case Endpoint::ReferenceData:
    case Endpoint::DownloadService: return QStringLiteral("https://www.orlanlog.org");
    case Endpoint::CtyPublisher: return QStringLiteral("https://www.country-files.com");
    }
    return {};
}

QString endpoint(Endpoint which)
{
    QString value = app::oAppl ? app::oAppl->ini().getString(kSection, endpointKey(which), endpointDefault(which))
                               : endpointDefault(which);
    value = value.trimmed();
    while (value.endsWith(QLatin1Char('/')))
        value.chop(1);
    return value.isEmpty() ? endpointDefault(which) : value;
}

QString joinUrl(const QString& base, const QString& path)
{
    QString b = base.trimmed();
    while (b.endsWith(QLatin1Char('/')))
        b.chop(1);
    return path.startsWith(QLatin1Char('/')) ? b + path : b + QLatin1Char('/') + path;
}

} // namespace online
