// Menu entry of the reference-data download.
#include "command_registry.h"
#include "main_frame.h"
#include "startup.h"
#include "windows.h"
#include "tappl.h"

#include "online/endpoints.h"
#include "online/reachability.h"
#include "refdata/reference_download.h"
#include "store/reorga.h"
#include "core/messages.h"

namespace app {

namespace {

// The entity and prefix tables from the reference-data service. Without a
// connection nothing happens and nothing is closed.
void DBFACT()
{
    if (!online::internetConnected())
        return;
    const QString title = oAppl->cName + QLatin1Char(' ') + oAppl->cVer;
    closeForMaintenance();
    refdata::ReferenceDownload result;
    ui::messages().wait(QStringLiteral("Actualizando base de datos "), oAppl->cName + oAppl->cVer, [&] {
        result = refdata::downloadReferenceTables(online::endpoint(online::Endpoint::ReferenceData), oAppl->cDirDat);
    });
    bool reorganised = false;
    if (!result.replaced.isEmpty())
        MSGMETER([&reorganised](ui::Meter& m) { reorganised = store::REORGA(m); },
                 QStringLiteral("Procesando, espere por favor ... "));
    SETUP();
    if (result.ok() && reorganised)
        ui::messages().info(QStringLiteral("Bases de datos actualizadas correctamente"), title);
    else if (!result.ok())
        ui::messages().alert(result.problems.join(QStringLiteral("\r\n"))
                                 + (result.replaced.isEmpty() ? QStringLiteral("\r\n\r\nNo se ha cambiado ninguna tabla.")
                                                              : QStringLiteral("\r\n\r\nActualizadas: ") + result.replaced.join(QStringLiteral(", "))),
                             title);
}

} // namespace

void registerOnlineCommands(CommandRegistry& r)
{
    r.registerCommand(CommandId::DownloadReferenceData, [](MainFrame*) { DBFACT(); });
}

} // namespace app
