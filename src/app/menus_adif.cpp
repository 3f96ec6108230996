// Menu entries of the ADIF import and export.
#include "main_frame.h"
#include "tappl.h"
#include "windows.h"

#include "interchange/adif_export_dialog.h"
#include "interchange/adif_import.h"
#include "interchange/adif_import_dialog.h"

#include <QAction>
#include <QDir>

void connectAdifMenus(MainFrame* frame)
{
    if (QAction* a = frame->action(QStringLiteral("Importar ADIF ..."))) {
        a->setEnabled(true);
        QObject::connect(a, &QAction::triggered, frame, [frame] {
            interchange::AdifImportOptions o;
            o.appl = oAppl->cAppl;
            if (!interchange::adifImportDialog(oAppl->cName + QLatin1Char(' ') + oAppl->cVer, QDir::currentPath(), &o, frame))
                return;
            MSGMETER([&o](ui::Meter& m) { interchange::ADIFIMP(m, o); }, QStringLiteral("Procesando..."),
                     QStringLiteral("Importando datos ... "));
            REFWND(QStringLiteral("ManLog"));
        });
    }
    if (QAction* a = frame->action(QStringLiteral("Adif ..."))) {
        a->setEnabled(true);
        QObject::connect(a, &QAction::triggered, frame, [frame] {
            interchange::adifExportCommand({oAppl->cName, oAppl->cVer, oAppl->cAppl}, QDir::currentPath(), oAppl->cLibro,
                                           frame);
        });
    }
}
