// Menu entries and buttons of the frame itself: reorganise, settings, support
// forum, about, quit.
#include "command_registry.h"
#include "main_frame.h"
#include "spanish.h"
#include "startup.h"
#include "tappl.h"

#include "core/messages.h"

#include <QDesktopServices>
#include <QUrl>

namespace app {

void registerShellCommands(CommandRegistry& r)
{
    r.registerCommand(CommandId::Quit, [](MainFrame*) { oAppl->End(); });
    r.registerCommand(CommandId::Reorganize, [](MainFrame*) { reorganizeCommand(); });
    r.registerCommand(CommandId::Settings, [](MainFrame*) { openSettings(); });
    r.registerCommand(CommandId::SupportForum, [](MainFrame*) {
        const QString url = oAppl->ini().getString(QStringLiteral("Config"), QStringLiteral("Foro"),
                                                   QStringLiteral("https://github.com/orlanlog/orlanlog/discussions"));
        if (!QDesktopServices::openUrl(QUrl(url)))
            ui::messages().alert(QStringLiteral("No se pudo abrir el navegador. La dirección del foro de soporte es:\r\n\r\n") + url,
                                 QStringLiteral("Foros de soporte"));
    });
    r.registerCommand(CommandId::About, [](MainFrame*) {
        ui::messages().info(oAppl->cCpyRght + QStringLiteral("\nQt ") + QString::fromLatin1(qVersion()) + QLatin1Char('\n')
                                + oAppl->cName + QLatin1Char(' ') + oAppl->cVer + QStringLiteral(", ")
                                + QStringLiteral("GCC " __VERSION__ ", compilado el ") + spanishCompilerDate(__DATE__),
                            QStringLiteral("Sobre ") + oAppl->cName);
    });
    r.registerCommand(CommandId::ToolExit, [](MainFrame* frame) { frame->close(); });
}

} // namespace app
