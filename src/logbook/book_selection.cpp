#include "book_selection.h"

#include "book_hooks.h"

#include "store/access.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QFileInfo>

namespace logbook {

namespace {

store::Workspace& ws() { return store::Workspace::instance(); }

// The catalogue under the alias whose pointer stands on the current book.
store::WorkArea* catalogue()
{
    if (store::WorkArea* a = ws().area(store::alias::kLibros))
        return a;
    const QString current = ws().current() ? ws().current()->alias() : QString();
    if (!store::NETUSE(QStringLiteral("libros"), true, 1, store::alias::kLibros))
        return nullptr;
    if (!current.isEmpty())
        ws().select(current);
    return ws().area(store::alias::kLibros);
}

// ACTIVO off on every record that has it, then on for rec; each under the
// record's lock, waiting as long as it takes.
void markActive(store::WorkArea* books, quint32 rec)
{
    ws().select(books->alias());
    for (books->goTop(); !books->eof(); books->skip()) {
        if (books->recNo() == rec || !books->logical(QStringLiteral("ACTIVO")))
            continue;
        if (store::RECLOCK()) {
            books->put(QStringLiteral("ACTIVO"), false);
            books->unlock();
        }
    }
    books->goTo(rec);
    if (!books->logical(QStringLiteral("ACTIVO")) && store::RECLOCK()) {
        books->put(QStringLiteral("ACTIVO"), true);
        books->unlock();
    }
}

// The record of the book of that name in the catalogue; 0 when there is none.
quint32 recordOf(store::WorkArea* books, const QString& name)
{
    for (books->goTop(); !books->eof(); books->skip())
        if (books->str(QStringLiteral("NOMBRE")).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return books->recNo();
    return 0;
}

void bookChanged(const QString& name)
{
    if (hooks().bookChanged)
        hooks().bookChanged(name);
}

void reopenWindows()
{
    if (hooks().reopenWindows)
        hooks().reopenWindows();
}

} // namespace

QString currentBook()
{
    store::WorkArea* log = ws().area(store::alias::kLog);
    if (!log)
        return {};
    QString file = QFileInfo(log->table().path()).fileName();
    if (file.endsWith(QStringLiteral(".dbf"), Qt::CaseInsensitive))
        file.chop(4);
    if (file.startsWith(QStringLiteral("log"), Qt::CaseInsensitive))
        file.remove(0, 3);
    return file.trimmed();
}

namespace detail {

bool openBook(const QString& book)
{
    using namespace store::alias;
    for (const QString& a : {kLog, kLog2, kAttach, kDplLog, kLogQsl, kLogSpool})
        ws().close(a);
    const QString log = QStringLiteral("Log") + book;
    if (!store::NETUSE(log, true, 1, kLog))
        return false;
    ws().area(kLog)->goTop();
    auto open = [](const QString& file, const QString& alias, const QString& order) {
        if (!store::NETUSE(file, true, 1, alias))
            return;
        store::WorkArea* a = ws().area(alias);
        if (!order.isEmpty())
            a->setOrder(order);
        a->goTop();
    };
    open(log, kLog2, QStringLiteral("call"));
    open(log, kLogQsl, QStringLiteral("call"));
    open(log, kLogSpool, QStringLiteral("PrnQsl"));
    open(QStringLiteral("Attach") + book, kAttach, QString());
    open(QStringLiteral("Dpl") + book, kDplLog, QString());
    ws().select(kLog);
    return true;
}

bool selectBook(const QString& previous, bool windowsClosed, const std::function<void()>& refresh)
{
    store::WorkArea* chosen = ws().area(store::alias::kLibBrw);
    if (!chosen || chosen->eof())
        return false;
    const quint32 rec = chosen->recNo();
    const QString name = chosen->str(QStringLiteral("NOMBRE")).trimmed();
    store::WorkArea* books = catalogue();
    if (!books)
        return false;
    books->goTo(rec);
    if (books->logical(QStringLiteral("ACTIVO")) && currentBook().compare(name, Qt::CaseInsensitive) == 0)
        return true;   // already current: nothing closes, nothing reopens

    markActive(books, rec);
    bookChanged(name);
    if (refresh)
        refresh();
    if (!windowsClosed && hooks().closeBookWindows)
        hooks().closeBookWindows();
    if (openBook(name)) {
        reopenWindows();
        return true;
    }
    // the chosen book cannot be read: the one that was current stays so
    if (const quint32 before = previous.isEmpty() ? 0 : recordOf(books, previous)) {
        markActive(books, before);
        openBook(previous);
        bookChanged(previous);
    } else {
        books->goTo(rec);
    }
    if (refresh)
        refresh();
    reopenWindows();
    return false;
}

} // namespace detail

bool LIBSELLOG(const std::function<void()>& refresh) { return detail::selectBook(currentBook(), false, refresh); }

} // namespace logbook
