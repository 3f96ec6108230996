// Downloads from the command line: the contest country file and the entity
// and prefix tables, through the same code as the menu.
#include "commands.h"

#include "app/tappl.h"
#include "online/endpoints.h"
#include "online/reachability.h"
#include "refdata/cty_download.h"
#include "refdata/cty_import.h"
#include "refdata/reference_download.h"
#include "store/reorga.h"
#include "store/workspace.h"

namespace {

using app::TAppl;
using cli::out;

// Whether a download may be tried: never with ORLANLOG_OFFLINE=1; without an
// explicit address only when the system reports a connection (a machine may
// reach a local mirror without reaching the internet).
bool mayDownload(const QString& explicitUrl)
{
    if (online::offlineForced()) {
        out() << "Sin conexión: ORLANLOG_OFFLINE=1 impide las descargas\n";
        return false;
    }
    if (explicitUrl.isEmpty() && !online::internetConnected()) {
        out() << "No hay conexión a internet (indique --url para usar un servidor propio)\n";
        return false;
    }
    return true;
}

int updateCty(const QStringList& args, TAppl& appl)
{
    const QString url = cli::optionValue(args, "--url");
    if (args.size() != (url.isEmpty() ? 0 : 2)) {
        out() << "Uso: orlanlog-cli update-cty [--url URL]\n";
        return 2;
    }
    if (!cli::referenceTablesPresent(appl) || !mayDownload(url))
        return 1;
    const QString source = url.isEmpty() ? refdata::ctyDownloadUrl() : url;
    out() << "Descargando " << source << '\n';
    out().flush();
    refdata::CtyImportResult r;
    QString problem;
    bool ok = false;
    ui::messages().meter([&](ui::Meter& m) { ok = refdata::downloadAndImportCty(m, source, &r, &problem); },
                         QStringLiteral("Procesando..."), QStringLiteral("Importando prefijos y coordenadas ..."));
    if (!problem.isEmpty()) {
        out() << problem << "\nLos prefijos no se han cambiado.\n";
        return 1;
    }
    out() << "Registros leídos: " << r.records << "; sin entidad: " << r.skipped << "; prefijos añadidos: " << r.added
          << ", actualizados: " << r.updated << ", sin cambios: " << r.unchanged << ", de otra entidad: " << r.foreign
          << '\n';
    out() << "Versión actual de CTY.DAT: " << refdata::CTYVER() << '\n';
    return ok ? 0 : 1;
}

int downloadReference(const QStringList& args, TAppl& appl)
{
    const QString url = cli::optionValue(args, "--url");
    if (args.size() != (url.isEmpty() ? 0 : 2)) {
        out() << "Uso: orlanlog-cli download-reference [--url URL]\n";
        return 2;
    }
    if (!cli::referenceTablesPresent(appl) || !mayDownload(url))
        return 1;
    const QString base = url.isEmpty() ? online::endpoint(online::Endpoint::ReferenceData) : url;
    out() << "Descargando entidades y prefijos de " << base << '\n';
    out().flush();
    store::Workspace::instance().closeAll();
    const refdata::ReferenceDownload r = refdata::downloadReferenceTables(base, appl.cDirDat);
    for (const QString& p : r.problems)
        out() << p << '\n';
    for (const QString& f : r.replaced)
        out() << "Sustituida " << f << '\n';
    bool reorganised = true;
    if (!r.replaced.isEmpty()) {
        cli::LineMeter meter;
        reorganised = store::REORGA(meter);
    }
    if (r.ok() && reorganised) {
        out() << "Bases de datos actualizadas correctamente\n";
        return 0;
    }
    if (r.replaced.isEmpty())
        out() << "No se ha cambiado ninguna tabla\n";
    return 1;
}

const cli::CommandRegistration r1({"update-cty", "update-cty [--url URL]",
                                   "descarga el fichero CTY.DAT (de su editor, o de URL) e importa sus prefijos", updateCty});
const cli::CommandRegistration r2({"download-reference", "download-reference [--url URL]",
                                   "descarga las tablas de entidades y prefijos (de URL/winorlanlog/datos/ con --url)",
                                   downloadReference});

} // namespace
