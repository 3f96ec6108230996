// Call-sign resolution and the CTY.DAT import from the command line.
#include "commands.h"

#include "app/tappl.h"
#include "refdata/cty_import.h"
#include "refdata/resolve.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/workspace.h"
#include "core/messages.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

using app::TAppl;
using cli::out;

// One line: the call as given, entity code, prefix, entity name, DXCC number,
// CQ zone, ITU zone and continent, separated by tabs. The entity's fields are
// read where DXCC leaves the entity table.
void resolveLine(const QString& call, const QDate& date)
{
    const QString code = refdata::DXCC(call, date);
    QString name, dxcc, cqz, ituz, cont;
    store::WorkArea* ent = store::Workspace::instance().area(store::alias::kEnt);
    if (ent && !ent->eof() && !code.isEmpty() && code != QLatin1String("  0")) {
        name = ent->str(QStringLiteral("NOMBRE")).trimmed();
        dxcc = ent->str(QStringLiteral("DXCC")).trimmed();
        cqz = ent->str(QStringLiteral("CQZ")).trimmed();
        ituz = ent->str(QStringLiteral("ITUZ")).trimmed();
        cont = ent->str(QStringLiteral("CONT")).trimmed();
    }
    const QChar tab(u'\t');
    out() << call << tab << code << tab << refdata::PFX(call) << tab << name << tab << dxcc << tab << cqz << tab << ituz
          << tab << cont << '\n';
}

int resolve(const QStringList& argsIn, TAppl& appl)
{
    QStringList args = argsIn;
    QDate date = QDate::currentDate();
    static const QRegularExpression eightDigits(QStringLiteral("^\\d{8}$"));
    if (!args.isEmpty() && eightDigits.match(args.last()).hasMatch()) {
        date = QDate::fromString(args.last(), QStringLiteral("yyyyMMdd"));
        if (!date.isValid()) {
            out() << "Fecha errónea: \"" << args.last() << "\" (AAAAMMDD, p. ej. 20240621)\n";
            return 2;
        }
        args.removeLast();
    }
    if (args.isEmpty()) {
        out() << "Uso: orlanlog-cli resolve INDICATIVO... [AAAAMMDD]  (o - para leer un indicativo por línea)\n";
        return 2;
    }
    if (!cli::referenceTablesPresent(appl))
        return 1;
    // Blank or shifted answers from a table that cannot serve are worse than none.
    store::setReadingOnly(true);
    if (const QString problem = refdata::resolutionTablesProblem(); !problem.isEmpty()) {
        out() << problem << '\n';
        return 1;
    }
    for (const QString& a : args) {
        if (a != QLatin1String("-")) {
            resolveLine(a, date);
            continue;
        }
        // one call per line from standard input, each answered as it arrives
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly | QIODevice::Text)) {
            out() << "No se puede leer la entrada estándar\n";
            return 1;
        }
        for (;;) {
            const QByteArray raw = in.readLine();
            if (raw.isEmpty() && in.atEnd())
                break;
            const QString call = QString::fromUtf8(raw).trimmed();
            if (call.isEmpty())
                continue;
            resolveLine(call, date);
            if (in.bytesAvailable() <= 0)
                out().flush();
        }
    }
    return 0;
}

int importCty(const QStringList& args, TAppl& appl)
{
    if (args.size() != 1) {
        out() << "Uso: orlanlog-cli import-cty FICHERO\n";
        return 2;
    }
    if (!QFileInfo(args[0]).isFile()) {
        out() << "No existe el fichero " << args[0] << '\n';
        return 2;
    }
    if (!cli::referenceTablesPresent(appl))
        return 1;
    refdata::CtyImportResult r;
    bool ok = false;
    const bool cancelled = ui::messages().meter(
        [&](ui::Meter& m) { ok = refdata::CTYIMP(m, false, QFileInfo(args[0]).absoluteFilePath(), &r); },
        QStringLiteral("Procesando..."), QStringLiteral("Importando prefijos y coordenadas ..."));
    out() << "Registros leídos: " << r.records << "; sin entidad: " << r.skipped << "; prefijos añadidos: " << r.added
          << ", actualizados: " << r.updated << ", sin cambios: " << r.unchanged << ", de otra entidad: " << r.foreign
          << '\n';
    out() << "Versión actual de CTY.DAT: " << refdata::CTYVER() << '\n';
    return ok && !cancelled ? 0 : 1;
}

const cli::CommandRegistration r1({"resolve", "resolve INDICATIVO... [AAAAMMDD]",
                                   "entidad, prefijo, zonas y continente de cada indicativo (- lee de la entrada)", resolve});
const cli::CommandRegistration r2({"import-cty", "import-cty FICHERO", "importa los prefijos de un fichero CTY.DAT", importCty});

} // namespace
