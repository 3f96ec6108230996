// The log window's selection from the command line: select, with the filter's
// criteria as options, then, on the QSOs selected, a spreadsheet (--xlsx) and a
// block change (--set FIELD=VALUE, repeated).
#include "commands.h"

#include "core/messages.h"
#include "logbook/block_change.h"
#include "logbook/log_columns.h"
#include "logbook/log_filter.h"
#include "logbook/sheet_export.h"
#include "store/aliases.h"
#include "store/workspace.h"

#include <QDate>

#include <algorithm>

namespace {

using app::TAppl;
using cli::optionValue;
using cli::out;
using cli::tableCode;

const char kUsage[] = "select [--from AAAAMMDD] [--to AAAAMMDD] [--call TEXTO] [--band B] [--mode M] [--entity COD] "
                      "[--cont CC] [--iota REF] [--grid LOC] [--cqz N] [--ituz N] [--qsl-rcvd SI|NO] [--qsl-sent COD] "
                      "[--qsl-via IND] [--operator IND] [--province P] [--exchange 1|2|3] [--qsl-mode COD] [--add] "
                      "[--xlsx FICHERO] [--set CAMPO=VALOR ...]";

bool dateOption(const QStringList& args, const char* name, QDate* date)
{
    const QString text = optionValue(args, name);
    if (text.isEmpty())
        return true;
    *date = QDate::fromString(text, QStringLiteral("yyyyMMdd"));
    if (!date->isValid()) {
        out() << "Fecha no válida en " << name << ": \"" << text << "\" (AAAAMMDD)\n";
        return false;
    }
    return true;
}

int select(const QStringList& args, TAppl&)
{
    static const char* const known[] = {"--from", "--to", "--call", "--band", "--mode", "--entity", "--cont",
                                        "--iota", "--grid", "--cqz", "--ituz", "--qsl-rcvd", "--qsl-sent",
                                        "--qsl-via", "--operator", "--province", "--exchange", "--qsl-mode",
                                        "--xlsx", "--set"};
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--add"))
            continue;
        if (std::find_if(std::begin(known), std::end(known), [&](const char* k) { return a == QLatin1String(k); })
                == std::end(known) || i + 1 >= args.size()) {
            out() << "Opción no válida: " << a << "\nUso: orlanlog-cli " << kUsage << '\n';
            return 2;
        }
        ++i;
    }

    logbook::LogFilter f;
    if (!dateOption(args, "--from", &f.from) || !dateOption(args, "--to", &f.until))
        return 2;
    f.call = optionValue(args, "--call").toUpper();
    f.band = optionValue(args, "--band").toUpper();
    f.mode = optionValue(args, "--mode").toUpper();
    f.entity = optionValue(args, "--entity");
    f.continent = optionValue(args, "--cont").toUpper();
    f.iota = optionValue(args, "--iota").toUpper();
    f.locator = optionValue(args, "--grid").toUpper();
    f.cqZone = optionValue(args, "--cqz");
    f.ituZone = optionValue(args, "--ituz");
    f.qslReceived = optionValue(args, "--qsl-rcvd").toUpper();
    f.qslSent = optionValue(args, "--qsl-sent").toUpper();
    f.qslVia = optionValue(args, "--qsl-via").toUpper();
    f.operatorCall = optionValue(args, "--operator").toUpper();
    f.province = optionValue(args, "--province").toUpper();
    f.qslMode = optionValue(args, "--qsl-mode").toUpper();
    if (const QString e = optionValue(args, "--exchange"); !e.isEmpty()) {
        f.exchange = e.toInt();
        if (f.exchange < 1 || f.exchange > 3) {
            out() << "Valor no válido en --exchange: \"" << e << "\" (1 todos, 2 quieren QSL, 3 sin intercambio)\n";
            return 2;
        }
    }
    if (!f.qslReceived.isEmpty() && f.qslReceived != QLatin1String("SI") && f.qslReceived != QLatin1String("NO")) {
        out() << "Valor no válido en --qsl-rcvd: \"" << f.qslReceived << "\" (SI o NO)\n";
        return 2;
    }

    logbook::BlockChange change;
    for (int i = 0; i + 1 < args.size(); ++i) {
        if (args[i] != QLatin1String("--set"))
            continue;
        const QString assignment = args[++i];
        const int eq = int(assignment.indexOf(QLatin1Char('=')));
        QString error;
        if (eq <= 0) {
            out() << "Cambio no válido: \"" << assignment << "\" (CAMPO=VALOR)\n";
            return 2;
        }
        if (!logbook::setBlockChangeField(&change, assignment.left(eq), assignment.mid(eq + 1), &error)) {
            out() << error << '\n';
            return 2;
        }
    }

    if (!cli::openBookSession())
        return 1;
    // the dialog offers only the bands and modes of the tables
    if (const QString band = change.band.value_or(QString()).trimmed(); !band.isEmpty()) {
        change.band = tableCode(store::alias::kBand, QStringLiteral("CODBAN"), band);
        if (change.band->isEmpty()) {
            out() << "Banda desconocida: " << band << '\n';
            return 2;
        }
    }
    if (const QString mode = change.mode.value_or(QString()).trimmed(); !mode.isEmpty()) {
        change.mode = tableCode(store::alias::kModo, QStringLiteral("CODMOD"), mode);
        if (change.mode->isEmpty()) {
            out() << "Modo desconocido: " << mode << '\n';
            return 2;
        }
    }
    store::WorkArea* log = store::Workspace::instance().area(store::alias::kLog);
    ui::SilentMeter meter;
    const logbook::FilterResult r = logbook::LOGFIL(
        *log, f, &meter, args.contains(QStringLiteral("--add")) ? logbook::AddToPrevious::Yes : logbook::AddToPrevious::No);
    out() << logbook::selectionMessage(r.count).trimmed() << '\n';
    if (!r.selected)
        return 0;

    if (const QString path = optionValue(args, "--xlsx"); !path.isEmpty()) {
        const logbook::SheetResult s = logbook::exportSheet(path, *log, logbook::logColumns(), &meter);
        if (!s.written) {
            out() << s.error << '\n';
            return 1;
        }
        out() << s.rows << " registros enviados a " << path << '\n';
    }
    if (!logbook::isEmpty(change)) {
        const logbook::BlockChangeResult b = logbook::LOGCHGBLQ(*log, change, &meter);
        out() << b.changed << " registros modificados" << (b.skipped ? QStringLiteral(", %1 bloqueados").arg(b.skipped) : QString())
              << '\n';
        if (b.skipped)
            return 1;
    }
    return 0;
}

const cli::CommandRegistration r1({"select", kUsage, "selecciona QSOs del libro activo; hoja de cálculo y cambio en bloque",
                                   select});

} // namespace
