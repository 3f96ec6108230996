// The entity reports and the statistics charts from the command line, through
// the code the menu entries use: a report to PDF, a chart's counts as text.
#include "commands.h"

#include "reports/chart_data.h"
#include "reports/entity_reports.h"

#include <QDate>

namespace {

using app::TAppl;
using cli::out;

// Every value of a repeated option ("--band 20M --band 40M", or "--band 20M,40M").
QStringList optionValues(const QStringList& args, const QString& name)
{
    QStringList v;
    for (int i = 0; i + 1 < args.size(); ++i)
        if (args[i] == name)
            v << args[i + 1].split(u',', Qt::SkipEmptyParts);
    return v;
}

int reportCmd(const QStringList& args, TAppl& appl)
{
    const QString which = args.value(0);
    const QString pdf = cli::optionValue(args, "--pdf");
    const bool notConfirmed = which == QLatin1String("worked-not-confirmed");
    if ((!notConfirmed && which != QLatin1String("not-worked")) || pdf.isEmpty()) {
        out() << "Uso: orlanlog-cli report worked-not-confirmed|not-worked --pdf FICHERO [--band B]... [--mode M]... "
                 "[--deleted]\n";
        return 2;
    }
    const QStringList bands = optionValues(args, QStringLiteral("--band"));
    const QStringList modes = optionValues(args, QStringLiteral("--mode"));
    if (bands.size() > 10 || modes.size() > 6) {
        out() << "Como mucho 10 bandas y 6 modos\n";
        return 2;
    }
    if (!cli::referenceTablesPresent(appl) || !cli::openBookSession())
        return 1;
    QString error;
    const auto kind = notConfirmed ? reports::EntityReport::WorkedNotConfirmed : reports::EntityReport::NotWorked;
    const auto r = reports::prepareEntityReport(kind, reports::BandModeChoice::of(bands, modes),
                                                args.contains(QStringLiteral("--deleted")), &error);
    if (!r || !r->report->toPdf(pdf, r->rows, r->heading, 0, &error)) {
        out() << error << '\n';
        return 1;
    }
    out() << r->title << ": " << r->rows.rows.size() << " filas, " << r->pages() << " páginas en " << pdf << '\n';
    return 0;
}

int chartCmd(const QStringList& args, TAppl& appl)
{
    static const QStringList kinds = {QStringLiteral("entities"), QStringLiteral("modes"), QStringLiteral("bands"),
                                      QStringLiteral("continents"), QStringLiteral("hours")};
    const int k = kinds.indexOf(args.value(0));
    auto date = [&](const char* name, bool* ok) {
        const QString v = cli::optionValue(args, name);
        const QDate d = QDate::fromString(v, QStringLiteral("yyyyMMdd"));
        *ok = v.isEmpty() || d.isValid();
        return d;
    };
    bool ok1 = false, ok2 = false;
    reports::ChartRequest req;
    req.selection.from = date("--from", &ok1);
    req.selection.to = date("--to", &ok2);
    if (k < 0 || !ok1 || !ok2) {
        out() << "Uso: orlanlog-cli chart entities|modes|bands|continents|hours [--from AAAAMMDD --to AAAAMMDD] "
                 "[--band B] [--mode M] [--operator OP] [--top N] [--rest]\n";
        return 2;
    }
    if (req.selection.from.isValid() && req.selection.to.isValid() && req.selection.to < req.selection.from) {
        out() << "Fecha hasta debes se mayor que desde\n";
        return 2;
    }
    req.kind = reports::ChartKind(k);
    req.selection.band = cli::optionValue(args, "--band");
    req.selection.mode = cli::optionValue(args, "--mode");
    req.selection.op = cli::optionValue(args, "--operator");
    req.top = cli::optionValue(args, "--top").toInt();
    req.withRest = args.contains(QStringLiteral("--rest"));
    if (!cli::referenceTablesPresent(appl) || !cli::openBookSession())
        return 1;
    reports::ChartData c;
    QString error;
    if (!reports::chartOf(req, &c, &error)) {
        out() << error << '\n';
        return 1;
    }
    out() << c.title.trimmed() << " (" << c.qsos << " QSO)\n";
    for (int i = 0; i < c.labels.size(); ++i)
        out() << c.labels[i] << '\t' << c.values[size_t(i)] << '\n';
    return 0;
}

const cli::CommandRegistration r1({"report", "report worked-not-confirmed|not-worked --pdf F [--band B] [--mode M] [--deleted]",
                                   "informe de entidades trabajadas sin confirmar o no trabajadas, en PDF", reportCmd});
const cli::CommandRegistration r2({"chart", "chart entities|modes|bands|continents|hours [--from D --to D] [--band B] ...",
                                   "cuenta los QSO de un gráfico (por entidades, modos, bandas, continentes u horas)",
                                   chartCmd});

} // namespace
