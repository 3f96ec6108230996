#pragma once
// Where the call books live. Keys of the INI file's section "Servicios",
// each with the service's own address as default; tests and users may point
// them elsewhere. Both XML services and the web site offer HTTPS, so the
// defaults use it: user names and passwords never travel in clear.

#include <QString>

namespace online {

enum class CallbookService {
    HamQthXml,   // "/xml.php?..."
    QrzXml,      // "/xml/"
    QrzWeb,      // "/lookup", "/login", "/callsign/...", "/label/?id=..."
    HamQthWeb,   // the page of a call: "/" + call
};

QString callbookKey(CallbookService which);
QString callbookDefault(CallbookService which);
// The configured address, scheme + host (+ port), without a trailing "/".
QString callbookEndpoint(CallbookService which);

// The names the messages give the services.
QString hamQthName();   // "HamQTH.com"
QString qrzName();      // "QRZ.com"

} // namespace online
