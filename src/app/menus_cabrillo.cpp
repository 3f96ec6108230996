// Menu entries of the Cabrillo import and export and of the LoTW confirmations.
#include "main_frame.h"
#include "tappl.h"
#include "windows.h"

#include "interchange/cabrillo_export_dialog.h"
#include "interchange/cabrillo_import.h"
#include "interchange/cabrillo_import_dialog.h"
#include "interchange/lotw_import.h"
#include "interchange/lotw_import_dialog.h"

#include <QAction>

void connectCabrilloMenus(MainFrame* frame)
{
    if (QAction* a = frame->action(QStringLiteral("Importar Cabrillo..."))) {
        a->setEnabled(true);
        QObject::connect(a, &QAction::triggered, frame, [frame] {
            interchange::CabrilloImportOptions o;
            if (!interchange::cabrilloImportDialog(oAppl->cName + QLatin1Char(' ') + oAppl->cVer, oAppl->cDirLocal, &o, frame))
                return;
            MSGMETER([&o](ui::Meter& m) { interchange::CBRIMP(o, m); }, QStringLiteral("Procesando..."),
                     QStringLiteral("Importando datos ... "));
            REFWND(QStringLiteral("ManLog"));
        });
    }
    if (QAction* a = frame->action(QStringLiteral("Cabrillo..."))) {
        a->setEnabled(true);
        QObject::connect(a, &QAction::triggered, frame,
                         [frame] { interchange::EXPCABRILLO(oAppl->cName, oAppl->cVer, oAppl->cDirLocal, frame); });
    }
    if (QAction* a = frame->action(QStringLiteral("Importar confirmaciones LOTW..."))) {
        a->setEnabled(true);
        QObject::connect(a, &QAction::triggered, frame, [frame] {
            QString path;
            if (!interchange::lotwImportDialog(&path, frame))
                return;
            MSGMETER([&path](ui::Meter& m) { interchange::LOTWIMP(path, m); }, QStringLiteral("Procesando..."),
                     QStringLiteral("Importando datos QSL LOTW  ..."));
            REFWND(QStringLiteral("ManLog"));
        });
    }
}
