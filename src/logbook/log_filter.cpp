#include "log_filter.h"

#include "book_hooks.h"

#include "core/messages.h"
#include "store/aliases.h"
#include "store/qso_record.h"
#include "store/work_area.h"

#include <vector>

namespace logbook {

namespace {

using store::Value;
using store::WorkArea;

QString dateText(const QDate& d) { return d.toString(QStringLiteral("yyyyMMdd")); }

bool isSelectionTag(const QString& order) { return order.compare(kSelectionTag, Qt::CaseInsensitive) == 0; }

// The order a cursor of the book shows when nothing else was noted.
QString usualOrder(const WorkArea& log)
{
    return log.alias().compare(store::alias::kLogQsl, Qt::CaseInsensitive) == 0 ? QStringLiteral("Call")
                                                                                 : QStringLiteral("QsoDateTimeOn");
}

// Removes every key from the selection tag, standing on each so that the key
// stored is the one removed even when the QSO's date changed since it was added.
void emptySelection(WorkArea& log)
{
    const QString order = QString::fromLatin1(log.orderName());
    if (log.setOrder(kSelectionTag)) {
        const quint32 keys = log.keyCount();
        quint32 removed = 0;
        log.beginBatch();
        for (log.goTop(); !log.eof() && removed <= keys; log.goTop()) {
            if (store::Status s = log.keyDel(); !s) {
                ui::messages().stop(s.text());
                break;
            }
            if (++removed % 1000 == 0)
                log.renewBatch();
        }
        log.endBatch();
    }
    log.setOrder(order);
}

// The record numbers in the selection now.
std::vector<bool> selectedRecords(WorkArea& log)
{
    std::vector<quint32> recs;
    const QString order = QString::fromLatin1(log.orderName());
    if (log.setOrder(kSelectionTag))
        log.visibleRecords(&recs);
    log.setOrder(order);
    std::vector<bool> in(log.recCount() + 1, false);
    for (quint32 r : recs)
        if (r < in.size())
            in[r] = true;
    return in;
}

bool sameTrimmed(WorkArea& log, const char* field, const QString& wanted)
{
    return log.str(QString::fromLatin1(field)).trimmed() == wanted.trimmed();
}

// Limits log to the pass the first criterion given chooses.
void choosePass(WorkArea& log, const LogFilter& f)
{
    const QString entity = f.entity.trimmed();
    if (!entity.isEmpty()) {
        const QString code = entity.rightJustified(3);
        const QString top = code + (f.from.isValid() ? dateText(f.from) : QString());
        const QString bottom =
            code + (f.until.isValid() ? dateText(f.until) : f.from.isValid() ? dateText(f.from) : QString());
        log.setOrder(QStringLiteral("CodEnt"));
        log.setScope(Value::text(top), Value::text(bottom));
    } else if (f.from.isValid() || f.until.isValid()) {
        // date texts are prefixes of the keys: the end day is included whole
        log.setOrder(QStringLiteral("QsoDateTimeOn"));
        const Value until = Value::text(dateText(f.until.isValid() ? f.until : f.from));
        if (f.from.isValid())
            log.setScope(Value::text(dateText(f.from)), until);
        else
            log.setScopeBottom(until);
    } else if (!f.band.trimmed().isEmpty()) {
        const Value band = Value::text(f.band.trimmed().leftJustified(6));
        log.setOrder(QStringLiteral("Band"));
        log.setScope(band, band);
    } else if (!f.mode.trimmed().isEmpty()) {
        const Value mode = Value::text(f.mode.trimmed().leftJustified(6));
        log.setOrder(QStringLiteral("Mode"));
        log.setScope(mode, mode);
    } else {
        log.setOrder(1);
    }
}

} // namespace

FilterMemory& filterMemory()
{
    static FilterMemory memory;
    return memory;
}

QString returnOrder(const WorkArea& log)
{
    const QString noted = filterMemory().returnOrder.value(log.alias().toLower());
    return noted.isEmpty() || isSelectionTag(noted) ? usualOrder(log) : noted;
}

bool SELREC(WorkArea& log, const LogFilter& f)
{
    if (!f.continent.trimmed().isEmpty() && !sameTrimmed(log, "CONT", f.continent))
        return false;
    if (!f.operatorCall.trimmed().isEmpty() && !sameTrimmed(log, "OPERATOR", f.operatorCall))
        return false;
    if (!f.call.trimmed().isEmpty()
        && !log.str(QStringLiteral("CALL")).toUpper().contains(f.call.trimmed().toUpper()))
        return false;
    if (!f.iota.trimmed().isEmpty() && !sameTrimmed(log, "IOTA", f.iota))
        return false;
    // a typed zone stands right-aligned in its two characters
    if (!f.cqZone.trimmed().isEmpty() && log.str(QStringLiteral("CQZ")) != f.cqZone.trimmed().rightJustified(2))
        return false;
    if (!f.ituZone.trimmed().isEmpty() && log.str(QStringLiteral("ITUZ")) != f.ituZone.trimmed().rightJustified(2))
        return false;
    const QString received = f.qslReceived.trimmed().toUpper();
    if (received == QLatin1String("SI") && log.str(QStringLiteral("QSLRCVD")) != QLatin1String("Y"))
        return false;
    if (received == QLatin1String("NO") && log.str(QStringLiteral("QSLRCVD")) != QLatin1String("N"))
        return false;
    if (!f.qslSent.trimmed().isEmpty() && !sameTrimmed(log, "QSLSENT", f.qslSent))
        return false;
    if (!f.qslVia.trimmed().isEmpty()
        && log.str(QStringLiteral("QSLVIA")).trimmed().toUpper() != f.qslVia.trimmed().toUpper())
        return false;
    if (!f.province.trimmed().isEmpty() && !sameTrimmed(log, "CODPRV", f.province))
        return false;
    if (f.exchange == 2 && log.logical(QStringLiteral("NOQSL")))
        return false;
    if (f.exchange == 3 && !log.logical(QStringLiteral("NOQSL")))
        return false;
    if (!f.qslMode.trimmed().isEmpty() && !sameTrimmed(log, "QSLMODE", f.qslMode))
        return false;
    if (const QString loc = f.locator.trimmed().toUpper(); !loc.isEmpty()
        && log.str(QStringLiteral("GRIDSQUARE")).left(loc.size()).toUpper() != loc)
        return false;
    if (!f.band.trimmed().isEmpty() && !sameTrimmed(log, "BAND", f.band))
        return false;
    if (!f.mode.trimmed().isEmpty() && !sameTrimmed(log, "MODE", f.mode))
        return false;
    return true;
}

FilterStart beginFilter(WorkArea& log, AddToPrevious add)
{
    FilterStart start;
    start.record = log.eof() ? 0 : log.recNo();
    // a record filter of an advanced filter would hide QSOs from the pass
    log.clearFilter();
    const QString order = QString::fromLatin1(log.orderName());
    if (!isSelectionTag(order))
        filterMemory().returnOrder[log.alias().toLower()] = order;
    log.setOrder(kSelectionTag);
    if (selectionCount(log) > 0) {
        bool keep = add == AddToPrevious::Yes;
        if (add == AddToPrevious::Ask)
            keep = ui::messages().noYes(
                QStringLiteral("Desea que los registros de esta nueva selección se añadan a la consulta anterior?"));
        if (!keep)
            emptySelection(log);
    }
    return start;
}

void cancelFilter(WorkArea& log, const FilterStart& start)
{
    const QString noted = filterMemory().returnOrder.value(log.alias().toLower());
    if (noted.isEmpty() || isSelectionTag(noted)) {
        log.setOrder(usualOrder(log));
        log.goBottom();
        return;
    }
    log.setOrder(noted);
    if (start.record)
        log.goTo(start.record);
    else
        log.goTop();
}

FilterResult runFilter(WorkArea& log, const LogFilter& f, ui::Meter* meter)
{
    FilterResult result;
    filterMemory().criteria = f;
    const std::vector<bool> already = selectedRecords(log);

    // the pass reads only; the keys are added once it is over
    std::vector<quint32> found;
    choosePass(log, f);
    {
        store::ReadWalk walk(log);
        if (meter) {
            meter->setTitle(QStringLiteral("Filtrando registros"));
            meter->setTotal(log.keyCount());
        }
        qint64 read = 0;
        for (log.goTop(); !log.eof(); log.skip()) {
            if (meter && (++read & 255) == 0) {
                meter->setPosition(read);
                if (meter->cancelled()) {
                    result.cancelled = true;
                    break;
                }
            }
            const quint32 rec = log.recNo();
            if ((rec >= already.size() || !already[rec]) && store::isQso(log) && SELREC(log, f))
                found.push_back(rec);
        }
    }
    log.clearScope();
    log.setOrder(0);
    // the index's pages are written once a thousand keys, not at each key
    log.beginBatch();
    size_t added = 0;
    for (quint32 rec : found) {
        log.goTo(rec);
        if (store::Status s = log.keyAdd(kSelectionTag); !s) {
            ui::messages().stop(s.text());
            break;
        }
        if (++added % 1000 == 0)
            log.renewBatch();
    }
    log.endBatch();

    log.setOrder(kSelectionTag);
    log.goTop();
    result.count = selectionCount(log);
    if (result.count == 0) {
        ui::messages().alert(QStringLiteral("Ningún registro cumple la condicion de filtrado"), hooks().displayName);
        log.setOrder(1);
        log.goTop();
        return result;
    }
    result.selected = true;
    ui::messages().info(selectionMessage(result.count));
    return result;
}

FilterResult LOGFIL(WorkArea& log, const LogFilter& f, ui::Meter* meter, AddToPrevious add)
{
    beginFilter(log, add);
    return runFilter(log, f, meter);
}

bool applyAdvancedFilter(WorkArea& log, const QString& expression, const FilterStart& start)
{
    if (expression.trimmed().isEmpty()) {
        cancelFilter(log, start);
        return false;
    }
    log.setOrder(returnOrder(log));
    log.clearFilter();
    // it must compile and give a logical value on a QSO
    log.goTop();
    Value v;
    store::Status s;
    if (!log.eof() && (s = log.eval(expression, &v)) && !v.isLogical())
        s = {store::StatusCode::BadExpression, QString()};
    if (s)
        s = log.setFilter(expression);
    if (!s) {
        ui::messages().stop(QStringLiteral("Exprsión de filtro no válida"));
        log.goTop();
        return false;
    }
    log.goTop();
    return true;
}

void LOGRMVFIL(WorkArea& log)
{
    emptySelection(log);
    log.setOrder(returnOrder(log));
    log.clearFilter();
    log.goTop();
}

int selectionCount(WorkArea& log)
{
    const QString order = QString::fromLatin1(log.orderName());
    if (isSelectionTag(order))
        return int(log.keyCount());
    const quint32 rec = log.eof() ? 0 : log.recNo();
    int n = 0;
    if (log.setOrder(kSelectionTag))
        n = int(log.keyCount());
    log.setOrder(order);
    if (rec)
        log.goTo(rec);
    return n;
}

QString selectionMessage(int count)
{
    return QStringLiteral("%1 registros seleccionados").arg(count, 6);
}

} // namespace logbook
