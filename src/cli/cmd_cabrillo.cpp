// Cabrillo import and export and the LoTW confirmation import of the active
// log book: import-cabrillo, export-cabrillo, import-lotw.
#include "commands.h"

#include "app/tappl.h"
#include "interchange/cabrillo_export.h"
#include "interchange/cabrillo_import.h"
#include "interchange/import_defaults.h"
#include "interchange/lotw_import.h"
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

int importCabrillo(const QStringList& args, TAppl&)
{
    const QStringList opts = {QStringLiteral("--operator"), QStringLiteral("--locator")};
    const QString file = fileArgument(args, opts);
    if (file.isEmpty()) {
        out() << "Falta el fichero: orlanlog-cli import-cabrillo FICHERO [--dupcheck] [--operator INDICATIVO] "
                 "[--locator LOCATOR]\n";
        return 2;
    }
    if (!openBookSession())
        return 1;
    interchange::CabrilloImportOptions o;
    o.path = QFileInfo(file).absoluteFilePath();
    o.checkDuplicates = args.contains(QStringLiteral("--dupcheck"));
    // The dialog's defaults: the book's operator (else its name), the locator of the last QSO.
    const interchange::ImportDefaults d = interchange::importDefaults();
    o.operatorCall = d.operatorCall;
    o.locator = d.locator;
    if (const QString v = optionValue(args, "--operator"); !v.isEmpty())
        o.operatorCall = v;
    if (const QString v = optionValue(args, "--locator"); !v.isEmpty())
        o.locator = v;
    ui::SilentMeter meter;
    QString message;
    bool complete = false;
    if (interchange::CBRIMP(o, meter, &message, &complete) < 0)
        return 1;
    out() << message.replace(QStringLiteral("\r\n"), QStringLiteral("\n")) << '\n';
    return complete ? 0 : 1;
}

int exportCabrillo(const QStringList& args, TAppl& appl)
{
    const QStringList opts = {QStringLiteral("--contest"), QStringLiteral("--call"), QStringLiteral("--from"),
                              QStringLiteral("--to"),      QStringLiteral("--category"), QStringLiteral("--band"),
                              QStringLiteral("--power"),   QStringLiteral("--name"), QStringLiteral("--province")};
    const QString file = fileArgument(args, opts);
    interchange::CabrilloExport e;
    e.header.contest = optionValue(args, "--contest").trimmed().toUpper();
    e.header.call = optionValue(args, "--call").trimmed().toUpper();
    if (file.isEmpty() || e.header.contest.isEmpty() || e.header.call.isEmpty()) {
        out() << "Uso: orlanlog-cli export-cabrillo FICHERO --contest CONCURSO --call INDICATIVO [--from AAAAMMDD] "
                 "[--to AAAAMMDD] [--category C] [--band B] [--power P] [--name NOMBRE] [--province XX]\n";
        return 2;
    }
    if (!interchange::cabrilloContests().contains(e.header.contest)) {
        out() << "Concurso desconocido: " << e.header.contest << " (" << interchange::cabrilloContests().join(QStringLiteral(", "))
              << ")\n";
        return 2;
    }
    auto choice = [&](const char* opt, const QStringList& list, QString* to) {
        const QString v = optionValue(args, opt).trimmed().toUpper();
        if (!args.contains(QLatin1String(opt))) {
            *to = list.first();
            return true;
        }
        if (!list.contains(v)) {
            out() << "Valor no válido para " << opt << ": " << v << " (" << list.join(QStringLiteral(", ")) << ")\n";
            return false;
        }
        *to = v;
        return true;
    };
    if (!choice("--category", interchange::cabrilloCategories(), &e.header.category) ||
        !choice("--band", interchange::cabrilloBands(), &e.header.band) ||
        !choice("--power", interchange::cabrilloPowers(), &e.header.power))
        return 2;
    const QString from = optionValue(args, "--from"), to = optionValue(args, "--to");
    e.from = QDate::fromString(from, QStringLiteral("yyyyMMdd"));
    e.to = QDate::fromString(to, QStringLiteral("yyyyMMdd"));
    if ((!from.isEmpty() && !e.from.isValid()) || (!to.isEmpty() && !e.to.isValid())) {
        out() << "Fecha no válida: use AAAAMMDD\n";
        return 2;
    }
    e.header.createdBy = appl.cName + QLatin1Char(' ') + appl.cVer;
    e.header.name = optionValue(args, "--name");
    e.province = optionValue(args, "--province").trimmed().toUpper().left(2);
    if (e.header.contest == QLatin1String("EA-MAJESTAD-SSB") && e.province.isEmpty()) {
        out() << "Falta la matricula de provincia: --province XX\n";
        return 2;
    }
    e.path = QFileInfo(file).absoluteFilePath();
    store::setReadingOnly(true);
    if (!openBookSession())
        return 1;
    const int n = interchange::writeCabrillo(e);
    if (n < 0)
        return 1;
    out() << "Exportacion completada\nSe han exportado " << n << " contactos\n";
    return 0;
}

int importLotw(const QStringList& args, TAppl&)
{
    const QString file = fileArgument(args, {});
    if (file.isEmpty()) {
        out() << "Falta el fichero: orlanlog-cli import-lotw FICHERO\n";
        return 2;
    }
    if (!openBookSession())
        return 1;
    ui::SilentMeter meter;
    const interchange::LotwResult r = interchange::LOTWIMP(QFileInfo(file).absoluteFilePath(), meter);
    if (!r.ran)
        return 1;
    out() << interchange::lotwCountsMessage(r.found, r.notFound, r.badDateTime, r.interrupted)
                 .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
          << '\n';
    return r.complete ? 0 : 1;
}

const cli::CommandRegistration r1({"import-cabrillo", "import-cabrillo FICHERO [--dupcheck] [--operator INDICATIVO] [--locator LOCATOR]",
                                   "importa las lineas QSO: de un fichero Cabrillo en el libro activo", importCabrillo});
const cli::CommandRegistration r2({"export-cabrillo", "export-cabrillo FICHERO --contest CONCURSO --call INDICATIVO [--from AAAAMMDD --to AAAAMMDD]",
                                   "exporta el libro activo a un fichero Cabrillo", exportCabrillo});
const cli::CommandRegistration r3({"import-lotw", "import-lotw FICHERO",
                                   "marca los QSO confirmados por un informe de LoTW (ADIF)", importLotw});

} // namespace
