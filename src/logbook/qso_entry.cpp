#include "qso_entry.h"

#include "refdata/bands.h"
#include "refdata/resolve.h"

#include "core/messages.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QHash>

namespace logbook {

namespace {

namespace alias = store::alias;
using store::Value;

store::Workspace& ws() { return store::Workspace::instance(); }

QString fieldText(store::WorkArea* a, const char* field)
{
    return a && !a->eof() ? a->str(QString::fromLatin1(field)).trimmed() : QString();
}

bool noEntity(const QString& code) { return code.trimmed().isEmpty() || code.trimmed() == QLatin1String("0"); }

} // namespace

QString timeText(const QTime& t) { return t.toString(QStringLiteral("HH:mm")); }

EntrySettings sessionSettings(bool realTime)
{
    EntrySettings s;
    s.realTime = realTime;
    if (store::WorkArea* cfg = ws().area(alias::kCfg); cfg && !cfg->eof()) {
        s.autoAdd = cfg->logical(QStringLiteral("AUTOADD"));
        s.knownNotes = cfg->logical(QStringLiteral("KNOW"));
        s.stationLocator = cfg->str(QStringLiteral("QRA")).trimmed();
    }
    s.defaultOperator = fieldText(ws().area(alias::kLibros), "OPRDEF");
    return s;
}

const QHash<QString, QString>& defaultReports()
{
    static const QHash<QString, QString> map = [] {
        QHash<QString, QString> m;
        store::WorkArea* modo = ws().area(alias::kModo);
        if (!modo)
            return m;
        const quint32 rec = modo->recNo();
        const bool eof = modo->eof();
        for (modo->goTop(); !modo->eof(); modo->skip())
            m.insert(modo->str(QStringLiteral("CODMOD")).trimmed(), modo->str(QStringLiteral("RSTDEF")).trimmed());
        if (!eof)
            modo->goTo(rec);
        return m;
    }();
    return map;
}

QsoEntry::QsoEntry(store::WorkArea* area, EntrySettings settings)
    : m_area(area), m_buffer(std::make_unique<store::RecordBuffer>(area)), m_settings(std::move(settings))
{
}

QsoEntry::~QsoEntry() = default;

QString QsoEntry::text(const char* field) const
{
    const Value v = m_buffer->get(QString::fromLatin1(field));
    if (v.isNumber())
        return QString::number(v.toNumber(), 'f', 3);
    return v.toString().trimmed();
}

void QsoEntry::setText(const char* field, const QString& value) { m_buffer->set(QString::fromLatin1(field), Value::text(value)); }

void QsoEntry::prepareNew(bool fromSpot, const QDateTime& nowUtc)
{
    m_new = true;
    m_fromSpot = fromSpot;
    if (store::WorkArea* ent = ws().area(alias::kEnt))
        ent->goTop();

    // what the last QSO of the book says
    const QString order = QString::fromLatin1(m_area->orderName());
    m_area->setOrder(0);
    m_area->goBottom();
    const bool any = !m_area->eof();
    QString op = fieldText(m_area, "OPERATOR");
    QString qra = fieldText(m_area, "QRA");
    QDate date = any ? m_area->date(QStringLiteral("QSODATE")) : QDate();
    QString time = fieldText(m_area, "TIMEON");
    const Value mode = any ? m_area->value(QStringLiteral("MODE")) : Value();
    const Value band = any ? m_area->value(QStringLiteral("BAND")) : Value();
    const Value freq = any ? m_area->value(QStringLiteral("FREQ")) : Value();
    const QString key = m_area->alias().compare(alias::kLog, Qt::CaseInsensitive) == 0 ? store::KEYGEN() : QString();
    m_area->setOrder(order);   // the last QSO stays the current record
    m_buffer->blank();

    if (op.isEmpty())
        op = m_settings.defaultOperator;
    if (qra.isEmpty())
        qra = m_settings.stationLocator;
    if (m_settings.realTime || !date.isValid()) {
        date = nowUtc.date();
        time = timeText(nowUtc.time());
    }
    m_buffer->set(QStringLiteral("QSODATE"), Value::date(date));
    setText("TIMEON", time);
    setText("QSLSENT", QStringLiteral("N"));
    setText("QSLRCVD", QStringLiteral("N"));
    setText("OPERATOR", op);
    setText("QRA", qra);
    if (any) {
        m_buffer->set(QStringLiteral("MODE"), mode);
        m_buffer->set(QStringLiteral("BAND"), band);
        m_buffer->set(QStringLiteral("FREQ"), freq);
    }
    setText("KEY", key);

    if (fromSpot) {
        if (store::WorkArea* spots = ws().area(alias::kSpots); spots && !spots->eof()) {
            for (const char* f : {"CALL", "FREQ", "BAND", "MODE"})
                if (spots->fieldPos(QString::fromLatin1(f)) >= 0)
                    m_buffer->set(QString::fromLatin1(f), spots->value(QString::fromLatin1(f)));
            // Log2 is limited to the spot's call before the look-up, so the
            // earlier QSOs of that call are found whatever the last limit was
            const QString call = text("CALL");
            callTyped(call);
            knownData();
        }
    }
    applyDefaultRst();
}

void QsoEntry::prepareEdit()
{
    m_new = false;
    m_fromSpot = false;
    m_buffer->load();
    const QString call = m_area->str(QStringLiteral("CALL"));
    if (store::WorkArea* log2 = ws().area(alias::kLog2)) {
        log2->setFilter(std::function<bool(store::WorkArea&)>());
        log2->setScope(Value::text(call), Value::text(call));
        log2->goTop();
    }
    if (store::WorkArea* ent = ws().area(alias::kEnt)) {
        ent->setOrder(QStringLiteral("CodEnt"));
        ent->seek(m_buffer->get(QStringLiteral("CODENT")));
    }
}

void QsoEntry::callTyped(const QString& typed)
{
    const QString call = typed.trimmed().toUpper();
    setText("CALL", call);
    if (store::WorkArea* log2 = ws().area(alias::kLog2)) {
        log2->setFilter(std::function<bool(store::WorkArea&)>());
        log2->setScope(Value::text(call), Value::text(call));
        log2->goTop();
    }
    // An edited QSO keeps its entity while its call is only added to ("/P").
    // A new QSO always derives: the record the area stands on is the last QSO,
    // whose call says nothing of this one (K1ABC/KH6 typed after a QSO with K1
    // would otherwise keep the entity of "K").
    const QString stored = fieldText(m_area, "CALL");
    if (!m_new && !stored.isEmpty() && call.startsWith(stored))
        return;
    deriveEntity(call);
}

void QsoEntry::deriveEntity(const QString& call)
{
    setText("PFX", refdata::PFX(call));
    const QString code = refdata::DXCC(call, m_buffer->get(QStringLiteral("QSODATE")).toDate());
    setText("CODENT", code);
    takeEntityFields(true);
}

void QsoEntry::takeEntityFields(bool fromPrefixToo)
{
    const QString code = m_buffer->get(QStringLiteral("CODENT")).toString();
    store::WorkArea* ent = ws().area(alias::kEnt);
    if (noEntity(code) || !ent || ent->eof() || ent->str(QStringLiteral("CODENT")) != code) {
        for (const char* f : {"CONT", "DXCC", "CQZ", "ITUZ", "IOTA"})
            setText(f, QString());
        return;
    }
    QString cqz = ent->str(QStringLiteral("CQZ"));
    QString ituz = ent->str(QStringLiteral("ITUZ"));
    if (fromPrefixToo) {
        // the zones of the longest prefix of the call that the prefix table
        // gives this entity, when that prefix has them
        if (store::WorkArea* pfx = ws().area(alias::kPfx)) {
            const QString call = text("CALL");
            for (qsizetype n = call.size(); n > 0; --n) {
                pfx->seek(Value::text(call.left(n)));
                bool hit = false;
                for (; pfx->found() && !pfx->eof() && pfx->str(QStringLiteral("PFX")).trimmed() == call.left(n); pfx->skip())
                    if (pfx->str(QStringLiteral("CODENT")) == code) {
                        hit = true;
                        break;
                    }
                if (!hit)
                    continue;
                if (!pfx->str(QStringLiteral("CQZ")).trimmed().isEmpty())
                    cqz = pfx->str(QStringLiteral("CQZ"));
                if (!pfx->str(QStringLiteral("ITUZ")).trimmed().isEmpty())
                    ituz = pfx->str(QStringLiteral("ITUZ"));
                break;
            }
        }
    }
    setText("CONT", ent->str(QStringLiteral("CONT")));
    setText("DXCC", ent->str(QStringLiteral("DXCC")));
    setText("CQZ", cqz);
    setText("ITUZ", ituz);
    setText("IOTA", ent->str(QStringLiteral("IOTA")));
}

QString QsoEntry::callLeft(const QDateTime& nowUtc)
{
    if (!m_new)
        return {};
    if (m_settings.realTime)
        setText("TIMEON", timeText(nowUtc.time()));
    return knownData();
}

QString QsoEntry::knownData()
{
    const QString call = text("CALL");
    if (call.isEmpty())
        return {};
    if (store::WorkArea* log2 = ws().area(alias::kLog2)) {
        log2->seek(Value::text(call.leftJustified(12)));
        if (log2->found())
            for (const char* f : {"PFX", "CODENT", "DXCC", "NAME", "CQZ", "ITUZ", "IOTA", "CNTY", "GRIDSQUARE", "QSLVIA", "JCC",
                                  "JCG", "CODPRV"})
                m_buffer->set(QString::fromLatin1(f), log2->value(QString::fromLatin1(f)));
    }
    if (!m_settings.knownNotes)
        return {};
    store::WorkArea* know = ws().area(alias::kKnow);
    if (!know)
        return {};
    know->seek(Value::text(call));
    if (!know->found() || know->str(QStringLiteral("CALL")).trimmed() != call)
        return {};
    return QString(20, QLatin1Char(' ')) + QStringLiteral("*** ") + call + QStringLiteral("   ")
           + know->str(QStringLiteral("NOTA")) + QStringLiteral("***");
}

void QsoEntry::frequencyLeft()
{
    const double mhz = m_buffer->get(QStringLiteral("FREQ")).toNumber();
    if (mhz > 0)
        setText("BAND", refdata::BAND(mhz));
}

void QsoEntry::modeChanged()
{
    if (m_new)
        applyDefaultRst();
}

void QsoEntry::applyDefaultRst()
{
    const auto& map = defaultReports();
    auto it = map.find(text("MODE"));
    if (it == map.end() || it->isEmpty())
        return;
    setText("RSTRCVD", *it);
    setText("RSTSENT", *it);
}

void QsoEntry::entityChosen(const QString& code)
{
    setText("CODENT", code);
    if (store::WorkArea* ent = ws().area(alias::kEnt)) {
        ent->setOrder(QStringLiteral("CodEnt"));
        ent->seek(Value::text(code));
    }
    takeEntityFields(false);
}

void QsoEntry::subdivisionPicked(const QString& province)
{
    if (text("CODPRV").isEmpty())
        setText("CODPRV", province);
}

QsoEntry::Saved QsoEntry::save(const QDateTime& nowUtc)
{
    if (text("CALL").isEmpty())
        return Saved::NothingToWrite;
    if (!m_new && !m_buffer->modified())
        return Saved::NothingToWrite;
    m_buffer->set(QStringLiteral("EXPORT"), Value::logical(true));
    if (!m_new)
        return store::saveBuffer(*m_buffer, false) ? Saved::Written : Saved::Refused;

    setText("TIMEOFF", timeText(nowUtc.time()));
    QString key = text("KEY");
    const bool ok = store::ADDQSO(&key, 0, [this](store::WorkArea& w) -> store::Status {
        for (int i = 0; i < m_buffer->count(); ++i) {
            if (w.field(i).name == "KEY" || m_buffer->at(i).isNil())
                continue;
            if (store::Status s = w.put(i, m_buffer->at(i)); !s)
                return s;
        }
        return {};
    });
    if (!ok)
        return Saved::Refused;
    setText("KEY", key);
    m_area->unlock();
    return Saved::Written;
}

} // namespace logbook
