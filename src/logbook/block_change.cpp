#include "block_change.h"

#include "log_filter.h"

#include "core/messages.h"
#include "store/access.h"
#include "store/qso_record.h"
#include "store/value.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <utility>
#include <vector>

namespace logbook {

namespace {

using store::Value;

// One field of the dialog: its table name and the member that holds it.
struct Field {
    const char* name;
    std::optional<QString> BlockChange::*text = nullptr;
    std::optional<QDate> BlockChange::*date = nullptr;
    std::optional<double> BlockChange::*number = nullptr;
    std::optional<bool> BlockChange::*logical = nullptr;
    const char* codes = nullptr;   // the codes a state list offers, when it is one
    int rightWidth = 0;            // codes stored right-aligned in this width
};

const std::vector<Field>& fields()
{
    using B = BlockChange;
    static const std::vector<Field> f = {
        {"OPERATOR", &B::operatorCall},
        {"QRA", &B::qra},
        {"QSODATE", nullptr, &B::qsoDate},
        {"TIMEON", &B::timeOn},
        {"FREQ", nullptr, nullptr, &B::freq},
        {"BAND", &B::band},
        {"MODE", &B::mode},
        {"CALL", &B::call},
        {"RSTSENT", &B::rstSent},
        {"RSTRCVD", &B::rstReceived},
        {"QSLVIA", &B::qslVia},
        {"GRIDSQUARE", &B::grid},
        {"NAME", &B::name},
        {"QTH", &B::qth},
        {"IOTA", &B::iota},
        {"LP", nullptr, nullptr, nullptr, &B::longPath},
        {"CODENT", &B::entity, nullptr, nullptr, nullptr, nullptr, 3},
        {"CODPRV", &B::province},
        {"CNTY", &B::subdivision},
        {"PROPMODE", &B::propagation},
        {"SATNAME", &B::satellite},
        {"COMMENT", &B::comment},
        {"NOQSL", nullptr, nullptr, nullptr, &B::noQsl},
        {"QSLRCVD", &B::qslReceived, nullptr, nullptr, nullptr, "YN"},
        {"QSLRDATE", nullptr, &B::qslReceivedDate},
        {"QSLSENT", &B::qslSent, nullptr, nullptr, nullptr, "YNQRI"},
        {"QSLSDATE", nullptr, &B::qslSentDate},
        {"QSLMODE", &B::qslMode, nullptr, nullptr, nullptr, "BDEM"},
        {"NQSLTX", nullptr, nullptr, &B::qslSentCount},
        {"EQSLRCVD", &B::eqslReceived, nullptr, nullptr, nullptr, "YN"},
        {"EQSLSENT", &B::eqslSent, nullptr, nullptr, nullptr, "YN"},
        {"LOTWRCVD", &B::lotwReceived, nullptr, nullptr, nullptr, "YN"},
        {"LOTWSENT", &B::lotwSent, nullptr, nullptr, nullptr, "YN"},
        {"LOTWRDATE", nullptr, &B::lotwReceivedDate},
        {"LOTWSDATE", nullptr, &B::lotwSentDate},
        {"CQZ", &B::cqZone, nullptr, nullptr, nullptr, nullptr, 2},
        {"ITUZ", &B::ituZone, nullptr, nullptr, nullptr, nullptr, 2},
        {"JCC", &B::jcc},
        {"JCG", &B::jcg},
        {"CONTESTID", &B::contest},
    };
    return f;
}

// The values that are written: the non-empty ones, by field name.
std::vector<std::pair<QString, Value>> valuesOf(const BlockChange& c)
{
    std::vector<std::pair<QString, Value>> out;
    for (const Field& f : fields()) {
        const QString name = QString::fromLatin1(f.name);
        if (f.text && (c.*f.text) && !(c.*f.text)->trimmed().isEmpty()) {
            const QString t = *(c.*f.text);
            out.emplace_back(name, Value::text(f.rightWidth ? t.trimmed().rightJustified(f.rightWidth) : t));
        } else if (f.date && (c.*f.date) && (c.*f.date)->isValid()) {
            out.emplace_back(name, Value::date(*(c.*f.date)));
        } else if (f.number && (c.*f.number) && *(c.*f.number) != 0) {
            out.emplace_back(name, Value::number(*(c.*f.number)));
        } else if (f.logical && (c.*f.logical) && *(c.*f.logical)) {
            out.emplace_back(name, Value::logical(true));
        }
    }
    return out;
}

bool recordLock(store::WorkArea& log)
{
    store::Workspace& ws = store::Workspace::instance();
    store::WorkArea* selected = ws.current();
    ws.select(log.alias());
    const bool locked = store::RECLOCK(1);
    if (selected)
        ws.select(selected->alias());
    return locked;
}

} // namespace

QStringList blockChangeFields()
{
    QStringList out;
    for (const Field& f : fields())
        out << QString::fromLatin1(f.name);
    return out;
}

bool setBlockChangeField(BlockChange* change, const QString& field, const QString& text, QString* error)
{
    const QString name = field.trimmed().toUpper();
    for (const Field& f : fields()) {
        if (name != QLatin1String(f.name))
            continue;
        const QString t = text.trimmed();
        if (f.text) {
            if (f.codes && !t.isEmpty() && (t.size() != 1 || !QString::fromLatin1(f.codes).contains(t.toUpper()))) {
                *error = QStringLiteral("Valor no válido para %1: \"%2\" (valores: %3)")
                             .arg(name, t, QString::fromLatin1(f.codes).split(QString(), Qt::SkipEmptyParts).join(QLatin1Char(',')));
                return false;
            }
            // codes and calls are typed in upper case in the dialog
            static const QStringList upper = {"OPERATOR", "QRA", "BAND", "MODE", "CALL", "QSLVIA", "GRIDSQUARE", "IOTA",
                                              "CODPRV"};
            change->*f.text = f.codes || upper.contains(name) ? t.toUpper() : text;
        } else if (f.date) {
            const QDate d = QDate::fromString(t, QStringLiteral("yyyyMMdd"));
            if (!t.isEmpty() && !d.isValid()) {
                *error = QStringLiteral("Fecha no válida para %1: \"%2\" (AAAAMMDD)").arg(name, t);
                return false;
            }
            change->*f.date = d;
        } else if (f.number) {
            bool ok = true;
            const double n = t.isEmpty() ? 0 : t.toDouble(&ok);
            if (!ok) {
                *error = QStringLiteral("Número no válido para %1: \"%2\"").arg(name, t);
                return false;
            }
            change->*f.number = n;
        } else {
            const QString u = t.toUpper();
            const bool yes = u == QLatin1String("S") || u == QLatin1String("SI") || u == QLatin1String("Y") || u == QLatin1String("T");
            const bool no = u.isEmpty() || u == QLatin1String("N") || u == QLatin1String("NO") || u == QLatin1String("F");
            if (!yes && !no) {
                *error = QStringLiteral("Valor no válido para %1: \"%2\" (SI o NO)").arg(name, t);
                return false;
            }
            change->*f.logical = yes;
        }
        return true;
    }
    *error = QStringLiteral("Campo desconocido en el cambio en bloque: \"%1\" (campos: %2)")
                 .arg(field.trimmed(), blockChangeFields().join(QStringLiteral(", ")));
    return false;
}

bool isEmpty(const BlockChange& change) { return valuesOf(change).empty(); }

BlockChangeResult LOGCHGBLQ(store::WorkArea& log, const BlockChange& change, ui::Meter* meter)
{
    BlockChangeResult result;
    const auto values = valuesOf(change);
    if (values.empty())
        return result;
    std::vector<quint32> recs;
    log.visibleRecords(&recs);
    const QString order = QString::fromLatin1(log.orderName());
    const quint32 current = log.eof() ? 0 : log.recNo();

    // the selection tag's key is the QSO's date and time: a QSO whose date or
    // time changes leaves it under the old key and enters it under the new one
    const bool rekey = (change.qsoDate && change.qsoDate->isValid()) || (change.timeOn && !change.timeOn->trimmed().isEmpty());
    std::vector<bool> selected;
    if (rekey) {
        std::vector<quint32> inTag;
        if (log.setOrder(kSelectionTag))
            log.visibleRecords(&inTag);
        selected.assign(log.recCount() + 1, false);
        for (quint32 r : inTag)
            if (r < selected.size())
                selected[r] = true;
    }

    log.setOrder(0);
    if (meter) {
        meter->setTitle(QStringLiteral("Modificación en bloque de los registros filtrados."));
        meter->setTotal(qint64(recs.size()));
    }
    qint64 done = 0;
    for (quint32 rec : recs) {
        if (meter) {
            meter->setPosition(++done);
            if (meter->cancelled()) {
                result.cancelled = true;
                break;
            }
        }
        log.goTo(rec);
        if (log.eof() || !store::isQso(log))
            continue;
        if (!recordLock(log)) {
            ++result.skipped;
            continue;
        }
        const bool inSelection = rekey && rec < selected.size() && selected[rec];
        if (inSelection)
            log.keyDel(kSelectionTag);
        store::Status s;
        for (const auto& [name, value] : values)
            if (s = log.put(name, value); !s)
                break;
        if (s)
            s = log.unlock();
        else
            log.unlock();
        if (inSelection)
            log.keyAdd(kSelectionTag);
        if (!s) {
            ui::messages().stop(s.text());
            break;
        }
        ++result.changed;
    }
    log.setOrder(order);
    if (current)
        log.goTo(current);
    else
        log.goTop();
    return result;
}

} // namespace logbook
