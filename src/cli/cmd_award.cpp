// The status of an award from the command line: the same computation as the
// award view, printed as tab-separated lines.
#include "commands.h"

#include "app/tappl.h"
#include "awards/award_definition.h"
#include "awards/award_status.h"
#include "awards/status_table.h"

namespace {

using app::TAppl;
using cli::out;

int award(const QStringList& args, TAppl& appl)
{
    const QString code = cli::fileArgument(args, {QStringLiteral("--entities"), QStringLiteral("--book")});
    if (code.trimmed().isEmpty()) {
        out() << "Uso: orlanlog-cli award CODIGO [--entities all|active|deleted] [--book NOMBRE]\n";
        return 2;
    }
    awards::EntitySet set = awards::EntitySet::All;
    const QString entities = cli::optionValue(args, "--entities").trimmed().toLower();
    if (entities == QLatin1String("active"))
        set = awards::EntitySet::Active;
    else if (entities == QLatin1String("deleted"))
        set = awards::EntitySet::Deleted;
    else if (!entities.isEmpty() && entities != QLatin1String("all")) {
        out() << "Conjunto de entidades erróneo: \"" << entities << "\" (all, active o deleted)\n";
        return 2;
    }
    if (!cli::referenceTablesPresent(appl) || !cli::openBookSession())
        return 1;
    awards::BookFiles book = awards::sessionBook();
    if (const QString name = cli::optionValue(args, "--book"); !name.trimmed().isEmpty()) {
        book = awards::namedBook(name);
        if (book.log.isEmpty()) {
            out() << "No existe el libro de guardia " << name.trimmed() << '\n';
            return 1;
        }
    }
    awards::AwardDef def;
    if (!awards::findDefinition(code, &def)) {
        out() << "No existe el diploma " << code.trimmed().toUpper() << '\n';
        return 1;
    }
    awards::AwardStatus status;
    QString error;
    if (!awards::computeAward(def, set, book, &status, &error)) {
        out() << error.replace(QStringLiteral("\r\n"), QStringLiteral(". ")) << '\n';
        return 1;
    }
    for (const QString& line : awards::statusLines(status))
        out() << line << '\n';
    return 0;
}

const cli::CommandRegistration r1({"award", "award CODIGO [--entities all|active|deleted] [--book NOMBRE]",
                                   "estado de un diploma: referencias trabajadas y confirmadas por banda y modo", award});

} // namespace
