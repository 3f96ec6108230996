#pragma once
// The addresses of the outside services the program downloads from. Each is
// a key of the INI file's section "Servicios" with a default, written back
// when missing, so users (a local mirror) and tests (a server on 127.0.0.1)
// can point it elsewhere. Values are scheme + host (+ port), without a
// trailing "/"; the URL paths are fixed by the callers.

#include <QString>

namespace online {

enum class Endpoint {
    UpdateServer,      // version file and new program: "/winorlanlog/..."
    ReferenceData,     // entity and prefix tables: "/winorlanlog/datos/..."
    CtyPublisher,      // the contest country file: "/cty/cty.dat"
    DownloadService,   // files the version migration fetches: "/media/..."
};

QString endpoint(Endpoint which);
// The INI key and the default of an endpoint.
QString endpointKey(Endpoint which);
QString endpointDefault(Endpoint which);

// base + path, with exactly one "/" between them.
QString joinUrl(const QString& base, const QString& path);

} // namespace online
