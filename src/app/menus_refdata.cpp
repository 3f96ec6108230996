// Menu entries of the entity window, the CTY.DAT import and its version.
#include "command_registry.h"
#include "main_frame.h"
#include "panel_windows.h"
#include "tappl.h"
#include "windows.h"

#include "online/reachability.h"
#include "refdata/cty_download.h"
#include "refdata/cty_import.h"
#include "refdata/views/entity_window.h"
#include "ui/dialog_helpers.h"
#include "ui/file_chooser.h"
#include "core/messages.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

namespace {

// "Importar Contest Country File(CTY.DAT)": the file to import, or the
// publisher's file downloaded first (button 4002, captioned with its address).
struct CtyChoice {
    QString file;
    bool download = false;
};

CtyChoice chooseCtyFile(QWidget* parent)
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
    CtyChoice choice;
    auto* download = new QPushButton(refdata::ctyDownloadUrl(), &d);
    download->setObjectName(QStringLiteral("4002"));
    download->setToolTip(QStringLiteral("Descarga el fichero CTY.DAT de su editor y lo importa"));
    download->setAutoDefault(false);
    QObject::connect(download, &QPushButton::clicked, &d, [&] {
        choice.download = true;
        d.accept();
    });
    lay->addWidget(download);
    ui::addOkCancel(&d, lay, path);
    if (d.exec() != QDialog::Accepted)
        return {};
    if (choice.download)
        return choice;
    oAppl->ini().Set(QStringLiteral("ImpCty"), QStringLiteral("Fichero"), path->text().trimmed());
    choice.file = path->text().trimmed();
    return choice;
}

// Downloads the publisher's file and imports it at once.
void downloadCty()
{
    if (!online::internetConnected()) {
        ui::messages().alert(QStringLiteral("No hay conexión a internet: no puede descargarse el fichero CTY.DAT"));
        return;
    }
    QString problem;
    ui::messages().wait(QStringLiteral("Espere por favor ..."), QStringLiteral("Descargando fichero CTY.DAT de internet"),
                        [&] { problem = refdata::CTYINETIMP(); });
    if (!problem.isEmpty()) {
        ui::messages().stop(problem + QStringLiteral("\r\nLos prefijos no se han cambiado."));
        return;
    }
    MSGMETER([&](ui::Meter& m) { refdata::CTYIMP(m, false); }, QStringLiteral("Procesando..."),
             QStringLiteral("Importando prefijos y coordenadas ..."));
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
        const CtyChoice choice = chooseCtyFile(frame);
        if (choice.download)
            return downloadCty();
        if (choice.file.isEmpty())
            return;
        MSGMETER([&](ui::Meter& m) { refdata::CTYIMP(m, false, choice.file); }, QStringLiteral("Procesando..."),
                 QStringLiteral("Importando prefijos y coordenadas ..."));
    });
    r.registerCommand(CommandId::CtyVersion,
                      [](MainFrame*) { ui::messages().info(QStringLiteral("VERaammdd\r\n") + refdata::CTYVER()); });
}

} // namespace app
