// ADIF import and export of the active log book: import-adif, export-adif.
#include "commands.h"

#include "app/tappl.h"
#include "interchange/adif_export.h"
#include "interchange/adif_import.h"
#include "store/access.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/messages.h"

#include <QDate>
#include <QFileInfo>

namespace {

using cli::out;

class SilentMeter : public ui::Meter {
public:
    void setTotal(qint64) override {}
    void setPosition(qint64) override {}
    void setText(const QString&) override {}
    void setTitle(const QString&) override {}
    bool cancelled() override { return false; }
};

QString option(const QStringList& args, const char* name)
{
    const int i = int(args.indexOf(QLatin1String(name)));
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
}

// The first argument that is neither an option nor an option's value.
QString fileArgument(const QStringList& args, const QStringList& withValue)
{
    for (int i = 0; i < args.size(); ++i) {
        if (withValue.contains(args[i])) {
            ++i;
            continue;
        }
        if (!args[i].startsWith(QLatin1String("--")))
            return args[i];
    }
    return {};
}

bool openSession(QString* book)
{
    if (!store::ABREDBF(nullptr, book) || !store::Workspace::instance().area(QStringLiteral("Log"))) {
        out() << "No hay libro de guardia activo\n";
        return false;
    }
    return true;
}

int importAdif(const QStringList& args, TAppl& appl)
{
    const QString file = fileArgument(args, {QStringLiteral("--operator"), QStringLiteral("--locator")});
    if (file.isEmpty()) {
        out() << "Falta el fichero: orlanlog-cli import-adif FICHERO [--dupcheck] [--operator INDICATIVO] [--locator LOCATOR]\n";
        return 2;
    }
    QString book;
    if (!openSession(&book))
        return 1;
    store::Workspace& ws = store::Workspace::instance();
    interchange::AdifImportOptions opt;
    opt.path = QFileInfo(file).absoluteFilePath();
    opt.appl = appl.cAppl;
    opt.dupCheck = args.contains(QStringLiteral("--dupcheck"));
    // The dialog's defaults: the book's operator (or its name) and the locator of the last QSO.
    if (store::WorkArea* books = ws.area(QStringLiteral("LibBrw"))) {
        opt.defaultOperator = books->str(QStringLiteral("OPRDEF")).trimmed();
        opt.operatorCall = opt.defaultOperator.isEmpty() ? books->str(QStringLiteral("NOMBRE")).trimmed().toUpper()
                                                         : opt.defaultOperator.toUpper();
    }
    store::WorkArea* log = ws.area(QStringLiteral("Log"));
    log->goBottom();
    opt.locator = log->eof() ? QString() : log->str(QStringLiteral("QRA")).trimmed();
    if (const QString o = option(args, "--operator"); !o.isEmpty())
        opt.operatorCall = o.trimmed().toUpper();
    if (const QString l = option(args, "--locator"); !l.isEmpty())
        opt.locator = l.trimmed().toUpper();
    SilentMeter meter;
    const interchange::AdifImportResult r = interchange::ADIFIMP(meter, opt);
    if (!r.ok)
        return 1;
    out() << r.message << '\n';
    return 0;
}

int exportAdif(const QStringList& args, TAppl& appl)
{
    const QString file = fileArgument(args, {QStringLiteral("--from"), QStringLiteral("--to")});
    if (file.isEmpty()) {
        out() << "Falta el fichero: orlanlog-cli export-adif FICHERO [--from AAAAMMDD --to AAAAMMDD]\n";
        return 2;
    }
    interchange::AdifSelection sel;
    const QString from = option(args, "--from"), to = option(args, "--to");
    sel.from = QDate::fromString(from, QStringLiteral("yyyyMMdd"));
    sel.to = QDate::fromString(to, QStringLiteral("yyyyMMdd"));
    if ((!from.isEmpty() && !sel.from.isValid()) || (!to.isEmpty() && !sel.to.isValid())) {
        out() << "Fecha no válida: use AAAAMMDD\n";
        return 2;
    }
    QString book;
    if (!openSession(&book))
        return 1;
    const interchange::AdifExportResult r =
        interchange::ADIFEXP(QFileInfo(file).absoluteFilePath(), sel, {appl.cName, appl.cVer, appl.cAppl});
    if (!r.ok)
        return 1;
    out() << "Exportacion completa\n" << r.exported << " QSOs\n";
    return 0;
}

const cli::CommandRegistration r1({"import-adif", "import-adif FICHERO [--dupcheck] [--operator INDICATIVO] [--locator LOCATOR]",
                                   "importa un fichero ADIF en el libro activo", importAdif});
const cli::CommandRegistration r2({"export-adif", "export-adif FICHERO [--from AAAAMMDD --to AAAAMMDD]",
                                   "exporta el libro activo a un fichero ADIF", exportAdif});

} // namespace
