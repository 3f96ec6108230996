// Menu entries of the entity window, the CTY.DAT import and its version.
#include "command_registry.h"
#include "main_frame.h"
#include "panel_windows.h"
#include "tappl.h"
#include "windows.h"

#include "refdata/cty_import.h"
#include "refdata/views/entity_window.h"
#include "ui/dialog_helpers.h"
#include "ui/file_chooser.h"
#include "core/messages.h"

#include <QDialog>
#include <QLineEdit>
#include <QVBoxLayout>

namespace app {

namespace {

// "Importar Contest Country File(CTY.DAT)": the file to import. (Downloading
// it needs the web client, which the program does not have yet.)
QString chooseCtyFile(QWidget* parent)
{
    QDialog d(parent);
    d.setObjectName(QStringLiteral("IMPCTY"));
    d.setWindowTitle(QStringLiteral("Importar Contest Country File(CTY.DAT)"));
    auto* lay = new QVBoxLayout(&d);
    QLineEdit* path = ui::addPathChooser(lay, QStringLiteral("Fichero a importar"), QStringLiteral("602"), [&d](const QString& current) {
        return ui::chooseFile(&d, ui::ChooseMode::Open, QStringLiteral("cty"),
                              oAppl->cName + QLatin1Char(' ') + oAppl->cVer + QStringLiteral(" Seleccione carpeta y nombre de fichero"),
                              current, QStringLiteral("cty.dat"), QStringLiteral("DAT (*.dat)"), oAppl->cDirLocal);
    });
    path->setText(oAppl->ini().getString(QStringLiteral("ImpCty"), QStringLiteral("Fichero"), QString()));
    ui::addOkCancel(&d, lay, path);
    if (d.exec() != QDialog::Accepted)
        return {};
    oAppl->ini().Set(QStringLiteral("ImpCty"), QStringLiteral("Fichero"), path->text().trimmed());
    return path->text().trimmed();
}

void openEntities()
{
    openPanelWindow(WindowId::Entities, QStringLiteral("Entidades DXCC"), [] { return refdata::EntityPanel::open(); });
}

} // namespace

void registerRefdataCommands(CommandRegistry& r)
{
    r.registerCommand(CommandId::Entities, [](MainFrame*) { openEntities(); });
    registerView(WindowId::Entities, openEntities);
    r.registerCommand(CommandId::ImportCty, [](MainFrame* frame) {
        const QString file = chooseCtyFile(frame);
        if (file.isEmpty())
            return;
        MSGMETER([&](ui::Meter& m) { refdata::CTYIMP(m, false, file); }, QStringLiteral("Procesando..."),
                 QStringLiteral("Importando prefijos y coordenadas ..."));
    });
    r.registerCommand(CommandId::CtyVersion,
                      [](MainFrame*) { ui::messages().info(QStringLiteral("VERaammdd\r\n") + refdata::CTYVER()); });
}

} // namespace app
