#include "transfer.h"

#include "book_selection.h"
#include "books.h"

#include "core/messages.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/qso_record.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <algorithm>

namespace logbook {

namespace {

store::Workspace& ws() { return store::Workspace::instance(); }

// The destination's tables, and cursors of the transfer's own on the current
// book's attachments and award references (the session's stay as they are).
const QString kLogTras = QStringLiteral("LogTras");
const QString kAttachTras = QStringLiteral("AttachTras");
const QString kDplTras = QStringLiteral("DplTras");
const QString kAttachFrom = QStringLiteral("AttachFrom");
const QString kDplFrom = QStringLiteral("DplFrom");

QString keyText(quint32 n) { return QStringLiteral("%1").arg(n, 7, 10, QLatin1Char('0')); }

// The number of the key of the last record of a QSO table, in record order; 0 when it has none.
quint32 lastKey(store::WorkArea& log)
{
    log.setOrder(0);
    log.goBottom();
    return log.eof() ? 0 : log.str(QStringLiteral("KEY")).trimmed().toUInt();
}

// Appends a copy of from's current record to `to`, every field by position,
// with key as its KEY; waits while another user is appending there.
store::Status copyRecord(store::WorkArea& from, store::WorkArea& to, const QString& key)
{
    const int fields = std::min(from.fieldCount(), to.fieldCount());
    auto fill = [&](store::WorkArea& w) -> store::Status {
        for (int i = 0; i < fields; ++i) {
            const store::DbfField& f = from.field(i);
            store::Status s;
            if (f.type == 'M' && w.field(i).type == 'M') {
                // memos keep their kind: an attached picture stays binary
                bool binary = false;
                const QByteArray data = from.memo(QString::fromLatin1(f.name), &binary);
                if (!data.isEmpty())
                    s = w.putMemo(QString::fromLatin1(w.field(i).name), data, binary);
            } else {
                s = w.put(i, from.value(i));
            }
            if (!s)
                return s;
        }
        return w.put(QStringLiteral("KEY"), key);
    };
    for (;;) {
        const store::Status s = to.append(fill);
        if (s.code() != store::StatusCode::Busy)
            return s;
        ui::messages().pause(500);
    }
}

// Copies every record of `from` (ordered by key) whose KEY is sourceKey into `to` under key.
store::Status copyOwned(store::WorkArea& from, store::WorkArea& to, const QString& sourceKey, const QString& key)
{
    const store::Value wanted = store::Value::text(sourceKey);
    from.seek(wanted);
    for (; !from.eof() && from.str(QStringLiteral("KEY")) == sourceKey; from.skip())
        if (store::Status s = copyRecord(from, to, key); !s)
            return s;
    return {};
}

bool inCatalogue(const QString& book)
{
    const std::vector<BookRow> books = listBooks();
    return std::any_of(books.begin(), books.end(), [&](const BookRow& r) { return r.name.compare(book, Qt::CaseInsensitive) == 0; });
}

} // namespace

bool TRASSELREC(store::WorkArea& log, const TransferCriteria& c)
{
    if (!c.mode.trimmed().isEmpty() && log.str(QStringLiteral("MODE")).trimmed() != c.mode.trimmed())
        return false;
    if (!c.band.trimmed().isEmpty() && log.str(QStringLiteral("BAND")).trimmed() != c.band.trimmed())
        return false;
    if (!c.operatorCall.trimmed().isEmpty() && log.str(QStringLiteral("OPERATOR")).trimmed() != c.operatorCall.trimmed())
        return false;
    // "NO" asks for the flag "N" itself: a QSO whose flag is empty has no answer either way
    auto flag = [&](const QString& wanted, const char* field) {
        const QString w = wanted.trimmed().toUpper();
        const QString v = log.str(QString::fromLatin1(field));
        if (w == QLatin1String("SI"))
            return v == QLatin1String("Y");
        if (w == QLatin1String("NO"))
            return v == QLatin1String("N");
        return true;
    };
    return flag(c.qslReceived, "QSLRCVD") && flag(c.qslSent, "QSLSENT");
}

bool TRASADDREC(store::WorkArea& log, store::WorkArea* attachments, store::WorkArea* awards, const TransferTarget& target,
                const QString& key)
{
    store::Status s = copyRecord(log, *target.log, key);
    // a QSO without a key owns no attachments and no award references
    const QString sourceKey = log.str(QStringLiteral("KEY"));
    if (s && !sourceKey.trimmed().isEmpty()) {
        if (attachments && target.attachments)
            s = copyOwned(*attachments, *target.attachments, sourceKey, key);
        if (s && awards && target.awards)
            s = copyOwned(*awards, *target.awards, sourceKey, key);
    }
    if (!s)
        ui::messages().stop(s.text());
    return s.isOk();
}

bool transferAllowed(const TransferCriteria& c)
{
    const QString destination = c.destination.trimmed();
    if (destination.isEmpty()) {
        ui::messages().stop(QStringLiteral("Ningún libro seleccionado\r\nno se traspasan registros"));
        return false;
    }
    const QString current = currentBook();
    if (current.isEmpty()) {
        ui::messages().stop(QStringLiteral("No hay libro de guardia activo"));
        return false;
    }
    if (destination.compare(current, Qt::CaseInsensitive) == 0) {
        ui::messages().stop(QStringLiteral("No se pueden traspasar datos sobre si mismo\r\nLibro actual en uso ") + current
                            + QStringLiteral("\r\nLibro seleccionado como destino ") + destination);
        return false;
    }
    if (!inCatalogue(destination)) {
        ui::messages().stop(QStringLiteral("No existe el libro de guardia ") + destination);
        return false;
    }
    return true;
}

TransferResult transferQsos(ui::Meter& meter, const TransferCriteria& c)
{
    TransferResult result;
    store::WorkArea* log = ws().area(store::alias::kLog);
    const QString current = currentBook();
    const QString destination = c.destination.trimmed();
    if (!log || destination.isEmpty() || destination.compare(current, Qt::CaseInsensitive) == 0)
        return result;
    const QString selected = ws().current() ? ws().current()->alias() : QString();

    // every table the copy writes or reads, or none: a QSO is never copied without its attachments
    const struct {
        QString file, alias;
    } tables[] = {{QStringLiteral("Log") + destination, kLogTras},
                  {QStringLiteral("Attach") + destination, kAttachTras},
                  {QStringLiteral("Dpl") + destination, kDplTras},
                  {QStringLiteral("Attach") + current, kAttachFrom},
                  {QStringLiteral("Dpl") + current, kDplFrom}};
    auto closeAll = [&] {
        for (const auto& t : tables)
            ws().close(t.alias);
        if (!selected.isEmpty())
            ws().select(selected);
    };
    for (const auto& t : tables)
        if (!store::NETUSE(t.file, true, 1, t.alias)) {
            closeAll();
            return result;
        }
    TransferTarget target{ws().area(kLogTras), ws().area(kAttachTras), ws().area(kDplTras)};
    store::WorkArea* attachFrom = ws().area(kAttachFrom);
    store::WorkArea* dplFrom = ws().area(kDplFrom);
    attachFrom->setOrder(QStringLiteral("Key"));
    dplFrom->setOrder(QStringLiteral("Key"));

    // Log's order and position, given back at the end
    const int order = log->order();
    const bool wasEof = log->eof();
    const quint32 rec = log->recNo();
    if (c.from.isValid() || c.until.isValid()) {
        // the date texts are prefixes of the keys: both end days are included whole
        log->setOrder(QStringLiteral("QsoDateTimeOn"));
        const store::Value until = store::Value::text((c.until.isValid() ? c.until : c.from).toString(QStringLiteral("yyyyMMdd")));
        if (c.from.isValid())
            log->setScope(store::Value::text(c.from.toString(QStringLiteral("yyyyMMdd"))), until);
        else
            log->setScopeBottom(until);
    }

    result.ran = true;
    meter.setTitle(QStringLiteral("Traspasando datos..."));
    meter.setTotal(log->keyCount());
    quint32 next = lastKey(*target.log) + 1;
    qint64 position = 0;
    for (log->goTop(); !log->eof(); log->skip()) {
        meter.setPosition(++position);
        meter.setText(log->str(QStringLiteral("CALL")).trimmed());
        if (meter.cancelled()) {
            result.cancelled = true;
            break;
        }
        if (!store::isQso(*log) || !TRASSELREC(*log, c))
            continue;
        if (!TRASADDREC(*log, attachFrom, dplFrom, target, keyText(next))) {
            result.complete = false;
            break;
        }
        ++next;
        ++result.copied;
    }

    closeAll();
    log->clearScope();
    log->setOrder(order);
    if (wasEof)
        log->goTo(0);
    else
        log->goTo(rec);
    return result;
}

QString transferMessage(int copied) { return QStringLiteral("Se han traspasado %1 registros").arg(copied); }

} // namespace logbook
