#include "adif_import.h"

#include "adif_scanner.h"
#include "date_time.h"
#include "draft_store.h"
#include "import_summary.h"
#include "qso_lookup.h"
#include "refdata/bands.h"
#include "refdata/modes.h"
#include "refdata/resolve.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/codepage.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "core/messages.h"

#include <algorithm>
#include <cstring>

#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace interchange {

using store::Value;
using store::WorkArea;

namespace {

store::Workspace& ws() { return store::Workspace::instance(); }

constexpr qint64 kLongestMarker = 2048;

// Day-month-year as the program shows dates ("dd-mm-yy", two-digit years with epoch 1919).
QDate dmyDate(const QByteArray& text)
{
    int part[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int n = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            if (n < 3) {
                part[n] = part[n] * 10 + (c - '0');
                ++digits[n];
                if (digits[n] > 4)
                    return {};
            }
        } else if (digits[n] > 0) {
            if (++n >= 3)
                break;
        }
    }
    if (digits[0] == 0 || digits[1] == 0 || digits[2] == 0)
        return {};
    int year = part[2];
    if (digits[2] <= 2)
        year += year >= 19 ? 1900 : 2000;
    return QDate(year, part[1], part[0]);
}

enum class Conv { Text, Upper, Number, Date, QsoDate, Time, Mode, SubMode, RightAligned, Dxcc, Qra, OwnGrid, Flag, Wl32Date };

struct Rule {
    const char* field;
    Conv conv;
};

const QHash<QByteArray, Rule>& vocabulary()
{
    static const QHash<QByteArray, Rule> rules = {
        {"AGE", {"AGE", Conv::Number}},
        {"BAND", {"BAND", Conv::Upper}},
        {"CALL", {"CALL", Conv::Text}},
        {"CNTY", {"CNTY", Conv::Text}},
        {"COMMENT", {"COMMENT", Conv::Text}},
        {"CONT", {"CONT", Conv::Text}},
        {"CONTEST_ID", {"CONTESTID", Conv::Text}},
        {"CQZ", {"CQZ", Conv::RightAligned}},
        {"FREQ", {"FREQ", Conv::Number}},
        {"GRIDSQUARE", {"GRIDSQUARE", Conv::Text}},
        {"IOTA", {"IOTA", Conv::Text}},
        {"ITUZ", {"ITUZ", Conv::RightAligned}},
        {"MODE", {"MODE", Conv::Mode}},
        {"SUBMODE", {"MODE", Conv::SubMode}},
        {"NAME", {"NAME", Conv::Text}},
        {"OPERATOR", {"OPERATOR", Conv::Text}},
        {"PFX", {"PFX", Conv::Text}},
        {"PROP_MODE", {"PROPMODE", Conv::Text}},
        {"QSLRDATE", {"QSLRDATE", Conv::Date}},
        {"QSLSDATE", {"QSLSDATE", Conv::Date}},
        {"QSL_RCVD", {"QSLRCVD", Conv::Text}},
        {"QSL_SENT", {"QSLSENT", Conv::Text}},
        // the export writes it; without it the QSL mode is lost on the way back
        {"QSL_SENT_VIA", {"QSLMODE", Conv::Text}},
        {"EQSL_SENT", {"EQSLSENT", Conv::Text}},
        {"EQSL_QSL_SENT", {"EQSLSENT", Conv::Text}},
        {"EQSL_RCVD", {"EQSLRCVD", Conv::Text}},
        {"EQSL_QSL_RCVD", {"EQSLRCVD", Conv::Text}},
        {"LOTW_SENT", {"LOTWSENT", Conv::Text}},
        {"LOTW_QSL_SENT", {"LOTWSENT", Conv::Text}},
        {"LOTW_RCVD", {"LOTWRCVD", Conv::Text}},
        {"LOTW_QSL_RCVD", {"LOTWRCVD", Conv::Text}},
        {"LOTW_QSLSDATE", {"LOTWSDATE", Conv::Date}},
        {"LOTW_QSLRDATE", {"LOTWRDATE", Conv::Date}},
        {"QSL_VIA", {"QSLVIA", Conv::Text}},
        {"QSO_DATE", {"QSODATE", Conv::QsoDate}},
        {"QTH", {"QTH", Conv::Text}},
        {"RST_RCVD", {"RSTRCVD", Conv::Text}},
        {"RST_SENT", {"RSTSENT", Conv::Text}},
        {"RX_PWR", {"RXPWR", Conv::Number}},
        {"SAT_MODE", {"SATMODE", Conv::Text}},
        {"SAT_NAME", {"SATNAME", Conv::Text}},
        {"SRX", {"SRX", Conv::Text}},
        {"STX", {"STX", Conv::Text}},
        {"TEN_TEN", {"TENTEN", Conv::Number}},
        {"TIME_OFF", {"TIMEOFF", Conv::Time}},
        {"TIME_ON", {"TIMEON", Conv::Time}},
        {"TX_PWR", {"TXPWR", Conv::Number}},
        {"STATE", {"CODPRV", Conv::Text}},
        {"VE_PROV", {"CODPRV", Conv::Text}},
        {"DOK", {"CODPRV", Conv::Text}},
        {"TPEA", {"CODPRV", Conv::Text}},
        {"JCC", {"JCC", Conv::Text}},
        {"JCG", {"JCG", Conv::Text}},
        {"DXCC", {"DXCC", Conv::Dxcc}},
        {"MY_GRIDSQUARE", {"QRA", Conv::Qra}},
        {"OWN_GRIDSQ", {"QRA", Conv::OwnGrid}},
        {"APP_HAMRADIODELUXE_MY_EQSL_SENT", {"EQSLSENT", Conv::Text}},
        {"APP_HAMRADIODELUXE_MY_EQSL_RCVD", {"EQSLRCVD", Conv::Text}},
        {"APP_WL32_QSLIN", {"QSLRDATE", Conv::Wl32Date}},
        {"APP_WL32_QSLOUT", {"QSLSDATE", Conv::Wl32Date}},
    };
    return rules;
}

QByteArray asciiUpper(QByteArray s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return s;
}

bool blank(const QByteArray& s)
{
    for (char c : s)
        if (c != ' ')
            return false;
    return true;
}

} // namespace

// ---------------------------------------------------------------- helpers

double adifNumber(const QByteArray& text)
{
    int i = 0;
    const int n = int(text.size());
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    double value = 0;
    bool any = false;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + (text[i++] - '0');
        any = true;
    }
    if (i < n && text[i] == '.') {
        ++i;
        double scale = 0.1;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            value += (text[i++] - '0') * scale;
            scale /= 10;
            any = true;
        }
    }
    if (!any)
        return 0;
    return negative ? -value : value;
}

bool adifFind(QByteArrayView data, qint64* pos, const QByteArray& what, bool caseless)
{
    const qint64 n = what.size();
    if (n == 0 || n >= kLongestMarker || *pos < 0 || *pos + n > data.size())
        return false;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
    QByteArray needle = what;
    if (caseless)
        std::transform(needle.begin(), needle.end(), needle.begin(), lower);
    const char first = needle[0];
    // a first byte that is no letter can be looked for as it is
    const bool scanFirst = !caseless || first < 'a' || first > 'z';
    const char* base = data.data();
    const char* last = base + data.size() - n;   // the last place a match can start
    for (const char* p = base + *pos; p <= last; ++p) {
        if (scanFirst) {
            p = static_cast<const char*>(std::memchr(p, first, size_t(last - p + 1)));
            if (!p)
                return false;
        } else if (lower(*p) != first) {
            continue;
        }
        qint64 j = 1;
        while (j < n && (caseless ? lower(p[j]) : p[j]) == needle[j])
            ++j;
        if (j == n) {
            *pos = p - base;
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- the QSO draft

QsoDraft::QsoDraft(WorkArea* log)
{
    if (!log)
        return;
    for (int i = 0; i < log->fieldCount(); ++i) {
        const store::DbfField& f = log->field(i);
        Slot s;
        s.pos = i;
        s.type = char(f.type);
        s.len = f.len;
        const QByteArray name = asciiUpper(QByteArray(f.name));
        if (name == "KEY")
            m_keyPos = i;
        m_byName[name] = int(m_slots.size());
        m_slots.push_back(s);
    }
}

void QsoDraft::clear()
{
    for (Slot& s : m_slots)
        s.value = Value();
    badDateTime = false;
    modeCut = false;
    mode.clear();
    subMode.clear();
}

const QsoDraft::Slot* QsoDraft::slot(const char* field) const
{
    const auto it = m_byName.find(field);
    return it == m_byName.end() ? nullptr : &m_slots[size_t(it->second)];
}

QsoDraft::Slot* QsoDraft::slot(const char* field)
{
    const auto it = m_byName.find(field);
    return it == m_byName.end() ? nullptr : &m_slots[size_t(it->second)];
}

void QsoDraft::set(const char* field, const Value& v)
{
    Slot* s = slot(field);
    if (!s)
        return;
    if (s->type == 'C' && v.isChar() && v.bytes().size() > s->len)
        s->value = Value::text(v.bytes().left(s->len));
    else
        s->value = v;
}

Value QsoDraft::get(const char* field) const
{
    const Slot* s = slot(field);
    return s ? s->value : Value();
}

QByteArray QsoDraft::text(const char* field) const
{
    QByteArray b = get(field).bytes();
    while (!b.isEmpty() && b.back() == ' ')
        b.chop(1);
    return b;
}

bool QsoDraft::empty(const char* field) const
{
    return get(field).isEmpty();
}

int QsoDraft::width(const char* field) const
{
    const Slot* s = slot(field);
    return s ? s->len : 0;
}

bool QsoDraft::appendTo(WorkArea* log, QString* key) const
{
    if (!log)
        return false;
    const bool added = store::ADDQSO(key, 0, [this](WorkArea& w) {
        for (const Slot& s : m_slots)
            if (!s.value.isNil() && s.pos != m_keyPos)
                w.put(s.pos, s.value);     // a number too wide for its field is refused and stays blank
        return store::Status();
    });
    if (!added)
        return false;
    if (store::Status s = log->unlock(); !s) {
        ui::messages().stop(s.text());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- the entity table

namespace {

// The entity a key names in one of ENT's orders, read once per import run.
const QsoDraft::Entity& entityOf(std::map<QByteArray, QsoDraft::Entity>& memo, const char* order, const QByteArray& key)
{
    const auto it = memo.find(key);
    if (it != memo.end())
        return it->second;
    QsoDraft::Entity e;
    if (WorkArea* ent = ws().area(store::alias::kEnt)) {
        ent->setOrder(QString::fromLatin1(order));
        if (ent->seek(Value::text(key)) && ent->found()) {
            e.found = true;
            e.code = ent->value(QStringLiteral("CODENT")).bytes();
            e.cont = ent->value(QStringLiteral("CONT"));
            e.ituz = ent->value(QStringLiteral("ITUZ"));
            e.cqz = ent->value(QStringLiteral("CQZ"));
            e.dxcc = ent->value(QStringLiteral("DXCC"));
        }
        ent->setOrder(QStringLiteral("CodEnt"));
    }
    return memo.emplace(key, std::move(e)).first->second;
}

} // namespace

// ---------------------------------------------------------------- one value, one record

void GRBFLD(QsoDraft& qso, const QByteArray& value, const QByteArray& tagName, int length, const QString& appl)
{
    Q_UNUSED(length);
    if (blank(value))
        return;
    const QByteArray tag = asciiUpper(tagName);
    if (tag.startsWith("APP_")) {
        const QByteArray own = "APP_" + asciiUpper(appl.toLatin1()) + '_';
        if (tag.startsWith(own)) {
            const QByteArray suffix = tag.mid(own.size());
            if (suffix == "QRA")
                qso.set("QRA", Value::text(value));
            else if (suffix == "LP")
                qso.set("LP", Value::logical(value == "1"));
            else if (suffix == "PRNQSL")
                qso.set("PRNQSL", Value::logical(value == "1"));
            return;
        }
    }
    const auto it = vocabulary().constFind(tag);
    if (it == vocabulary().cend())
        return;
    const Rule& r = *it;
    switch (r.conv) {
    case Conv::Text:
    case Conv::Qra:
        qso.set(r.field, Value::text(value));
        break;
    case Conv::Upper:
        qso.set(r.field, Value::text(store::cp1252::upper(value)));
        break;
    case Conv::Number:
        qso.set(r.field, Value::number(adifNumber(value)));
        break;
    case Conv::Date:
        qso.set(r.field, Value::date(adifDate(value)));
        break;
    case Conv::QsoDate:
    case Conv::Time: {
        // the QSO's own date and times: a value that is none refuses the record
        const Value v = r.conv == Conv::Time ? Value::text(adifTime(value)) : Value::date(adifDate(value));
        if (v.isEmpty())
            qso.badDateTime = true;
        else
            qso.set(r.field, v);
        break;
    }
    case Conv::Mode:
        qso.mode = value.trimmed();
        qso.set(r.field, Value::text(value));
        break;
    case Conv::SubMode:
        qso.subMode = value.trimmed();
        break;
    case Conv::RightAligned: {
        const int w = qso.width(r.field);
        QByteArray v = value.trimmed();
        if (v.size() < w)
            v = QByteArray(w - v.size(), ' ') + v;
        qso.set(r.field, Value::text(v));
        break;
    }
    case Conv::Dxcc: {
        QByteArray v = value.trimmed();
        if (v.size() < 3)
            v = QByteArray(3 - v.size(), '0') + v;
        qso.set("DXCC", Value::text(v));
        qso.set("CODENT", Value::text(entityOf(qso.entityByDxcc, "Dxcc", v.left(3)).code));
        break;
    }
    case Conv::OwnGrid:
        if (qso.empty("QRA"))
            qso.set("QRA", Value::text(value));
        break;
    case Conv::Flag:
        qso.set(r.field, Value::logical(value == "1"));
        break;
    case Conv::Wl32Date:
        qso.set(r.field, Value::date(dmyDate(value.mid(2))));
        break;
    }
}

void ADIADDREC(QsoDraft& qso, const QByteArray& record, const AdifImportOptions& opt)
{
    qso.clear();
    qso.set("QSLSENT", Value::text(QByteArray("N")));
    qso.set("QSLRCVD", Value::text(QByteArray("N")));
    qso.set("OPERATOR", Value::text(store::cp1252::fromUnicode(opt.defaultOperator)));

    const int length = int(record.size());
    int pos = 1;
    while (pos <= length) {
        const QByteArray name = ADINOMFLD(record, &pos, length);
        const int n = ADILONFLD(record, &pos, length);
        if (n > 0 && pos <= length)
            GRBFLD(qso, record.mid(pos - 1, n), name, n, opt.appl);
        pos += n;
    }

    // ADIF 3 names many modes as a sub-mode (MFSK + FT4, DIGITALVOICE + DMR): the
    // table's code for it is the mode. A mode the table does not know and the
    // field cannot hold is kept cut, and the run tells how many were.
    if (!qso.subMode.isEmpty() || qso.mode.size() > qso.width("MODE")) {
        if (!qso.modeCodes)
            qso.modeCodes = refdata::modeCodes();
        const QByteArray sub = qso.modeCodes->value(store::cp1252::upper(qso.subMode));
        if (!sub.isEmpty())
            qso.set("MODE", Value::text(sub));
        else if (qso.mode.size() > qso.width("MODE"))
            qso.modeCut = !qso.modeCodes->contains(store::cp1252::upper(qso.text("MODE")));
    }

    const QString call = store::cp1252::toUnicode(qso.text("CALL"));
    if (qso.empty("PFX"))
        qso.set("PFX", Value::text(store::cp1252::fromUnicode(refdata::PFX(call))));
    if (qso.empty("DXCC")) {
        const QDate d = qso.get("QSODATE").toDate();
        qso.set("CODENT", Value::text(store::cp1252::fromUnicode(refdata::DXCC(call, d.isValid() ? d : QDate::currentDate()))));
    }
    if (qso.empty("BAND") && qso.get("FREQ").toNumber() != 0)
        qso.set("BAND", Value::text(store::cp1252::fromUnicode(refdata::BAND(qso.get("FREQ").toNumber()))));

    const QByteArray code = qso.get("CODENT").bytes();
    if (!blank(code)) {
        const QsoDraft::Entity& e = entityOf(qso.entityByCode, "CodEnt", code.rightJustified(3, ' '));
        if (e.found) {
            const std::pair<const char*, const Value*> fields[] = {
                {"CONT", &e.cont}, {"ITUZ", &e.ituz}, {"CQZ", &e.cqz}, {"DXCC", &e.dxcc}};
            for (const auto& [f, v] : fields)
                if (qso.empty(f))
                    qso.set(f, *v);
        }
    }

    if (qso.empty("CNTY")) {
        const QByteArray comment = qso.get("COMMENT").bytes();
        const qsizetype at = store::cp1252::upper(comment).indexOf("DME");
        if (at >= 0)
            qso.set("CNTY", Value::text(comment.mid(at + 4, 5)));
    }
}

bool CHKDUP(const QsoDraft& qso)
{
    return findQso(qso.get("CALL").bytes(), qso.get("QSODATE").toDate(), qso.get("TIMEON").bytes());
}

// ---------------------------------------------------------------- the run

AdifImportResult ADIFIMP(ui::Meter& meter, const AdifImportOptions& opt)
{
    AdifImportResult r;
    ui::Messages& msg = ui::messages();
    if (!QFileInfo(opt.path).isFile()) {
        msg.stop(opt.path + QStringLiteral("\r\nFichero no existe"));
        return r;
    }
    // Read only: the import never writes the file, and a write-protected file must import too.
    QFile file(opt.path);
    if (!file.open(QIODevice::ReadOnly)) {
        msg.stop(QStringLiteral("Error de aperturar"));
        return r;
    }
    // The whole file in memory: every marker search and record is a look into it.
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        msg.stop(QStringLiteral("Error de aperturar"));
        return r;
    }
    file.close();
    qint64 pos = 0;
    if (!adifFind(data, &pos, "<EOH>") && !adifFind(data, &pos, "<eoh>")) {
        msg.stop(QStringLiteral("Falta registro de cabecera <EOH>"));
        return r;
    }
    WorkArea* log = ws().area(store::alias::kLog);
    if (!log) {
        msg.stop(QStringLiteral("No hay libro de guardia abierto"));
        return r;
    }
    r.ok = true;
    const qint64 size = data.size();
    meter.setTotal(size);
    pos += 5;
    adifFind(data, &pos, "<");

    QsoDraft qso(log);
    ImportSummary done;
    DraftStore out(log, opt, &done);
    while (pos < size) {
        meter.setPosition(pos);
        if (meter.cancelled()) {
            r.cancelled = true;
            break;
        }
        // The end of the record: "<EOR>" in any case. Without one, what is left is no record.
        qint64 end = pos;
        if (!adifFind(data, &end, "<eor>", true))
            break;
        const QByteArray text = data.mid(pos, end - pos);
        pos = end + 5;

        ADIADDREC(qso, text, opt);
        if (qso.empty("CALL")) {
            ++r.dropped;
            continue;
        }
        if (qso.badDateTime) {
            ++r.badDateTime;
            continue;
        }
        if (opt.dupCheck && CHKDUP(qso)) {
            ++r.dropped;
            continue;
        }
        const int before = out.stored();
        const bool go = out.store(qso);
        if (out.stored() > before && qso.modeCut)
            ++r.longModes;
        if (!go)
            break;
    }
    out.finish();
    r.imported = out.stored();
    // the index failing mid-file leaves the rest of the file unread too
    done.interrupted = done.interrupted || (done.indexUnwritten && pos < size && !r.cancelled);
    meter.setPosition(pos < size ? pos : size);
    r.complete = !r.cancelled && !done.interrupted && !done.indexUnwritten;
    done.imported = r.imported;
    done.badDateTime = r.badDateTime;
    done.longModes = r.longModes;
    r.message = importMessage(done);
    msg.info(r.message);
    log->goBottom();
    return r;
}

} // namespace interchange
