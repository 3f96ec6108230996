// QSL cards from the command line: marking cards received or sent, the print
// spool, and printing cards or labels to PDF with a format of FrmQsl through
// the same code the log window uses.
#include "commands.h"

#include "app/tappl.h"
#include "qsl/format_choice.h"
#include "qsl/format_file.h"
#include "qsl/marking.h"
#include "qsl/print_job.h"
#include "qsl/shipped_designs.h"
#include "qsl/spool.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QDate>

namespace {

using app::TAppl;
using cli::out;

store::WorkArea* area(const QString& alias)
{
    store::WorkArea* a = store::Workspace::instance().area(alias);
    if (!a)
        out() << "No está abierta la tabla " << alias << '\n';
    return a;
}

QDate dateOption(const QStringList& args, const char* name, bool* ok)
{
    const QString v = cli::optionValue(args, name);
    *ok = true;
    if (v.isEmpty())
        return QDate();
    const QDate d = QDate::fromString(v, QStringLiteral("yyyyMMdd"));
    if (!d.isValid()) {
        out() << "Fecha errónea: \"" << v << "\" (AAAAMMDD)\n";
        *ok = false;
    }
    return d;
}

// The records of the log with `call` on `date` (every date when not valid).
std::vector<quint32> qsosOf(store::WorkArea& log, const QString& call, const QDate& date)
{
    std::vector<quint32> recs;
    const QString c = call.trimmed().toUpper();
    for (log.goTop(); !log.eof(); log.skip())
        if (log.str(QStringLiteral("CALL")).trimmed().toUpper() == c
            && (!date.isValid() || log.date(QStringLiteral("QSODATE")) == date))
            recs.push_back(log.recNo());
    return recs;
}

int printQsl(const QStringList& args, TAppl& appl)
{
    const QString name = cli::optionValue(args, "--format");
    const QString pdf = cli::optionValue(args, "--pdf");
    if (pdf.isEmpty()) {
        out() << "Uso: orlanlog-cli print-qsl [--format NOMBRE] --pdf FICHERO [--pending | --from AAAAMMDD --to AAAAMMDD] [--start N]\n";
        return 2;
    }
    bool ok1 = false, ok2 = false;
    const QDate from = dateOption(args, "--from", &ok1), to = dateOption(args, "--to", &ok2);
    if (!ok1 || !ok2)
        return 2;
    const bool pending = args.contains(QStringLiteral("--pending"));
    if (!cli::referenceTablesPresent(appl) || !cli::openBookSession())
        return 1;
    store::WorkArea* frm = area(store::alias::kFrmQsl);
    store::WorkArea* log = area(pending ? store::alias::kLogSpool : store::alias::kLog);
    if (!frm || !log)
        return 1;
    QString error;
    const auto format = name.trimmed().isEmpty() ? qsl::defaultFormat(*frm, &error) : qsl::formatNamed(*frm, name, &error);
    if (!format) {
        out() << error << '\n';
        return 1;
    }
    if (pending)
        log->setOrder(QStringLiteral("PrnQsl"));
    const qsl::RowSet qsos = qsl::collectQsos(
        *log,
        [&](store::WorkArea& a) {
            const QDate d = a.date(QStringLiteral("QSODATE"));
            return (!from.isValid() || d >= from) && (!to.isValid() || d <= to);
        },
        !format->label || !pending);
    if (qsos.rows.empty()) {
        out() << "No hay QSO que imprimir\n";
        return 1;
    }
    int start = format->used + 1;
    if (const QString s = cli::optionValue(args, "--start"); !s.isEmpty()) {
        bool ok = false;
        start = s.toInt(&ok);
        if (!ok || start < 1) {
            out() << "Etiqueta inicial errónea: \"" << s << "\"\n";
            return 2;
        }
    }
    qsl::PrintResult res;
    if (!qsl::printQsos(*format, qsos, start, pdf, &res, &error)) {
        out() << error << '\n';
        return 1;
    }
    if (format->label && format->perSheet > 0)
        qsl::storeLabelsUsed(*frm, format->rec, res.usedAfter);
    out() << res.qsos << " QSO, " << res.records << (format->label ? " etiquetas, " : " tarjetas, ") << res.pages
          << " páginas en " << pdf << '\n';
    return 0;
}

int qslMark(const QStringList& args, TAppl& appl, bool received)
{
    const QString call = args.value(0);
    const QString mode = received ? QString() : cli::optionValue(args, "--via").toUpper();
    bool ok1 = false, ok2 = false;
    const QDate qsoDate = dateOption(args, "--qso-date", &ok1);
    QDate date = dateOption(args, "--date", &ok2);
    if (call.isEmpty() || call.startsWith(QLatin1String("--")) || !ok1 || !ok2
        || (!received && mode != QLatin1String("B") && mode != QLatin1String("D") && mode != QLatin1String("E"))) {
        out() << (received ? "Uso: orlanlog-cli qsl-rx INDICATIVO [--qso-date AAAAMMDD] [--date AAAAMMDD] [--queue]\n"
                           : "Uso: orlanlog-cli qsl-tx INDICATIVO --via B|D|E [--qso-date AAAAMMDD] [--date AAAAMMDD]\n");
        return 2;
    }
    if (!date.isValid())
        date = QDate::currentDate();
    if (!cli::referenceTablesPresent(appl) || !cli::openBookSession())
        return 1;
    store::WorkArea* log = area(store::alias::kLog);
    if (!log)
        return 1;
    const std::vector<quint32> recs = qsosOf(*log, call, qsoDate);
    if (recs.empty()) {
        out() << "No hay QSO con " << call.trimmed().toUpper() << '\n';
        return 1;
    }
    int n = 0;
    for (quint32 r : recs) {
        log->goTo(r);
        if (received) {
            qsl::ReceivedOptions opt;
            opt.date = date;
            opt.queue = args.contains(QStringLiteral("--queue"));
            n += qsl::markReceived(*log, opt) != qsl::ReceivedResult::Unchanged;
        } else {
            n += qsl::markSent(*log, date, mode[0]);
        }
    }
    out() << n << " QSO marcados\n";
    return 0;
}

int spoolCmd(const QStringList& args, TAppl& appl)
{
    const QString what = args.value(0);
    if (what != QLatin1String("list") && what != QLatin1String("dedup") && what != QLatin1String("empty")) {
        out() << "Uso: orlanlog-cli qsl-spool list|dedup|empty\n";
        return 2;
    }
    if (!cli::referenceTablesPresent(appl) || !cli::openBookSession())
        return 1;
    store::WorkArea* spool = area(store::alias::kLogSpool);
    if (!spool)
        return 1;
    spool->setOrder(QStringLiteral("PrnQsl"));
    if (what == QLatin1String("dedup")) {
        out() << "Se han eliminado " << qsl::spoolRemoveDuplicates(*spool) << " registros\n";
    } else if (what == QLatin1String("empty")) {
        out() << qsl::spoolEmpty(*spool) << " QSO sacados de la cola\n";
    } else {
        for (spool->goTop(); !spool->eof(); spool->skip())
            out() << spool->str(QStringLiteral("CALL")).trimmed() << '\t'
                  << spool->date(QStringLiteral("QSODATE")).toString(QStringLiteral("yyyyMMdd")) << '\t'
                  << spool->str(QStringLiteral("TIMEON")).trimmed() << '\t' << spool->str(QStringLiteral("BAND")).trimmed()
                  << '\t' << spool->str(QStringLiteral("MODE")).trimmed() << '\n';
    }
    return 0;
}

int formatCmd(const QStringList& args, TAppl& appl)
{
    const QString what = args.value(0);
    const QString a1 = args.value(1), a2 = args.value(2);
    const bool shipped = what == QLatin1String("add") && (a1 == QLatin1String("card") || a1 == QLatin1String("labels"));
    if (!(shipped && !a2.trimmed().isEmpty()) && !(what == QLatin1String("import") && !a1.isEmpty())
        && !(what == QLatin1String("export") && !a1.isEmpty() && !a2.isEmpty()) && what != QLatin1String("list")
        && !(what == QLatin1String("default") && !a1.isEmpty())) {
        out() << "Uso: orlanlog-cli qsl-format list | add card|labels DESCRIPCION | import FICHERO | export DESCRIPCION FICHERO"
                 " | default DESCRIPCION\n";
        return 2;
    }
    if (!cli::referenceTablesPresent(appl) || !cli::openBookSession())
        return 1;
    store::WorkArea* frm = area(store::alias::kFrmQsl);
    if (!frm)
        return 1;
    QString error;
    if (what == QLatin1String("list")) {
        frm->setOrder(QString());
        for (frm->goTop(); !frm->eof(); frm->skip())
            if (!frm->deleted())
                out() << frm->str(QStringLiteral("DESC")).trimmed() << '\t'
                      << (frm->logical(QStringLiteral("LBL")) ? "etiquetas" : "tarjeta") << '\t'
                      << (frm->logical(QStringLiteral("DEFAULT")) ? "*" : "") << '\n';
        return 0;
    }
    if (what == QLatin1String("default")) {
        const auto f = qsl::formatNamed(*frm, a1, &error);
        if (!f || !qsl::makeDefault(*frm, f->rec)) {
            out() << (f ? QStringLiteral("No se pudo cambiar el formato") : error) << '\n';
            return 1;
        }
        out() << "Formato " << f->description << " para imprimir\n";
        return 0;
    }
    if (shipped) {
        const bool labels = a1 == QLatin1String("labels");
        const store::Status s = frm->append([&](store::WorkArea& a) {
            a.put(QStringLiteral("DESC"), a2.trimmed());
            a.put(QStringLiteral("LBL"), labels);
            a.put(QStringLiteral("QSOXLBL"), labels ? 3 : 1);
            a.put(QStringLiteral("ETIXPAG"), labels ? 24 : 0);
            return a.putMemo(QStringLiteral("FORMATO"),
                             (labels ? qsl::shippedLabelDesign() : qsl::shippedCardDesign()).toLatin1());
        });
        frm->unlock();
        if (!s) {
            out() << s.text() << '\n';
            return 1;
        }
        out() << "Formato " << a2.trimmed() << " añadido\n";
        return 0;
    }
    if (what == QLatin1String("import")) {
        if (!qsl::importFormat(*frm, a1, &error)) {
            out() << error.replace(QStringLiteral("\r\n"), QStringLiteral(" ")) << '\n';
            return 1;
        }
        out() << "Formato " << frm->str(QStringLiteral("DESC")).trimmed() << " importado\n";
        return 0;
    }
    if (!qsl::formatNamed(*frm, a1, &error)) {
        out() << error << '\n';
        return 1;
    }
    // formatNamed gives the place back; find the record itself
    frm->setOrder(QString());
    for (frm->goTop(); !frm->eof(); frm->skip())
        if (!frm->deleted() && frm->str(QStringLiteral("DESC")).trimmed().compare(a1.trimmed(), Qt::CaseInsensitive) == 0)
            break;
    if (!qsl::exportFormat(*frm, a2, &error)) {
        out() << error << '\n';
        return 1;
    }
    out() << a2 << "\nexportado correctamente\n";
    return 0;
}

const cli::CommandRegistration r1({"print-qsl",
                                   "print-qsl [--format N] --pdf F [--pending|--from D --to D] [--start N]",
                                   "imprime tarjetas o etiquetas QSL en un PDF con un formato de QSL", printQsl});
const cli::CommandRegistration r2({"qsl-rx", "qsl-rx INDICATIVO [--qso-date D] [--date D] [--queue]",
                                   "marca la QSL como recibida (y la respuesta en cola)",
                                   [](const QStringList& a, TAppl& t) { return qslMark(a, t, true); }});
const cli::CommandRegistration r3({"qsl-tx", "qsl-tx INDICATIVO --via B|D|E [--qso-date D] [--date D]",
                                   "marca la QSL como enviada",
                                   [](const QStringList& a, TAppl& t) { return qslMark(a, t, false); }});
const cli::CommandRegistration r4({"qsl-spool", "qsl-spool list|dedup|empty",
                                   "cola de impresión de QSL: lista, quita duplicados o la vacía", spoolCmd});
const cli::CommandRegistration r5({"qsl-format", "qsl-format list|add card|labels D|import F|export D F|default D",
                                   "formatos de QSL: lista, añade un diseño del programa, importa o exporta (.q7q)",
                                   formatCmd});

} // namespace
