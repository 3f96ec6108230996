#include "sheet_open.h"

#include "logbook/sheet_export.h"
#include "store/workspace.h"
#include "core/messages.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace logbook {

void writeAndOpenSheet(const QString& base, store::WorkArea& area, const std::vector<LogColumn>& columns, bool calc)
{
    const QString programDir = store::Workspace::instance().programDir();
    const QString dir = programDir.isEmpty() ? QDir::tempPath() : programDir;
    const QString path = QDir(dir).filePath(base + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".xlsx"));
    SheetResult r;
    ui::messages().meter([&](ui::Meter& m) { r = exportSheet(path, area, columns, &m); }, QStringLiteral("Procesando..."),
                         calc ? QStringLiteral("Enviando registros a Open Office") : QStringLiteral("Enviando registros a MS Excel"));
    if (!r.written) {
        if (!r.cancelled)
            ui::messages().stop(r.error.isEmpty() ? QStringLiteral("No se pudo escribir la hoja de cálculo") : r.error);
        return;
    }
    // LibreOffice Calc for the OpenOffice button when it is there; else the desktop's choice
    const QString office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (calc && !office.isEmpty() && QProcess::startDetached(office, {QStringLiteral("--calc"), path}))
        return;
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        ui::messages().info(QStringLiteral("Hoja de cálculo escrita en\r\n") + path);
}

} // namespace logbook
