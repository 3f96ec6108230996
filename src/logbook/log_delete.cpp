#include "log_delete.h"

#include "log_filter.h"

#include "core/messages.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

namespace logbook {

namespace {

store::Workspace& ws() { return store::Workspace::instance(); }

// The record lock of the access routines, waiting without a limit.
bool lockWaiting(store::WorkArea& a)
{
    store::WorkArea* selected = ws().current();
    ws().select(a.alias());
    const bool locked = store::RECLOCK(0);
    if (selected)
        ws().select(selected->alias());
    return locked;
}

// Deletes every record of the session table `alias` that belongs to the QSO key.
bool deleteOwned(const QString& alias, const QString& key)
{
    store::WorkArea* a = ws().area(alias);
    if (!a)
        return true;
    const QString order = QString::fromLatin1(a->orderName());
    const quint32 rec = a->eof() ? 0 : a->recNo();
    // every record of the QSO, whatever a page limited the area to (the
    // attachment pages show one kind at a time)
    a->clearScope();
    a->clearFilter();
    a->setOrder(QStringLiteral("Key"));
    bool ok = true;
    // each deletion leaves the tag, so the next seek finds the next one
    for (a->seek(store::Value::text(key)); ok && a->found() && a->str(QStringLiteral("KEY")) == key;
         a->seek(store::Value::text(key))) {
        if (!lockWaiting(*a)) {
            ok = false;
            break;
        }
        const store::Status s = a->deleteRecord();
        a->unlock();
        if (!s) {
            ui::messages().stop(s.text());
            ok = false;
        }
    }
    a->setOrder(order);
    if (rec)
        a->goTo(rec);
    return ok;
}

} // namespace

bool LOGDLT(store::WorkArea& log)
{
    if (log.eof())
        return false;
    const quint32 current = log.recNo();
    log.skip();
    const quint32 next = log.eof() ? 0 : log.recNo();
    log.goTo(current);

    if (!ui::messages().noYes(QStringLiteral("Registro va a ser eliminado\r\n¿ Está seguro ?"),
                              log.str(QStringLiteral("CALL")).trimmed()))
        return false;
    if (!lockWaiting(log))
        return false;
    // a QSO without a key owns nothing
    const QString key = log.str(QStringLiteral("KEY"));
    if (!key.trimmed().isEmpty()
        && (!deleteOwned(store::alias::kAttach, key) || !deleteOwned(store::alias::kDplLog, key))) {
        log.unlock();
        return false;
    }
    log.keyDel(kSelectionTag);
    const store::Status s = log.deleteRecord();
    log.unlock();
    if (!s) {
        ui::messages().stop(s.text());
        return false;
    }
    if (next)
        log.goTo(next);
    else
        log.goBottom();
    return true;
}

} // namespace logbook
