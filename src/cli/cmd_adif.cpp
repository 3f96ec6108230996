// ADIF import and export of the active log book: import-adif, export-adif.
#include "commands.h"
#include "import_args.h"

#include "app/tappl.h"
#include "interchange/adif_export.h"
#include "interchange/adif_import.h"
#include "interchange/import_defaults.h"
#include "store/access.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "core/messages.h"

#include <QDate>
#include <QFileInfo>

namespace {

using cli::fileArgument;
using cli::openBookSession;
using cli::optionValue;
using app::TAppl;
using cli::out;

int importAdif(const QStringList& args, TAppl& appl)
{
    const QString file = fileArgument(args, {QStringLiteral("--operator"), QStringLiteral("--locator")});
    if (file.isEmpty()) {
        out() << "Falta el fichero: orlanlog-cli import-adif FICHERO [--dupcheck] [--operator INDICATIVO] [--locator LOCATOR]\n";
        return 2;
    }
    QString book;
    if (!openBookSession(&book))
        return 1;
    interchange::AdifImportOptions opt;
    cli::readImportArgs(args, file, &opt);
    opt.appl = appl.cAppl;
    ui::SilentMeter meter;
    const interchange::AdifImportResult r = interchange::ADIFIMP(meter, opt);
    return cli::importEnd(r.ok, r.message, r.complete);
}

int exportAdif(const QStringList& args, TAppl& appl)
{
    const QString file = fileArgument(args, {QStringLiteral("--from"), QStringLiteral("--to")});
    if (file.isEmpty()) {
        out() << "Falta el fichero: orlanlog-cli export-adif FICHERO [--from AAAAMMDD --to AAAAMMDD]\n";
        return 2;
    }
    interchange::AdifSelection sel;
    const QString from = optionValue(args, "--from"), to = optionValue(args, "--to");
    sel.from = QDate::fromString(from, QStringLiteral("yyyyMMdd"));
    sel.to = QDate::fromString(to, QStringLiteral("yyyyMMdd"));
    if ((!from.isEmpty() && !sel.from.isValid()) || (!to.isEmpty() && !sel.to.isValid())) {
        out() << "Fecha no válida: use AAAAMMDD\n";
        return 2;
    }
    QString book;
    store::setReadingOnly(true);
    if (!openBookSession(&book))
        return 1;
    const interchange::AdifExportResult r =
        interchange::ADIFEXP(QFileInfo(file).absoluteFilePath(), sel, {appl.cName, appl.cVer, appl.cAppl});
    if (!r.ok) {
        out() << "Exportación no realizada: no se ha escrito el fichero " << file << '\n';
        return 1;
    }
    out() << "Exportacion completa\n" << r.exported << " QSOs\n";
    return 0;
}

const cli::CommandRegistration r1({"import-adif", "import-adif FICHERO [--dupcheck] [--operator INDICATIVO] [--locator LOCATOR]",
                                   "importa un fichero ADIF en el libro activo", importAdif});
const cli::CommandRegistration r2({"export-adif", "export-adif FICHERO [--from AAAAMMDD --to AAAAMMDD]",
                                   "exporta el libro activo a un fichero ADIF", exportAdif});

} // namespace
