#include "books.h"

#include "book_hooks.h"
#include "book_name.h"
#include "book_selection.h"

#include "core/messages.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

namespace logbook {

namespace {

store::Workspace& ws() { return store::Workspace::instance(); }

const QString kNotSaved = QStringLiteral("No pudieron grabarse las modificaciones");

// A value longer than its field would be cut short in the catalogue (and a
// name cut short would no longer name the book's files): it is refused.
bool fits(store::WorkArea* books, const char* field, const QString& value, const char* what)
{
    const int pos = books->fieldPos(QString::fromLatin1(field));
    if (pos < 0 || value.size() <= books->field(pos).len)
        return true;
    ui::messages().stop(QStringLiteral("%1 no puede tener más de %2 caracteres").arg(QString::fromUtf8(what)).arg(books->field(pos).len));
    return false;
}

// Erases the tables of a book whose creation could not be completed.
void dropTables(const QString& book)
{
    const QString dir = ws().dataDir();
    for (const char* table : {"Log", "Attach", "Dpl"})
        store::DBDROP(dir + QString::fromLatin1(table) + book);
}

store::Status appendWaiting(store::WorkArea* books)
{
    for (;;) {
        const store::Status s = books->append();
        if (s.code() != store::StatusCode::Busy)
            return s;
        ui::messages().pause(500);
    }
}

bool editBook(store::WorkArea* books, const QString& description, const QString& oper)
{
    if (books->eof())
        return false;
    store::Status s = books->lockRecord();
    if (s)
        s = books->put(QStringLiteral("DESCRI"), description);
    if (s)
        s = books->put(QStringLiteral("OPRDEF"), oper);
    const bool locked = books->isLocked();
    if (locked) {
        const store::Status u = books->unlock();
        if (s)
            s = u;
    }
    if (!s) {
        ui::messages().stop(kNotSaved);
        return false;
    }
    // the session's cursor on the current book reads the record again (its default operator, say)
    if (store::WorkArea* current = ws().area(store::alias::kLibros); current && !current->eof())
        current->goTo(current->recNo());
    return true;
}

} // namespace

bool saveBook(const BookFields& fields, bool isNew, NewBook after)
{
    store::WorkArea* books = ws().area(store::alias::kLibBrw);
    if (!books)
        return false;
    const QString description = fields.description.trimmed();
    const QString oper = fields.defaultOperator.trimmed().toUpper();
    if (!fits(books, "DESCRI", description, "La descripción") || !fits(books, "OPRDEF", oper, "El operador por defecto"))
        return false;
    if (!isNew)
        return editBook(books, description, oper);

    const QString name = bookName(fields.name);
    if (!CHKNOM(name) || !fits(books, "NOMBRE", name, "El nombre del libro"))
        return false;
    // CRTLOG closes the current book's tables: the windows that read them go first
    const QString previous = currentBook();
    const bool makeCurrent = after == NewBook::MakeCurrent;
    if (makeCurrent && hooks().closeBookWindows)
        hooks().closeBookWindows();
    auto giveBack = [&] {
        dropTables(name);
        if (makeCurrent) {
            if (!previous.isEmpty())
                detail::openBook(previous);
            if (hooks().reopenWindows)
                hooks().reopenWindows();
        }
    };
    if (!store::CRTLOG(name)) {
        giveBack();
        return false;
    }
    ws().select(store::alias::kLibBrw);
    store::Status s = appendWaiting(books);
    if (s) {
        books->put(QStringLiteral("NOMBRE"), name);
        books->put(QStringLiteral("DESCRI"), description);
        books->put(QStringLiteral("OPRDEF"), oper);
        // a session that is opening takes the first book marked
        books->put(QStringLiteral("ACTIVO"), !makeCurrent);
        s = books->unlock();
    }
    if (!s) {
        ui::messages().stop(kNotSaved);
        giveBack();
        return false;
    }
    if (!makeCurrent)
        return true;
    return detail::selectBook(previous, true, {});
}

Deletion deleteBook(bool ask)
{
    store::WorkArea* books = ws().area(store::alias::kLibBrw);
    if (!books || books->eof())
        return Deletion::NoBook;
    const QString name = books->str(QStringLiteral("NOMBRE")).trimmed();
    const QString description = books->str(QStringLiteral("DESCRI")).trimmed();
    if (ask
        && !ui::messages().noYes(QStringLiteral("Se va a eliminar el libro de guardia ") + name + QStringLiteral("\r\n") + description
                                 + QStringLiteral("\r\nEsta seguro")))
        return Deletion::Declined;
    if (!books->lockRecord())
        return Deletion::Locked;
    // the tables of the book the session reads must close before their files go
    const bool current = books->logical(QStringLiteral("ACTIVO")) || name.compare(currentBook(), Qt::CaseInsensitive) == 0;
    store::DLTLOG(name, current);
    return Deletion::Deleted;
}

bool findBook(const QString& name)
{
    store::WorkArea* books = ws().area(store::alias::kLibBrw);
    if (!books)
        return false;
    const QString wanted = name.trimmed();
    const quint32 before = books->eof() ? 0 : books->recNo();
    for (books->goTop(); !books->eof(); books->skip())
        if (books->str(QStringLiteral("NOMBRE")).trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return true;
    if (before)
        books->goTo(before);
    return false;
}

std::vector<BookRow> listBooks()
{
    std::vector<BookRow> rows;
    store::Workspace w;
    w.setDataDir(ws().dataDir());
    store::WorkArea* books = nullptr;
    if (!w.use(QStringLiteral("libros"), {.alias = QStringLiteral("books"), .readOnly = true}, &books))
        return rows;
    for (books->goTop(); !books->eof(); books->skip()) {
        BookRow r;
        r.name = books->str(QStringLiteral("NOMBRE")).trimmed();
        r.description = books->str(QStringLiteral("DESCRI")).trimmed();
        r.defaultOperator = books->str(QStringLiteral("OPRDEF")).trimmed();
        r.current = books->logical(QStringLiteral("ACTIVO"));
        store::WorkArea* log = nullptr;
        if (w.use(QStringLiteral("Log") + r.name, {.alias = QStringLiteral("log"), .readOnly = true}, &log)) {
            r.records = log->recCount();
            w.close(QStringLiteral("log"));
        }
        rows.push_back(r);
    }
    return rows;
}

} // namespace logbook
