// The log books: books, create-book, use-book, delete-book, transfer.
#include "commands.h"

#include "app/tappl.h"
#include "logbook/book_name.h"
#include "logbook/book_selection.h"
#include "logbook/books.h"
#include "logbook/transfer.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "core/messages.h"

#include <QDate>

namespace {

using app::TAppl;
using cli::optionValue;
using cli::out;
using cli::tableCode;

store::Workspace& ws() { return store::Workspace::instance(); }

// The catalogue of books under the log-book window's alias, without opening a
// book: a home whose books are all gone can still get one.
bool openCatalogue()
{
    if (ws().area(store::alias::kLibBrw))
        return true;
    if (store::NETUSE(QStringLiteral("libros"), true, 1, store::alias::kLibBrw))
        return true;
    out() << "No se pudo abrir el catálogo de libros de guardia: " << store::lastOpenFailure() << '\n';
    return false;
}

void sayCurrent()
{
    const QString book = logbook::currentBook();
    if (!book.isEmpty())
        out() << "Libro de guardia activo: " << book << '\n';
}

int books(const QStringList&, TAppl&)
{
    const std::vector<logbook::BookRow> rows = logbook::listBooks();
    if (rows.empty()) {
        out() << "No hay libros de guardia\n";
        return 1;
    }
    out() << QStringLiteral("  %1 %2 %3 %4\n")
                 .arg(QStringLiteral("Nombre"), -20)
                 .arg(QStringLiteral("Registros"), 9)
                 .arg(QStringLiteral("Operador"), -12)
                 .arg(QStringLiteral("Descripción"));
    for (const logbook::BookRow& r : rows)
        out() << (r.current ? "* " : "  ") << QStringLiteral("%1 %2 %3 %4\n")
                                                  .arg(r.name, -20)
                                                  .arg(r.records < 0 ? QStringLiteral("?") : QString::number(r.records), 9)
                                                  .arg(r.defaultOperator, -12)
                                                  .arg(r.description);
    return 0;
}

int createBook(const QStringList& args, TAppl&)
{
    const QString name = cli::fileArgument(args, {QStringLiteral("--descr"), QStringLiteral("--operator")});
    if (name.trimmed().isEmpty()) {
        out() << "Falta el nombre: orlanlog-cli create-book NOMBRE [--descr TEXTO] [--operator INDICATIVO]\n";
        return 2;
    }
    if (!openCatalogue())
        return 1;
    const logbook::BookFields fields{name, optionValue(args, "--descr"), optionValue(args, "--operator")};
    if (!logbook::saveBook(fields, true)) {
        out() << "No se ha creado el libro de guardia " << logbook::bookName(name) << '\n';
        return 1;
    }
    out() << "Creado el libro de guardia " << logbook::bookName(name) << '\n';
    sayCurrent();
    return 0;
}

// The book named on the command line, with the session open and the catalogue
// on it; 0, or the exit status after saying what is wrong.
int namedBook(const QStringList& args, const char* command, QString* name)
{
    *name = cli::fileArgument(args, {});
    if (name->trimmed().isEmpty()) {
        out() << "Falta el nombre: orlanlog-cli " << command << " NOMBRE\n";
        return 2;
    }
    if (!cli::openBookSession())
        return 1;
    if (!logbook::findBook(*name)) {
        out() << "No existe el libro de guardia " << name->trimmed() << '\n';
        return 1;
    }
    return 0;
}

int useBook(const QStringList& args, TAppl&)
{
    // the session as it stands, so that a book already current stays as it is
    QString name;
    if (const int rc = namedBook(args, "use-book", &name))
        return rc;
    if (!logbook::LIBSELLOG()) {
        out() << "No se ha podido abrir el libro de guardia " << name.trimmed() << '\n';
        return 1;
    }
    sayCurrent();
    return 0;
}

int deleteBook(const QStringList& args, TAppl&)
{
    // the session, so that deleting the current book closes its tables first
    // and opening it again makes another book current
    QString name;
    if (const int rc = namedBook(args, "delete-book", &name))
        return rc;
    if (logbook::listBooks().size() < 2) {
        out() << "No se puede eliminar el único libro de guardia: cree otro antes\n";
        return 1;
    }
    store::hooks().reopenSession = [] { store::ABREDBF(); };
    // the command is the confirmation: no question
    const logbook::Deletion d = logbook::deleteBook(false);
    store::hooks().reopenSession = nullptr;
    if (d == logbook::Deletion::Locked) {
        out() << "El libro de guardia " << name.trimmed() << " está bloqueado por otro usuario: no se ha eliminado\n";
        return 1;
    }
    if (d != logbook::Deletion::Deleted) {
        out() << "No se ha eliminado el libro de guardia " << name.trimmed() << '\n';
        return 1;
    }
    out() << "Eliminado el libro de guardia " << name.trimmed().toUpper() << '\n';
    sayCurrent();
    return 0;
}

int transfer(const QStringList& args, TAppl&)
{
    const QString usage = QStringLiteral(
        "orlanlog-cli transfer --to LIBRO [--from AAAAMMDD] [--until AAAAMMDD] [--band BANDA] [--mode MODO] "
        "[--operator INDICATIVO] [--qsl-rcvd SI|NO] [--qsl-sent SI|NO]");
    logbook::TransferCriteria c;
    c.destination = optionValue(args, "--to").trimmed().toUpper();
    if (c.destination.isEmpty()) {
        out() << "Falta el libro de destino: " << usage << '\n';
        return 2;
    }
    const QString from = optionValue(args, "--from"), until = optionValue(args, "--until");
    c.from = QDate::fromString(from, QStringLiteral("yyyyMMdd"));
    c.until = QDate::fromString(until, QStringLiteral("yyyyMMdd"));
    if ((!from.isEmpty() && !c.from.isValid()) || (!until.isEmpty() && !c.until.isValid())) {
        out() << "Fecha no válida: use AAAAMMDD\n";
        return 2;
    }
    c.qslReceived = optionValue(args, "--qsl-rcvd").trimmed().toUpper();
    c.qslSent = optionValue(args, "--qsl-sent").trimmed().toUpper();
    for (const QString& flag : {c.qslReceived, c.qslSent})
        if (!flag.isEmpty() && flag != QLatin1String("SI") && flag != QLatin1String("NO")) {
            out() << "Valor no válido para la QSL: " << flag << " (SI o NO)\n";
            return 2;
        }
    c.operatorCall = optionValue(args, "--operator").trimmed().toUpper();
    QString book;
    if (!cli::openBookSession(&book))
        return 1;
    const QString band = optionValue(args, "--band"), mode = optionValue(args, "--mode");
    if (!band.isEmpty() && (c.band = tableCode(store::alias::kBand, QStringLiteral("CODBAN"), band)).isEmpty()) {
        out() << "Banda desconocida: " << band << '\n';
        return 2;
    }
    if (!mode.isEmpty() && (c.mode = tableCode(store::alias::kModo, QStringLiteral("CODMOD"), mode)).isEmpty()) {
        out() << "Modo desconocido: " << mode << '\n';
        return 2;
    }
    ui::SilentMeter meter;
    const logbook::TransferResult r = logbook::transferAllowed(c) ? logbook::transferQsos(meter, c) : logbook::TransferResult();
    if (!r.ran) {
        out() << "No se ha traspasado ningún registro\n";
        return 1;
    }
    out() << logbook::transferMessage(r.copied) << '\n';
    if (!r.complete) {
        out() << "El traspaso se detuvo por un error: el resto de los registros no se ha traspasado\n";
        return 1;
    }
    return 0;
}

const cli::CommandRegistration r1({"books", "books", "lista los libros de guardia (* el activo)", books});
const cli::CommandRegistration r2({"create-book", "create-book NOMBRE [--descr TEXTO] [--operator INDICATIVO]",
                                   "crea un libro de guardia y lo hace activo", createBook});
const cli::CommandRegistration r3({"use-book", "use-book NOMBRE", "hace activo un libro de guardia", useBook});
const cli::CommandRegistration r4({"delete-book", "delete-book NOMBRE", "elimina un libro de guardia y sus tablas", deleteBook});
const cli::CommandRegistration r5({"transfer", "transfer --to LIBRO [--from AAAAMMDD] [--until AAAAMMDD] [...]",
                                   "copia QSOs del libro activo a otro libro", transfer});

} // namespace
