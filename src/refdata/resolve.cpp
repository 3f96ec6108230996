#include "resolve.h"

#include "session_areas.h"

#include "store/access.h"
#include "store/codepage.h"
#include "store/workspace.h"

#include <QHash>

#include <cstring>
#include <vector>

namespace refdata {

using detail::fieldBytes;
using detail::padded;
using detail::sessionArea;
using detail::trimmedBlanks;
using store::Value;
using store::WorkArea;

namespace {

const QByteArray kNoEntity = "  0";
const QString kEntAlias = QStringLiteral("ENT");
const QString kPfxAlias = QStringLiteral("Pfx");

qint64 julian(const QDate& d) { return d.isValid() ? d.toJulianDay() : 0; }

QString text(const QByteArray& b) { return store::cp1252::toUnicode(b); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The parts of a call the resolution tries: the short part of a portable call
// (unless it is a portable designator) and the home part.
struct CallParts {
    QByteArray shortPart;
    QByteArray home;
    bool tryShort = false;
};

CallParts splitCall(const QByteArray& call)
{
    CallParts p;
    p.home = call;
    const qsizetype slash = call.indexOf('/');
    if (slash < 0)
        return p;
    const QByteArray left = call.left(slash), right = call.mid(slash + 1);
    if (left.size() == right.size()) {
        p.shortPart = p.home = left;
    } else if (left.size() < right.size()) {
        p.shortPart = left;
        p.home = right;
    } else {
        p.shortPart = right;
        p.home = left;
    }
    p.tryShort = !isPortableDesignator(p.shortPart);
    return p;
}

// Whether the entity record under ENT counts at the date (end of file: blank
// dates, so it counts).
struct EntFields {
    int codent = -1, falta = -1, fbaja = -1;
    EntFields() = default;
    explicit EntFields(WorkArea* ent)
        : codent(ent->fieldPos(QStringLiteral("CODENT"))), falta(ent->fieldPos(QStringLiteral("FALTA"))),
          fbaja(ent->fieldPos(QStringLiteral("FBAJA")))
    {
    }
    bool validAt(WorkArea* ent, qint64 date) const
    {
        if (ent->eof())
            return true;
        const qint64 from = falta >= 0 ? ent->value(falta).julianDay() : 0;
        const qint64 to = fbaja >= 0 ? ent->value(fbaja).julianDay() : 0;
        return !(date < from || (to != 0 && date > to));
    }
};

// ------------------------------------------------------------------ image

// What identifies the state of a table the image was built from: the work
// area and the table's change stamp (its record count and the change counter
// of every index tag). Any write that changes a key raises a counter, in this
// process or in another one.
struct Stamp {
    const WorkArea* area = nullptr;
    store::TableFile::ChangeStamp table;

    // Reads the state of the table under a (lock-free when nothing changed).
    static bool read(WorkArea* a, Stamp* s)
    {
        if (!a->table().hasIndex())
            return false;
        s->area = a;
        return a->table().changeStamp(&s->table).isOk();
    }
    // Whether the table under a is still in the state read. Changes made in
    // this process show at once in the counters kept in memory; with
    // otherProcesses the files are looked at too (lock-free unless the index
    // changed), which shows the changes made anywhere else.
    bool current(WorkArea* a, bool otherProcesses) const
    {
        if (a != area || !a->table().hasIndex())
            return false;
        return a->table().stillAt(table, otherProcesses);
    }
};

// Keys of one index tag as they follow each other, with the first entry of
// each key found by hashing.
class Image {
public:
    bool fresh(WorkArea* pfx, WorkArea* ent)
    {
        // The entity table is only compared with what this process did to it:
        // its records are read on every call (a code now held by another
        // record shows there), and a code the image does not know is sought
        // in the table. Entity codes are unique and entities are never
        // deleted, so nothing else can change the answer.
        if (m_tried && m_hidden == store::Workspace::deletedHidden() && m_pfxStamp.current(pfx, true)
            && m_entStamp.current(ent, false))
            return m_ready;
        Stamp p, e;
        if (!Stamp::read(pfx, &p) || !Stamp::read(ent, &e)) {
            m_tried = m_ready = false;
            return false;
        }
        // Tables the image cannot stand for (no usable tags) are not tried
        // again until they change.
        m_ready = build(pfx, ent);
        m_tried = true;
        // the counters as they were before reading: a change made meanwhile
        // shows as a difference on the next call
        m_pfxStamp = p;
        m_entStamp = e;
        m_hidden = store::Workspace::deletedHidden();
        ++m_builds;
        return m_ready;
    }
    void drop() { m_tried = m_ready = false; }
    int builds() const { return m_builds; }

    // Resolves a normalised, non-empty call; *ok false when the tables turned
    // out to differ from the image (the caller then walks the tables).
    QString resolve(const QByteArray& call, qint64 date, WorkArea* ent, bool* ok) const
    {
        int hit = find(call.constData(), call.size());
        QByteArray matched = call;
        if (hit < 0) {
            const CallParts p = splitCall(call);
            if (p.tryShort && (hit = findPart(p.shortPart, false)) >= 0)
                matched = m_matchedLength < p.shortPart.size() ? p.shortPart.left(m_matchedLength) : p.shortPart;
            if (hit < 0 && (hit = findPart(p.home, p.home.size() == call.size())) >= 0)
                matched = trimmedBlanks(keyAt(hit));
        }
        if (hit < 0) {
            ent->goTo(0);
            return {};
        }
        if (!position(ent, size_t(hit))) {
            *ok = false;
            return {};
        }
        if (m_ent.validAt(ent, date))
            return m_texts[size_t(hit)];
        const size_t next = size_t(hit) + 1;
        if (next < m_codes.size() && trimmedBlanks(keyAt(int(next))) == matched) {
            if (!position(ent, next)) {
                *ok = false;
                return {};
            }
            return m_texts[next];
        }
        return text(kNoEntity);
    }

private:
    bool build(WorkArea* pfx, WorkArea* ent)
    {
        m_keys.clear();
        m_codes.clear();
        m_texts.clear();
        m_records.clear();
        m_slots.clear();
        QHash<QByteArray, quint32> entRecords;
        m_ent = EntFields(ent);
        store::CdxTag* ptag = pfx->table().tag("PFX");
        store::CdxTag* etag = ent->table().tag("CODENT");
        if (!ptag || !etag || !plainFieldTag(ptag, "PFX") || !plainFieldTag(etag, "CODENT"))
            return false;
        const int pcode = pfx->fieldPos(QStringLiteral("CODENT"));
        m_keyLen = ptag->keyLen();
        m_entKeyLen = etag->keyLen();
        // a code shorter than the entity key would be sought as a partial key
        if (pcode < 0 || m_ent.codent < 0 || m_keyLen > 16 || pfx->field(pcode).len != m_entKeyLen)
            return false;

        const bool hidden = store::Workspace::deletedHidden();
        store::Status scanned = pfx->table().scanTag(ptag, [&](const store::TableFile::TagRecord& r) {
            if (hidden && r.deleted)
                return true;
            m_keys.push_back(keyOf(r.key, r.keyLen));
            m_codes.push_back(r.field(pcode));
            m_texts.push_back(text(m_codes.back()));
            return true;
        });
        if (!scanned)
            return false;

        scanned = ent->table().scanTag(etag, [&](const store::TableFile::TagRecord& r) {
            const QByteArray key = r.keyBytes();
            if (entRecords.contains(key) || (hidden && r.deleted))
                return true;
            entRecords.insert(key, r.rec);
            return true;
        });
        if (!scanned)
            return false;
        for (const QByteArray& code : m_codes)
            m_records.push_back(entRecords.value(code, 0));

        size_t capacity = 16;
        while (capacity < m_codes.size() * 2)
            capacity *= 2;
        m_slots.assign(capacity, 0);
        m_filter.assign(kFilterBits / 64, 0);
        for (size_t i = 0; i < m_codes.size(); ++i) {
            const Key& k = m_keys[i];
            addToFilter(hash(k));
            size_t s = hash(k) & (capacity - 1);
            while (m_slots[s] != 0 && !(m_keys[m_slots[s] - 1] == k))
                s = (s + 1) & (capacity - 1);
            if (m_slots[s] == 0)
                m_slots[s] = quint32(i + 1);   // the first entry of a key stays
        }
        return true;
    }

    // The tag holds the field itself, so its keys are the field values.
    static bool plainFieldTag(const store::CdxTag* t, const char* field)
    {
        QByteArray e = t->definition().keyExpr.toUpper().trimmed();
        e.replace(" ", "");
        return t->pad() == ' ' && !t->custom() && !t->descending() && (e == field || e == QByteArray("FIELD->") + field);
    }

    // A key as two words: the text padded with blanks (or cut) to the key
    // length, zeros beyond.
    struct Key {
        quint64 w[2] = {0, 0};
        bool operator==(const Key& o) const { return w[0] == o.w[0] && w[1] == o.w[1]; }
    };
    Key keyOf(const char* t, qsizetype len) const
    {
        Key k;
        char* b = reinterpret_cast<char*>(k.w);
        const int n = int(qMin<qsizetype>(len, m_keyLen));
        std::memcpy(b, t, size_t(n));
        std::memset(b + n, ' ', size_t(m_keyLen - n));
        return k;
    }
    // Most texts tried are not keys: a filter of two bits per key, small
    // enough to stay in the processor's cache, answers most of them without
    // touching the hash table.
    static constexpr size_t kFilterBits = size_t(1) << 18;
    static size_t filterBit(size_t h, int which) { return (which ? h >> 40 : h >> 20) & (kFilterBits - 1); }
    bool inFilter(size_t h) const
    {
        const size_t a = filterBit(h, 0), b = filterBit(h, 1);
        return (m_filter[a >> 6] >> (a & 63) & 1) && (m_filter[b >> 6] >> (b & 63) & 1);
    }
    void addToFilter(size_t h)
    {
        for (int which : {0, 1}) {
            const size_t bit = filterBit(h, which);
            m_filter[bit >> 6] |= quint64(1) << (bit & 63);
        }
    }

    static size_t hash(const Key& k)
    {
        const quint64 h = k.w[0] * 0x9E3779B97F4A7C15ull ^ (k.w[1] + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
        return size_t(h ^ (h >> 31));
    }

    // First entry whose key is the text padded (or cut) to the key length.
    int find(const char* t, qsizetype len) const
    {
        const Key k = keyOf(t, len);
        const size_t h = hash(k);
        if (!inFilter(h))
            return -1;
        const size_t mask = m_slots.size() - 1;
        for (size_t s = h & mask;; s = (s + 1) & mask) {
            const quint32 i = m_slots[s];
            if (i == 0)
                return -1;
            if (m_keys[i - 1] == k)
                return int(i - 1);
        }
    }

    // The longest leading part of part that is a key, trying every length
    // from the whole part down to one character; m_matchedLength receives
    // the length tried. Lengths beyond the key length give the key of the
    // whole part; with wholeMissed, part is the call whose whole key is known
    // to be missing.
    int findPart(const QByteArray& part, bool wholeMissed) const
    {
        const qsizetype size = part.size();
        const qsizetype top = qMin<qsizetype>(size, m_keyLen);
        for (qsizetype n = size; n >= 1; --n) {
            if (n > m_keyLen && n < size)
                continue;
            if (wholeMissed && qMin<qsizetype>(n, m_keyLen) == top)
                continue;
            if (const int hit = find(part.constData(), n); hit >= 0) {
                m_matchedLength = n;
                return hit;
            }
        }
        return -1;
    }

    QByteArray keyAt(int i) const { return QByteArray(reinterpret_cast<const char*>(m_keys[size_t(i)].w), m_keyLen); }

    // Moves ENT to the entity's record (end of file when there is none) and
    // checks that the record read is still that entity; false when the table
    // no longer matches the image.
    bool position(WorkArea* ent, size_t entry) const
    {
        const QByteArray& code = m_codes[entry];
        const quint32 rec = m_records[entry];
        if (rec == 0) {
            ent->seek(Value::text(code));
            return !ent->found();
        }
        ent->goTo(rec);
        if (ent->eof() || (store::Workspace::deletedHidden() && ent->deleted()))
            return false;
        return fieldBytes(ent, m_ent.codent) == code;
    }

    bool m_ready = false;
    bool m_tried = false;
    bool m_hidden = true;
    int m_builds = 0;
    Stamp m_pfxStamp, m_entStamp;
    int m_keyLen = 10;
    int m_entKeyLen = 3;
    // one entry per key of the Pfx tag, in its order
    std::vector<Key> m_keys;
    std::vector<QByteArray> m_codes;     // CODENT
    std::vector<QString> m_texts;        // CODENT as returned
    std::vector<quint32> m_records;      // ENT record of the code, 0 none
    std::vector<quint32> m_slots;        // open addressing: entry + 1, 0 empty
    std::vector<quint64> m_filter;
    mutable qsizetype m_matchedLength = 0;
    EntFields m_ent;
};

Image& image()
{
    static Image i;
    return i;
}

// Empty call: ENT goes to its second record in code order.
QString emptyCall(WorkArea* ent)
{
    detail::ensureOrder(ent, "CodEnt");
    ent->goTop();
    ent->skip(1);
    return text(kNoEntity);
}

} // namespace

QByteArray normaliseCall(const QString& call)
{
    QByteArray ascii(call.size(), Qt::Uninitialized);
    qsizetype n = 0;
    for (const QChar ch : call) {
        const char16_t u = ch.unicode();
        if (u >= 0x80) {
            n = -1;
            break;
        }
        if (u != ' ')
            ascii[n++] = u >= 'a' && u <= 'z' ? char(u - 32) : char(u);
    }
    if (n >= 0) {
        ascii.truncate(n);
        return ascii;
    }
    QByteArray b = store::cp1252::fromUnicode(call);
    b.removeIf([](char c) { return c == ' '; });
    return store::cp1252::upper(b);
}

bool isPortableDesignator(const QByteArray& part)
{
    return part == "QRP" || part == "P" || part == "MM" || part == "M" || part == "B";
}

namespace {

// What both resolutions begin with: the session's areas and the call as they
// see it. False when the answer is known already (*answer): no tables, or no call.
struct Lookup {
    WorkArea* ent = nullptr;
    WorkArea* pfx = nullptr;
    QByteArray call;
};

bool beginLookup(const QString& call, Lookup* l, QString* answer)
{
    l->ent = sessionArea(kEntAlias);
    l->pfx = sessionArea(kPfxAlias);
    if (!l->ent || !l->pfx) {
        *answer = QString();
        return false;
    }
    l->call = normaliseCall(call);
    if (l->call.isEmpty()) {
        *answer = emptyCall(l->ent);
        return false;
    }
    detail::ensureOrder(l->ent, "CodEnt");
    return true;
}

} // namespace

QString dxccByTable(const QString& call, const QDate& date)
{
    Lookup l;
    if (QString answer; !beginLookup(call, &l, &answer))
        return answer;
    WorkArea* ent = l.ent;
    WorkArea* pfx = l.pfx;
    const QByteArray& c = l.call;
    detail::ensureOrder(pfx, "Pfx");
    const int pfxField = pfx->fieldPos(QStringLiteral("PFX"));
    const int codeField = pfx->fieldPos(QStringLiteral("CODENT"));
    if (pfxField < 0 || codeField < 0)
        return {};
    const int width = pfx->field(pfxField).len;
    auto seek = [&](const QByteArray& t) {
        pfx->seek(Value::text(padded(t, width)));
        return pfx->found();
    };

    bool hit = seek(c);
    QByteArray matched = c;
    if (!hit) {
        const CallParts p = splitCall(c);
        if (p.tryShort)
            for (qsizetype n = p.shortPart.size(); n >= 1 && !hit; --n)
                if ((hit = seek(p.shortPart.left(n))))
                    matched = p.shortPart.left(n);
        for (qsizetype n = p.home.size(); n >= 1 && !hit; --n)
            if ((hit = seek(p.home.left(n))))
                matched = trimmedBlanks(fieldBytes(pfx, pfxField));
    }
    if (!hit) {
        ent->goTo(0);
        return {};
    }
    const QByteArray candidate = fieldBytes(pfx, codeField);
    ent->seek(Value::text(candidate));
    if (EntFields(ent).validAt(ent, julian(date)))
        return text(candidate);
    pfx->skip(1);
    if (!pfx->eof() && trimmedBlanks(fieldBytes(pfx, pfxField)) == matched) {
        const QByteArray result = fieldBytes(pfx, codeField);
        ent->seek(Value::text(result));
        return text(result);
    }
    return text(kNoEntity);
}

QString resolutionTablesProblem()
{
    const std::pair<const QString*, const char*> tables[] = {{&kEntAlias, "entidades"}, {&kPfxAlias, "prefijos"}};
    for (const auto& [alias, what] : tables) {
        const QString title = QStringLiteral("La tabla de %1 (%2) no se puede usar: ").arg(QLatin1String(what), *alias);
        store::Workspace& ws = store::Workspace::instance();
        if (!ws.area(*alias)) {
            if (!ws.exists(*alias))
                return title + QStringLiteral("no existe en %1").arg(ws.dataDir());
            if (!store::NETUSE(*alias, true, 1, *alias))
                return title + store::lastOpenFailure();
        }
        WorkArea* a = ws.area(*alias);
        if (!a->table().hasIndex())
            return title + QStringLiteral("le falta su índice");
        for (int i = 0; i < a->table().tagCount(); ++i)
            if (store::Status s = a->table().checkTag(a->table().tag(i)); !s)
                return title + s.message();
    }
    return {};
}

QString DXCC(const QString& call, const QDate& date)
{
    Lookup l;
    if (QString answer; !beginLookup(call, &l, &answer))
        return answer;
    WorkArea* ent = l.ent;
    WorkArea* pfx = l.pfx;
    const QByteArray& c = l.call;
    Image& img = image();
    if (!img.fresh(pfx, ent))
        return dxccByTable(call, date);
    bool ok = true;
    const QString result = img.resolve(c, julian(date), ent, &ok);
    if (ok)
        return result;
    img.drop();
    return dxccByTable(call, date);
}

QString PFX(const QString& call)
{
    const QByteArray c = normaliseCall(call);
    QByteArray shortPart, home = c;
    const qsizetype slash = c.indexOf('/');
    if (slash >= 0) {
        const QByteArray left = c.left(slash), right = c.mid(slash + 1);
        if (left.size() > right.size()) {
            shortPart = right;
            home = left;
        } else {
            shortPart = left;
            home = right;
        }
    }
    QByteArray candidate = slash >= 0 && !isPortableDesignator(shortPart) ? shortPart : QByteArray();
    char area = 0;
    if (candidate.size() == 1 && isDigit(candidate[0])) {
        area = candidate[0];
        candidate.clear();
    }
    if (!candidate.isEmpty())
        return text(candidate);
    qsizetype i = 0;
    const qsizetype n = home.size();
    while (i < n && isDigit(home[i]))
        ++i;
    while (i < n && !isDigit(home[i]))
        ++i;
    while (i < n && isDigit(home[i]))
        ++i;
    QByteArray result = home.left(i);
    if (area) {
        result.chop(1);
        result.append(area);
    }
    return text(result);
}

QString CQZ(const QString& call)
{
    const QString code = DXCC(call);
    WorkArea* ent = sessionArea(kEntAlias);
    if (code.isEmpty() || !ent)
        return QStringLiteral("  ");
    detail::ensureOrder(ent, "CodEnt");
    ent->seek(Value::text(code));
    return ent->found() ? ent->str(QStringLiteral("CQZ")) : QStringLiteral("  ");
}

void dropResolutionImage() { image().drop(); }

int resolutionImageBuilds() { return image().builds(); }

} // namespace refdata
