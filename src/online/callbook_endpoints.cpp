#include "callbook_endpoints.h"

#include "app/tappl.h"

namespace online {

QString callbookKey(CallbookService which)
{
    switch (which) {
    case CallbookService::HamQthXml: return QStringLiteral("HamQthXml");
    case CallbookService::QrzXml: return QStringLiteral("QrzXml");
    case CallbookService::QrzWeb: return QStringLiteral("QrzWeb");
    case CallbookService::HamQthWeb: return QStringLiteral("HamQthWeb");
    }
    return {};
}

QString callbookDefault(CallbookService which)
{
    switch (which) {
    case CallbookService::HamQthXml:
    case CallbookService::HamQthWeb: return QStringLiteral("https://www.hamqth.com");
    case CallbookService::QrzXml: return QStringLiteral("https://xmldata.qrz.com");
    case CallbookService::QrzWeb: return QStringLiteral("https://www.qrz.com");
    }
    return {};
}

QString callbookEndpoint(CallbookService which)
{
    QString value = app::oAppl ? app::oAppl->ini().getString(QStringLiteral("Servicios"), callbookKey(which),
                                                             callbookDefault(which))
                               : callbookDefault(which);
    value = value.trimmed();
    while (value.endsWith(QLatin1Char('/')))
        value.chop(1);
    return value.isEmpty() ? callbookDefault(which) : value;
}

QString hamQthName() { return QStringLiteral("HamQTH.com"); }
QString qrzName() { return QStringLiteral("QRZ.com"); }

} // namespace online
