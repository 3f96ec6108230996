#include "work_area.h"

#include "codepage.h"
#include "expression.h"
#include "record_codec.h"
#include "workspace.h"

#include <cstring>
#include <ctime>

namespace store {

namespace {
class AreaContext : public ExprContext {
public:
    AreaContext(TableFile& t, quint32 rec, const QByteArray& buf) : m_t(t), m_rec(rec), m_buf(buf) {}
    Value field(int i) const override { return m_t.fieldValue(i, m_rec, m_buf.constData()); }
    quint32 recNo() const override { return m_rec; }
    bool deleted() const override { return m_buf.size() && m_buf[0] == '*'; }
private:
    TableFile& m_t;
    quint32 m_rec;
    const QByteArray& m_buf;
};

Status noField(const QString& name)
{
    return {StatusCode::NotFound, QStringLiteral("No existe el campo %1").arg(name)};
}
} // namespace

WorkArea::WorkArea(QString alias, std::shared_ptr<TableFile> table, bool readOnly)
    : m_alias(std::move(alias)), m_table(std::move(table)), m_readOnly(readOnly || m_table->readOnly())
{
    m_buf = blankRecord(m_table->header());
    if (m_table->tagCount() > 0) {
        m_order = 0;
        m_orderName = m_table->cdx()->tag(0)->name();
    }
}

WorkArea::~WorkArea()
{
    if (m_table) {
        flush();
        m_batch.reset();
        m_table->releaseAppends(this);
        m_table->unlockAll(this);
    }
}

Status WorkArea::close()
{
    Status s = flush();
    m_batch.reset();
    m_table->releaseAppends(this);
    m_table->unlockAll(this);
    return s;
}

int WorkArea::resolveField(const QString& name) const
{
    auto it = m_fieldByName.constFind(name);
    if (it != m_fieldByName.constEnd())
        return *it;
    const int i = m_table->header().fieldIndex(name.trimmed().toUpper().toLatin1());
    if (m_fieldByName.size() < 1000)
        m_fieldByName.insert(name, i);
    return i;
}

int WorkArea::fieldPos(const QString& name) const { return resolveField(name); }

// ---------------------------------------------------------------- order

CdxTag* WorkArea::orderTag() const
{
    if (m_order < 0 || !m_table->cdx())
        return nullptr;
    CdxFile* cdx = m_table->cdx();
    if (m_order < cdx->tagCount() && cdx->tag(m_order)->name() == m_orderName)
        return cdx->tag(m_order);
    const int i = cdx->tagIndex(m_orderName);   // tags were reloaded after a change elsewhere
    return i >= 0 ? cdx->tag(i) : nullptr;
}

QByteArray WorkArea::tagName(int i) const
{
    return m_table->cdx() && i >= 0 && i < m_table->tagCount() ? m_table->cdx()->tag(i)->name() : QByteArray();
}

QByteArray WorkArea::orderName() const { return m_order >= 0 ? m_orderName : QByteArray(); }

QByteArray WorkArea::orderKeyExpr() const
{
    CdxTag* t = orderTag();
    return t ? t->definition().keyExpr : QByteArray();
}

Status WorkArea::setOrder(const QString& tag)
{
    if (tag.trimmed().isEmpty())
        return setOrder(0);
    if (!m_table->cdx())
        return {StatusCode::NotFound, QStringLiteral("La tabla %1 no tiene índice").arg(m_alias)};
    const int i = m_table->cdx()->tagIndex(tag.toLatin1());
    if (i < 0)
        return {StatusCode::NotFound, QStringLiteral("No existe la etiqueta %1 en %2").arg(tag, m_alias)};
    return setOrder(i + 1);
}

Status WorkArea::setOrder(int n)
{
    if (Status s = flush(); !s)
        return s;
    if (n < 0 || n > m_table->tagCount())
        return {StatusCode::NotFound, QStringLiteral("No existe el orden %1 en %2").arg(n).arg(m_alias)};
    m_order = n - 1;
    m_orderName = n > 0 ? m_table->cdx()->tag(n - 1)->name() : QByteArray();
    m_cursor = CdxCursor();
    // the record stays current; its key in the new order is taken when moving
    if (!m_eof && orderTag()) {
        bool in = false;
        m_curKey = m_table->keyFor(orderTag(), m_rec, m_buf.constData(), &in);
    }
    return {};
}

Value WorkArea::orderKeyValue()
{
    CdxTag* t = orderTag();
    if (!t || m_eof || !t->usable())
        return {};
    AreaContext ctx(*m_table, m_rec, m_buf);
    return t->keyExpression()->eval(ctx);
}

void WorkArea::setScope(const Value& top, const Value& bottom)
{
    setScopeTop(top);
    setScopeBottom(bottom);
}

void WorkArea::setScopeTop(const Value& top)
{
    m_hasTop = !top.isNil();
    m_topValue = top;
    m_scopeKeyLen = -1;
}

void WorkArea::setScopeBottom(const Value& bottom)
{
    m_hasBottom = !bottom.isNil();
    m_bottomValue = bottom;
    m_scopeKeyLen = -1;
}

void WorkArea::clearScope()
{
    m_hasTop = m_hasBottom = false;
    m_topValue = m_bottomValue = Value();
    m_scopeKeyLen = -1;
}

bool WorkArea::inScope(const CdxTag* t, const char* key) const
{
    if (!t || (!m_hasTop && !m_hasBottom))
        return true;
    // a key depends on the tag only through its length and pad
    if (m_scopeKeyLen != t->keyLen() || m_scopePad != t->pad()) {
        if (m_hasTop)
            m_topKey = t->keyOf(m_topValue, &m_topSig);
        if (m_hasBottom)
            m_bottomKey = t->keyOf(m_bottomValue, &m_bottomSig);
        m_scopeKeyLen = t->keyLen();
        m_scopePad = t->pad();
    }
    if (m_hasTop && t->compare(key, m_topKey.constData(), m_topSig) < 0)
        return false;
    if (m_hasBottom && t->compare(key, m_bottomKey.constData(), m_bottomSig) > 0)
        return false;
    return true;
}

Status WorkArea::setFilter(const QString& expr)
{
    if (expr.trimmed().isEmpty()) {
        clearFilter();
        return {};
    }
    QString err;
    std::shared_ptr<Expression> e(Expression::compile(expr.toLatin1(), m_table->fieldInfos(), &err).release());
    if (!e)
        return {StatusCode::BadExpression, QStringLiteral("Filtro no válido: %1").arg(err)};
    m_filter = [e](WorkArea& a) {
        AreaContext ctx(*a.m_table, a.m_rec, a.m_buf);
        return e->eval(ctx).toBool();
    };
    return {};
}

void WorkArea::setFilter(std::function<bool(WorkArea&)> fn) { m_filter = std::move(fn); }
void WorkArea::clearFilter() { m_filter = nullptr; }

// ---------------------------------------------------------------- positioning

ReadWalk::ReadWalk(WorkArea& a) : m_table(a.m_table)
{
    m_table->walkStarted();
}

ReadWalk::~ReadWalk()
{
    m_table->walkEnded();
}

Status WorkArea::load(quint32 rec)
{
    if (m_buf.size() != m_table->header().recordLen)
        m_buf.resize(m_table->header().recordLen);
    if (Status s = m_table->readRecord(rec, m_buf.data()); !s) {
        setPhantom();
        return s;
    }
    m_rec = rec;
    m_eof = m_bof = false;
    return {};
}

void WorkArea::setPhantom()
{
    m_rec = m_table->recCount() + 1;
    m_buf = blankRecord(m_table->header());
    m_eof = true;
    m_cursor = CdxCursor();
    m_curKey.resize(0);
}

bool WorkArea::visible()
{
    if (Workspace::deletedHidden() && m_buf.size() && m_buf[0] == '*')
        return false;
    if (m_filter && !m_filter(*this))
        return false;
    return true;
}

// Makes the record of the entry under c current; key is the entry's key.
Status WorkArea::enter(const CdxCursor& c, const char* key, int keyLen, quint32 rec)
{
    if (Status s = load(rec); !s)
        return s;
    // copied into the buffer already there: a scan allocates nothing per record
    if (m_curKey.size() != keyLen)
        m_curKey.resize(keyLen);
    std::memcpy(m_curKey.data(), key, size_t(keyLen));
    m_cursor = c;
    return {};
}

// Walks in storage order from c until a visible record inside the scope.
Status WorkArea::settleForward(const Section& sec, CdxTag* t, CdxCursor c, bool storageNext)
{
    CdxFile* cdx = m_table->cdx();
    // A damaged sibling chain could loop; no sound tag has more entries than records.
    quint64 budget = quint64(m_table->recCount()) * 2 + 1000;
    const quint32 counter = cdx->counter(t);
    while (c.valid()) {
        if (budget-- == 0) {
            setPhantom();
            return {StatusCode::Corrupt, QStringLiteral("El índice de %1 está dañado: sus páginas forman un ciclo").arg(m_alias)};
        }
        const char* key = nullptr;
        quint32 rec = 0;
        if (Status s = cdx->entry(sec, t, c, &key, &rec); !s)
            return s;
        if (!inScope(t, key))
            break;
        if (rec > m_table->recCount())
            m_table->refreshCount();
        if (rec >= 1 && rec <= m_table->recCount()) {
            if (Status s = enter(c, key, t->keyLen(), rec); !s)
                return s;
            m_cursorCounter = counter;
            if (visible())
                return {};
        }
        if (Status s = storageNext ? cdx->next(sec, t, &c) : cdx->prev(sec, t, &c); !s)
            return s;
    }
    setPhantom();
    return {};
}

// Finds the current record's entry again after the tag changed.
Status WorkArea::relocate(const Section& sec, CdxTag* t, CdxCursor* c, bool* exact)
{
    CdxFile* cdx = m_table->cdx();
    if (m_cursor.valid() && m_cursorCounter == cdx->counter(t)) {
        *c = m_cursor;
        *exact = true;
        return {};
    }
    if (Status s = cdx->lowerBound(sec, t, m_curKey.constData(), t->keyLen(), m_rec, c); !s)
        return s;
    *exact = false;
    if (c->valid()) {
        const char* key = nullptr;
        quint32 rec = 0;
        if (Status s = cdx->entry(sec, t, *c, &key, &rec); !s)
            return s;
        *exact = rec == m_rec && m_curKey.size() == t->keyLen() && std::memcmp(key, m_curKey.constData(), size_t(t->keyLen())) == 0;
    }
    return {};
}

Status WorkArea::naturalTop(bool fromBottom)
{
    if (m_table->shared())
        m_table->refreshCount();
    const quint32 n = m_table->recCount();
    if (n == 0) {
        setPhantom();
        m_bof = true;
        return {};
    }
    quint32 rec = fromBottom ? n : 1;
    while (rec >= 1 && rec <= n) {
        if (Status s = load(rec); !s)
            return s;
        if (visible())
            return {};
        rec = fromBottom ? rec - 1 : rec + 1;
    }
    setPhantom();
    m_bof = true;
    return {};
}

Status WorkArea::orderedTop(const Section& sec, CdxTag* t, bool fromBottom)
{
    CdxFile* cdx = m_table->cdx();
    const bool logicalForward = !fromBottom;
    const bool storageNext = logicalForward != t->descending();
    CdxCursor c;
    // the storage end we start from: low end when walking up, high end when walking down
    if (storageNext) {
        if (m_hasTop) {
            int sig = 0;
            const QByteArray k = t->keyOf(m_topValue, &sig);
            if (Status s = cdx->lowerBound(sec, t, k.constData(), sig, 0, &c); !s)
                return s;
        } else if (Status s = cdx->first(sec, t, &c); !s) {
            return s;
        }
    } else {
        if (m_hasBottom) {
            int sig = 0;
            const QByteArray k = t->keyOf(m_bottomValue, &sig);
            if (Status s = cdx->upperBound(sec, t, k.constData(), sig, &c); !s)
                return s;
            if (Status s = c.valid() ? cdx->prev(sec, t, &c) : cdx->last(sec, t, &c); !s)
                return s;
        } else if (Status s = cdx->last(sec, t, &c); !s) {
            return s;
        }
    }
    return settleForward(sec, t, c, storageNext);
}

void WorkArea::savePosition()
{
    m_saved.rec = m_rec;
    m_saved.cursor = m_cursor;
    m_saved.counter = m_cursorCounter;
    m_saved.eof = m_eof;
    m_saved.bof = m_bof;
    m_saved.found = m_found;
    // copies into buffers kept from call to call, so that the record buffer
    // stays unshared and loading a record allocates nothing
    m_saved.buf.resize(m_buf.size());
    std::memcpy(m_saved.buf.data(), m_buf.constData(), size_t(m_buf.size()));
    m_saved.curKey.resize(m_curKey.size());
    std::memcpy(m_saved.curKey.data(), m_curKey.constData(), size_t(m_curKey.size()));
}

void WorkArea::restorePosition()
{
    m_rec = m_saved.rec;
    m_cursor = m_saved.cursor;
    m_cursorCounter = m_saved.counter;
    m_eof = m_saved.eof;
    m_bof = m_saved.bof;
    m_found = m_saved.found;
    m_buf.resize(m_saved.buf.size());
    std::memcpy(m_buf.data(), m_saved.buf.constData(), size_t(m_saved.buf.size()));
    m_curKey.resize(m_saved.curKey.size());
    std::memcpy(m_curKey.data(), m_saved.curKey.constData(), size_t(m_saved.curKey.size()));
}

// Runs body(section, tag) inside an index section on the controlling tag, or
// body(nullptr, nullptr) when the order is natural. (With an order whose tag
// is gone the tag is null.) A read that met a change made by another process
// meanwhile is run again from the same position.
template <class Body>
Status WorkArea::inIndex(Body&& body)
{
    if (m_order < 0 || !m_table->cdx())
        return body(static_cast<const Section*>(nullptr), static_cast<CdxTag*>(nullptr));
    for (int attempt = 0;; ++attempt) {
        savePosition();
        Status s;
        {
            Section sec(*m_table->cdx());
            s = sec ? body(&sec, orderTag()) : sec.status();
        }
        if (s.code() != StatusCode::Stale || attempt >= 100)
            return s;
        restorePosition();
    }
}

// goTop (or with fromBottom, goBottom) without flushing first.
Status WorkArea::moveToEnd(bool fromBottom)
{
    return inIndex([this, fromBottom](const Section* sec, CdxTag* t) {
        return t ? orderedTop(*sec, t, fromBottom) : naturalTop(fromBottom);
    });
}

Status WorkArea::goTop()
{
    if (Status s = flush(); !s)
        return s;
    m_found = false;
    Status s = moveToEnd(false);
    if (m_eof)
        m_bof = true;
    return s;
}

Status WorkArea::goBottom()
{
    if (Status s = flush(); !s)
        return s;
    m_found = false;
    Status s = moveToEnd(true);
    if (m_eof)
        m_bof = true;
    return s;
}

Status WorkArea::goTo(quint32 rec)
{
    if (Status s = flush(); !s)
        return s;
    m_found = false;
    if (m_table->shared() && rec > m_table->recCount())
        m_table->refreshCount();
    if (rec < 1 || rec > m_table->recCount()) {
        setPhantom();
        return {};
    }
    if (Status s = load(rec); !s)
        return s;
    m_cursor = CdxCursor();
    if (CdxTag* t = orderTag(); t && t->usable())
        m_curKey = m_table->keyFor(t, m_rec, m_buf.constData(), nullptr);
    return {};
}

Status WorkArea::naturalStep(bool forward)
{
    quint32 rec = m_rec;
    for (;;) {
        if (forward && rec >= m_table->recCount() && m_table->shared())
            m_table->refreshCount();          // someone may have appended
        if (forward ? rec >= m_table->recCount() : rec <= 1)
            break;
        rec = forward ? rec + 1 : rec - 1;
        if (Status s = load(rec); !s)
            return s;
        if (visible())
            return {};
    }
    if (forward) {
        setPhantom();
        return {};
    }
    if (Status s = naturalTop(false); !s)
        return s;
    m_bof = true;
    return {};
}

Status WorkArea::orderedStep(const Section& sec, CdxTag* t, bool forward)
{
    CdxFile* cdx = m_table->cdx();
    const bool storageNext = forward != t->descending();
    CdxCursor c;
    bool exact = false;
    if (Status s = relocate(sec, t, &c, &exact); !s)
        return s;
    if (exact) {
        // step off the current entry
        if (Status s = storageNext ? cdx->next(sec, t, &c) : cdx->prev(sec, t, &c); !s)
            return s;
    } else if (!storageNext) {
        // the entry is gone; lowerBound stopped just after where it was
        if (Status s = c.valid() ? cdx->prev(sec, t, &c) : cdx->last(sec, t, &c); !s)
            return s;
    }
    if (Status s = settleForward(sec, t, c, storageNext); !s)
        return s;
    if (m_eof && !forward) {
        // before the first record: stay on the first one with bof set
        if (Status s = orderedTop(sec, t, false); !s)
            return s;
        m_bof = true;
    }
    return {};
}

Status WorkArea::skip(int n)
{
    if (Status s = flush(); !s)
        return s;
    m_found = false;
    if (n == 0)
        return m_eof ? Status() : load(m_rec);
    const bool forward = n > 0;
    int steps = forward ? n : -n;
    if (m_eof) {
        if (forward)
            return {};
        // from the end, one step back is the last record
        Status s = moveToEnd(true);
        if (!s || m_eof)
            return s;
        --steps;
    }
    m_bof = false;
    while (steps-- > 0) {
        Status s = inIndex([this, forward](const Section* sec, CdxTag* t) {
            return t ? orderedStep(*sec, t, forward) : naturalStep(forward);
        });
        if (!s)
            return s;
        if (m_eof || m_bof)
            return {};
    }
    return {};
}

Status WorkArea::seek(const Value& key, bool soft, bool last)
{
    if (Status s = flush(); !s)
        return s;
    m_found = false;
    if (m_order < 0 || !m_table->cdx())
        return {StatusCode::Invalid, QStringLiteral("No hay orden activo en %1 para buscar").arg(m_alias)};
    return inIndex([&](const Section* sec, CdxTag* t) -> Status {
        if (!t)
            return {StatusCode::NotFound, QStringLiteral("La etiqueta %1 ya no existe").arg(QString::fromLatin1(m_orderName))};
        CdxFile* cdx = m_table->cdx();
        int sig = 0;
        const QByteArray k = t->keyOf(key, &sig);
        const bool fromHigh = last != t->descending();
        CdxCursor c;
        if (!fromHigh) {
            if (Status s = cdx->lowerBound(*sec, t, k.constData(), sig, 0, &c); !s)
                return s;
        } else {
            if (Status s = cdx->upperBound(*sec, t, k.constData(), sig, &c); !s)
                return s;
            if (Status s = c.valid() ? cdx->prev(*sec, t, &c) : cdx->last(*sec, t, &c); !s)
                return s;
        }
        if (Status s = settleForward(*sec, t, c, !fromHigh); !s)
            return s;
        if (!m_eof)
            m_found = t->compare(m_curKey.constData(), k.constData(), sig) == 0;
        if (!m_found && !soft)
            setPhantom();
        return {};
    });
}

quint32 WorkArea::recCount()
{
    if (m_table->shared())
        m_table->refreshCount();
    return m_table->recCount();
}

quint32 WorkArea::keyCount()
{
    if (Status s = flush(); !s)
        return 0;
    // Walk a copy of the position so the current record stays where it is.
    const quint32 rec = m_rec;
    const bool eof = m_eof, bof = m_bof, found = m_found;
    quint32 n = 0;
    ReadWalk walk(*this);
    for (goTop(); !m_eof; skip(1))
        ++n;
    if (eof)
        setPhantom();
    else
        goTo(rec);
    m_eof = eof;
    m_bof = bof;
    m_found = found;
    return n;
}

Status WorkArea::visibleRecords(std::vector<quint32>* out)
{
    out->clear();
    if (Status s = flush(); !s)
        return s;
    const quint32 rec = m_rec;
    const bool eof = m_eof;
    auto restore = [&] {
        if (eof)
            setPhantom();
        else
            load(rec);
    };
    CdxTag* t = orderTag();
    const bool deletedInTag = t && t->definition().forExpr.toUpper().contains("DELETED()");
    if (t && !m_filter && (deletedInTag || !Workspace::deletedHidden())) {
        // keys only: the index holds exactly the visible records
        Status s = inIndex([&](const Section* sec, CdxTag* tag) -> Status {
            out->clear();
            if (!tag)
                return {StatusCode::NotFound, QStringLiteral("La etiqueta ya no existe")};
            std::vector<std::pair<QByteArray, quint32>> keys;
            if (Status st = m_table->cdx()->scan(*sec, tag, &keys); !st)
                return st;
            out->reserve(keys.size());
            for (const auto& [key, r] : keys)
                if (inScope(tag, key.constData()))
                    out->push_back(r);
            if (tag->descending())
                std::reverse(out->begin(), out->end());
            return {};
        });
        return s;
    }
    if (!t && !m_filter) {
        // natural order: only the deletion bytes are needed
        if (m_table->shared())
            m_table->refreshCount();
        const quint32 n = m_table->recCount();
        out->reserve(n);
        if (!Workspace::deletedHidden()) {
            for (quint32 r = 1; r <= n; ++r)
                out->push_back(r);
            return {};
        }
        return m_table->forEachRecord(n, [out](quint32 rec, const char* record) {
            if (record[0] != '*')
                out->push_back(rec);
        });
    }
    for (goTop(); !m_eof; skip())
        out->push_back(m_rec);
    restore();
    return {};
}

quint32 WorkArea::keyNo()
{
    if (m_eof || flush().code() != StatusCode::Ok)
        return 0;
    const quint32 rec = m_rec;
    const bool bof = m_bof, found = m_found;
    quint32 n = 0;
    bool hit = false;
    for (goTop(); !m_eof; skip(1)) {
        ++n;
        if (m_rec == rec) {
            hit = true;
            break;
        }
    }
    goTo(rec);
    m_bof = bof;
    m_found = found;
    return hit ? n : 0;
}

// ---------------------------------------------------------------- fields

Value WorkArea::value(int i)
{
    if (i < 0 || i >= fieldCount())
        return {};
    return m_table->fieldValue(i, m_rec, m_buf.constData());
}

Value WorkArea::value(const QString& name) { return value(resolveField(name)); }

QString WorkArea::str(const QString& name)
{
    const int i = resolveField(name);
    if (i >= 0 && i < fieldCount() && field(i).type == 'C') {
        const DbfField& f = field(i);   // straight from the buffer: no Value in between
        return cp1252::toUnicode(m_buf.constData() + f.offset, f.len);
    }
    const Value v = value(i);
    return v.isChar() ? v.toString() : QString();
}

double WorkArea::num(const QString& name) { return value(name).toNumber(); }
QDate WorkArea::date(const QString& name) { return value(name).toDate(); }
bool WorkArea::logical(const QString& name) { return value(name).toBool(); }

QByteArray WorkArea::memo(const QString& name, bool* binary)
{
    const int i = resolveField(name);
    QByteArray data;
    if (i >= 0 && field(i).type == 'M')
        m_table->readMemo(field(i), m_buf.constData(), &data, binary);
    return data;
}

Status WorkArea::readMemo(const QString& name, QByteArray* data, bool* binary)
{
    data->clear();
    const int i = resolveField(name);
    if (i < 0 || field(i).type != 'M')
        return noField(name);
    return m_table->readMemo(field(i), m_buf.constData(), data, binary);
}

QString WorkArea::memoText(const QString& name)
{
    return cp1252::toUnicode(memo(name));
}

Status WorkArea::eval(const QString& expr, Value* out)
{
    QString err;
    auto e = Expression::compile(expr.toLatin1(), m_table->fieldInfos(), &err);
    if (!e)
        return {StatusCode::BadExpression, err};
    AreaContext ctx(*m_table, m_rec, m_buf);
    *out = e->eval(ctx);
    return {};
}

// ---------------------------------------------------------------- writing

Status WorkArea::writable()
{
    if (m_readOnly)
        return {StatusCode::ReadOnly, QStringLiteral("La tabla %1 está abierta solo para lectura").arg(m_alias)};
    if (m_eof)
        return {StatusCode::Invalid, QStringLiteral("No hay registro actual en %1").arg(m_alias)};
    if (m_table->shared() && !m_table->holdsRecord(this, m_rec))
        return {StatusCode::NotLocked, QStringLiteral("El registro %1 de %2 no está bloqueado").arg(m_rec).arg(m_alias)};
    return {};
}

Status WorkArea::put(int i, const Value& v)
{
    if (i < 0 || i >= fieldCount())
        return noField(QString::number(i + 1));
    if (Status s = writable(); !s)
        return s;
    const DbfField& f = field(i);
    if (!m_dirty)
        m_before = m_buf;
    if (f.type == 'M') {
        if (!v.isChar() && !v.isNil())
            return {StatusCode::Invalid, QStringLiteral("Tipo de dato no válido para el campo %1").arg(QString::fromLatin1(f.name))};
        Status s = m_table->writeMemo(f, m_buf.data(), v.bytes(), false);
        m_dirty = true;
        return s;
    }
    if (Status s = encodeField(f, v, m_buf.data()); !s)
        return s;
    m_dirty = true;
    return {};
}

Status WorkArea::put(const QString& name, const Value& v)
{
    const int i = resolveField(name);
    if (i < 0)
        return noField(name);
    return put(i, v);
}

Status WorkArea::putMemo(const QString& name, const QByteArray& data, bool binary)
{
    const int i = resolveField(name);
    if (i < 0 || field(i).type != 'M')
        return noField(name);
    if (Status s = writable(); !s)
        return s;
    if (!m_dirty)
        m_before = m_buf;
    Status s = m_table->writeMemo(field(i), m_buf.data(), data, binary);
    m_dirty = true;
    return s;
}

Status WorkArea::flush()
{
    if (!m_dirty)
        return {};
    m_dirty = false;
    const bool fresh = m_newRecord;
    m_newRecord = false;
    const bool onDisk = m_onDisk;
    m_onDisk = false;
    Status s = m_table->checkMaintainable();
    if (s && !onDisk)
        s = m_table->writeRecord(m_rec, m_buf.constData());
    if (s)
        s = m_table->updateKeys(m_rec, fresh ? nullptr : m_before.constData(), m_buf.constData());
    if (!s) {
        load(m_rec);
        return s;
    }
    m_cursor = CdxCursor();
    if (m_order >= 0 && m_table->cdx()) {
        if (CdxTag* t = orderTag(); t && t->usable())
            m_curKey = m_table->keyFor(t, m_rec, m_buf.constData(), nullptr);
    }
    return {};
}

Status WorkArea::commit() { return flush(); }

Status WorkArea::beginBatch()
{
    if (m_batch || !m_table->cdx() || m_readOnly)
        return {};
    // The append lock first, as a single append takes them: holding the index
    // while waiting for appends would deadlock with an append that waits for
    // the index. Without it there is no batch; the appends go one by one.
    if (!m_table->holdAppends(this))
        return {};
    m_batch = std::make_unique<CdxFile::WriteSection>(*m_table->cdx());
    if (!*m_batch) {
        Status s = m_batch->status();
        m_batch.reset();
        m_table->releaseAppends(this);
        return s;
    }
    return {};
}

Status WorkArea::endBatch()
{
    Status s = flush();
    // The index pages are written when the section ends, then the count, then
    // the mark that says the index is in step is cleared.
    if (m_table->cdx())
        m_table->cdx()->beforeSettled([t = m_table.get()] { return t->writePendingCount(); });
    m_batch.reset();
    if (s && m_table->cdx() && m_table->cdx()->interrupted())
        s = m_table->cdx()->interruptedError();
    const Status r = m_table->releaseAppends(this);
    return s ? r : s;
}

Status WorkArea::renewBatch()
{
    if (!m_batch)
        return beginBatch();
    Status s = endBatch();
    if (m_table->openElsewhere()) {
        // a waiting appender polls every millisecond; a blocked index reader is woken at once
        struct timespec ts {0, 3000000L};
        nanosleep(&ts, nullptr);
    }
    Status b = beginBatch();
    return s ? b : s;
}

Status WorkArea::append()
{
    return append(nullptr);
}

Status WorkArea::append(const std::function<Status(WorkArea&)>& fill)
{
    if (Status s = flush(); !s)
        return s;
    if (m_readOnly)
        return {StatusCode::ReadOnly, QStringLiteral("La tabla %1 está abierta solo para lectura").arg(m_alias)};
    if (Status s = m_table->checkMaintainable(); !s)
        return s;
    auto enterNew = [this](quint32 rec) {
        m_rec = rec;
        m_buf = blankRecord(m_table->header());
        m_before = m_buf;
        m_dirty = true;
        m_newRecord = true;
        m_eof = m_bof = false;
        m_found = false;
        m_cursor = CdxCursor();
    };
    quint32 rec = 0;
    if (!fill)
        return m_table->appendBlank(this, &rec, [&](quint32 r) { enterNew(r); return Status(); });
    // The record is filled before it is written, so it reaches the file once,
    // complete, ahead of the count.
    Status filled;
    bool written = false;
    Status s = m_table->appendRecord(
        this, &rec,
        [&](quint32 r) {
            enterNew(r);
            filled = fill(*this);
            m_onDisk = true;
            return m_buf.constData();
        },
        [&](quint32) {
            written = true;
            Status f = flush();
            return filled ? f : filled;
        });
    if (!s || (!written && m_onDisk)) {
        // the append was undone, or the record never reached the file: there is nothing to stand on
        m_dirty = m_newRecord = m_onDisk = false;
        setPhantom();
    }
    return s;
}

Status WorkArea::lockRecord()
{
    if (m_eof)
        return {StatusCode::Invalid, QStringLiteral("No hay registro actual en %1").arg(m_alias)};
    if (Status s = flush(); !s)
        return s;
    if (Status s = m_table->lockRecord(this, m_rec); !s)
        return s;
    // what another user wrote before we got the lock
    return load(m_rec);
}

Status WorkArea::lockRecord(quint32 rec)
{
    if (rec == m_rec)
        return lockRecord();
    return m_table->lockRecord(this, rec);
}

Status WorkArea::lockTable()
{
    if (Status s = flush(); !s)
        return s;
    if (Status s = m_table->lockTable(this); !s)
        return s;
    if (!m_eof)
        return load(m_rec);
    return {};
}

Status WorkArea::unlock()
{
    Status s = flush();
    m_table->unlockAll(this);
    return s;
}

bool WorkArea::isLocked() const { return !m_eof && m_table->holdsRecord(this, m_rec); }

Status WorkArea::deleteRecord() { return setDeleted(true); }
Status WorkArea::recall() { return setDeleted(false); }

Status WorkArea::setDeleted(bool deleted)
{
    if (Status s = writable(); !s)
        return s;
    if (!m_dirty)
        m_before = m_buf;
    m_buf[0] = deleted ? '*' : ' ';
    m_dirty = true;
    return flush();
}

// After the table was rewritten (pack, zap, reindex), from the top.
Status WorkArea::rewritten(Status done)
{
    if (!done)
        return done;
    return goTop();
}

Status WorkArea::pack()
{
    if (Status s = flush(); !s)
        return s;
    return rewritten(m_table->pack());
}

Status WorkArea::zap()
{
    if (Status s = flush(); !s)
        return s;
    return rewritten(m_table->zap());
}

// ---------------------------------------------------------------- tags

Status WorkArea::dropIndex()
{
    if (Status s = flush(); !s)
        return s;
    if (Status s = m_table->dropIndex(); !s)
        return s;
    m_order = -1;
    m_orderName.clear();
    m_cursor = CdxCursor();
    return {};
}

Status WorkArea::createTag(const TagSpec& def, const TableFile::Progress& progress)
{
    if (Status s = flush(); !s)
        return s;
    if (Status s = m_table->createTag(def, progress); !s)
        return s;
    // the new tag becomes the controlling order, as after INDEX ON
    if (Status s = setOrder(QString::fromLatin1(def.name)); !s)
        return s;
    return goTop();
}

Status WorkArea::deleteTag(const QString& name)
{
    if (Status s = flush(); !s)
        return s;
    const bool current = orderName().compare(name.toUpper().toLatin1()) == 0;
    if (Status s = m_table->deleteTag(name.toLatin1()); !s)
        return s;
    if (current)
        return setOrder(0);
    return {};
}

Status WorkArea::reindex()
{
    if (Status s = flush(); !s)
        return s;
    return rewritten(m_table->reindex());
}

Status WorkArea::keyAdd(const QString& tag) { return changeKey(tag, true); }
Status WorkArea::keyDel(const QString& tag) { return changeKey(tag, false); }

Status WorkArea::changeKey(const QString& tag, bool add)
{
    if (m_eof)
        return {StatusCode::Invalid, QStringLiteral("No hay registro actual en %1").arg(m_alias)};
    if (m_readOnly)
        return {StatusCode::ReadOnly, QStringLiteral("La tabla %1 está abierta solo para lectura").arg(m_alias)};
    if (Status s = flush(); !s)
        return s;
    CdxFile* cdx = m_table->cdx();
    if (!cdx)
        return {StatusCode::NotFound, QStringLiteral("La tabla %1 no tiene índice").arg(m_alias)};
    CdxFile::WriteSection sec(*cdx);
    if (!sec)
        return sec.status();
    const int i = tag.isEmpty() ? cdx->tagIndex(m_orderName) : cdx->tagIndex(tag.toLatin1());
    if (i < 0 || !cdx->tag(i)->usable())
        return {StatusCode::NotFound, QStringLiteral("No existe la etiqueta %1").arg(tag)};
    CdxTag* t = cdx->tag(i);
    if (add) {
        const QByteArray k = m_table->keyFor(t, m_rec, m_buf.constData(), nullptr);
        return cdx->insert(sec, t, k.constData(), m_rec);
    }
    // the key stored may differ from the record's present key: prefer the one we stand on
    const QByteArray k = (m_order == i && !m_curKey.isEmpty()) ? m_curKey
                                                              : m_table->keyFor(t, m_rec, m_buf.constData(), nullptr);
    return cdx->remove(sec, t, k.constData(), m_rec);
}

} // namespace store
