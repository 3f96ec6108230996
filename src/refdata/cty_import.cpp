#include "cty_import.h"

#include "resolve.h"
#include "session_areas.h"

#include "geo/locator.h"
#include "store/access.h"
#include "store/codepage.h"
#include "store/table_file.h"
#include "store/workspace.h"
#include "core/messages.h"

#include <QFile>
#include <QLoggingCategory>

#include <algorithm>
#include <cmath>
#include <cstring>

Q_LOGGING_CATEGORY(lcCty, "orlanlog.cty", QtInfoMsg)

namespace refdata {

using detail::fieldBytes;
using detail::padded;
using detail::sessionArea;
using store::Value;
using store::WorkArea;

namespace {

// Far more than any country file; a larger file is something else.
constexpr qint64 kMaxFileSize = 32 * 1024 * 1024;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

// A zone override: one or two digits, right-aligned in two.
QByteArray zone(const QByteArray& text)
{
    const QByteArray t = text.trimmed();
    if (t.isEmpty() || t.size() > 2 || !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return {};
    return t.size() == 1 ? " " + t : t;
}

bool number(const QByteArray& text, double* out)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *out = v;
    return true;
}

// The prefix as stored: a version marker "VER" + date keeps "VER" and the
// date from its sixth character on (VER20230502 -> VER230502), as the field
// holds ten characters; anything else longer than the field is cut, as the
// engine cuts every key.
QByteArray storedPrefix(const QByteArray& prefix, int width)
{
    QByteArray p = prefix;
    if (p.size() > width && p.startsWith("VER") && p[3] >= '0' && p[3] <= '9')
        p = "VER" + p.mid(5);
    return p.left(width);
}

} // namespace

// ------------------------------------------------------------------ reading

CtyReader::CtyReader(QByteArray text) : m_text(std::move(text)) {}

void CtyReader::skipLine()
{
    while (m_pos < m_text.size() && m_text[m_pos] != '\n' && m_text[m_pos] != '\r')
        ++m_pos;
    if (m_pos < m_text.size() && m_text[m_pos] == '\r')
        ++m_pos;
    if (m_pos < m_text.size() && m_text[m_pos] == '\n')
        ++m_pos;
}

void CtyReader::skipCommentLines()
{
    for (;;) {
        while (m_pos < m_text.size() && isSpace(m_text[m_pos]))
            ++m_pos;
        if (m_pos >= m_text.size() || m_text[m_pos] != '#')
            return;
        skipLine();
    }
}

bool CtyReader::next(CtyRecord* record)
{
    const qint64 n = m_text.size();
    const char* t = m_text.constData();
    for (;;) {
        skipCommentLines();
        if (m_pos >= n)
            return false;
        record->offset = m_pos;
        record->primary.clear();
        record->aliases.clear();
        // eight fields ending with ":", the eighth the primary prefix
        qint64 p = m_pos, fieldStart = m_pos;
        int colons = 0;
        QByteArray primary;
        while (p < n && colons < 8 && t[p] != ';') {
            if (t[p] == ':') {
                if (++colons == 8)
                    primary = m_text.mid(fieldStart, p - fieldStart);
                fieldStart = p + 1;
            }
            ++p;
        }
        if (colons < 8) {
            m_pos = p < n ? p + 1 : n;       // not a record: on to the next ";"
            continue;
        }
        // the alias list up to ";", comments taken out up to their line break
        QByteArray list;
        while (p < n && t[p] != ';') {
            if (t[p] == '#') {
                m_pos = p;
                skipLine();
                p = m_pos;
                list.append(',');            // a comment ends the alias before it
                continue;
            }
            const qint64 start = p;
            while (p < n && t[p] != ';' && t[p] != '#')
                ++p;
            list.append(t + start, p - start);
        }
        m_pos = p < n ? p + 1 : n;
        primary.replace("*", "");
        record->primary = store::cp1252::upper(primary.trimmed());
        if (record->primary.isEmpty())
            continue;
        // aliases end at a comma, or at a line break where the comma is missing
        for (const QByteArray& piece : list.split(','))
            for (const QByteArray& raw : piece.simplified().split(' ')) {
                CtyAlias a = parseCtyAlias(raw);
                if (!a.prefix.isEmpty())
                    record->aliases.push_back(std::move(a));
            }
        return true;
    }
}

CtyAlias parseCtyAlias(const QByteArray& alias)
{
    CtyAlias a;
    QByteArray text = alias;
    text.replace("=", "");
    text = text.trimmed();
    static const char kMarks[] = "([<~{";
    qsizetype i = 0;
    while (i < text.size() && !std::strchr(kMarks, text[i]))
        ++i;
    a.prefix = store::cp1252::upper(text.left(i).trimmed());
    if (std::any_of(a.prefix.begin(), a.prefix.end(), [](char c) { return uchar(c) < 0x20 || c == ' '; }))
        a.prefix.clear();                    // no call holds control characters or blanks
    while (i < text.size()) {
        const char open = text[i];
        const char close = open == '(' ? ')' : open == '[' ? ']' : open == '<' ? '>' : open == '~' ? '~' : open == '{' ? '}' : 0;
        if (!close) {
            ++i;
            continue;
        }
        const qsizetype end = text.indexOf(close, i + 1);
        if (end < 0)
            break;
        const QByteArray content = text.mid(i + 1, end - i - 1);
        if (open == '(') {
            a.cqz = zone(content);
        } else if (open == '[') {
            a.ituz = zone(content);
        } else if (open == '<') {
            const qsizetype slash = content.indexOf('/');
            double lat = 0, lon = 0;
            if (slash > 0 && number(content.left(slash), &lat) && number(content.mid(slash + 1), &lon)
                && std::fabs(lat) <= 90 && std::fabs(lon) <= 180) {
                a.hasPosition = true;
                a.latitude = lat;
                a.longitude = lon;
            }
        } else if (open == '~') {
            double v = 0;
            if (number(content, &v) && std::fabs(v) <= 24) {
                a.hasOffset = true;
                a.offset = v;
            }
        }   // "{EU}": a continent override, which the prefix table has no field for
        i = end + 1;
    }
    return a;
}

// ------------------------------------------------------------------ import

namespace {

struct Fields {
    int pfx, code, cqz, ituz, gmt, qra, cty;
    explicit Fields(WorkArea* a)
        : pfx(a->fieldPos(QStringLiteral("PFX"))), code(a->fieldPos(QStringLiteral("CODENT"))),
          cqz(a->fieldPos(QStringLiteral("CQZ"))), ituz(a->fieldPos(QStringLiteral("ITUZ"))),
          gmt(a->fieldPos(QStringLiteral("GMT"))), qra(a->fieldPos(QStringLiteral("QRA"))),
          cty(a->fieldPos(QStringLiteral("CTY")))
    {
    }
    bool complete() const { return pfx >= 0 && code >= 0; }
};

// The entity whose main prefix is the record's primary prefix: a current one
// when a deleted entity shares the prefix (a deleted entity never receives
// the prefixes of its successor). Empty when there is none.
QByteArray entityOf(WorkArea* ent, const QByteArray& primary, int pfxWidth)
{
    const QByteArray key = padded(primary, pfxWidth);
    ent->seek(Value::text(key));
    if (!ent->found() || primary.size() > pfxWidth)
        return {};
    const int pfxField = ent->fieldPos(QStringLiteral("PFX"));
    const int codeField = ent->fieldPos(QStringLiteral("CODENT"));
    const int endField = ent->fieldPos(QStringLiteral("FBAJA"));
    const QByteArray first = fieldBytes(ent, codeField);
    for (; !ent->eof() && fieldBytes(ent, pfxField) == key; ent->skip())
        if (endField < 0 || ent->value(endField).julianDay() == 0)
            return fieldBytes(ent, codeField);
    return first;
}

// The overrides an alias would write over the record under the area.
bool differs(WorkArea* pfx, const Fields& f, const CtyAlias& a, const QByteArray& code, const QString& qra)
{
    if (fieldBytes(pfx, f.code) != code)
        return true;
    if (f.cqz >= 0 && !a.cqz.isEmpty() && fieldBytes(pfx, f.cqz) != a.cqz)
        return true;
    if (f.ituz >= 0 && !a.ituz.isEmpty() && fieldBytes(pfx, f.ituz) != a.ituz)
        return true;
    if (f.gmt >= 0 && a.hasOffset && pfx->value(f.gmt).toNumber() != a.offset)
        return true;
    if (f.qra >= 0 && a.hasPosition && pfx->value(f.qra).toString().trimmed() != qra)
        return true;
    return false;
}

void write(WorkArea* pfx, const Fields& f, const CtyAlias& a, const QByteArray& code, const QString& qra)
{
    pfx->put(f.code, Value::text(code));
    if (f.cqz >= 0 && !a.cqz.isEmpty())
        pfx->put(f.cqz, Value::text(a.cqz));
    if (f.ituz >= 0 && !a.ituz.isEmpty())
        pfx->put(f.ituz, Value::text(a.ituz));
    if (f.gmt >= 0 && a.hasOffset)
        pfx->put(f.gmt, Value::number(a.offset));
    if (f.qra >= 0 && a.hasPosition)
        pfx->put(f.qra, Value::text(qra));
}

} // namespace

bool CTYIMP(ui::Meter& meter, bool automatic, const QString& file, CtyImportResult* result)
{
    CtyImportResult local;
    CtyImportResult& r = result ? *result : local;
    r = CtyImportResult();
    auto fail = [&](const QString& text) {
        if (!automatic)
            ui::messages().stop(text);
        return false;
    };

    QString path = file;
    if (path.isEmpty()) {
        const QString wanted = store::Workspace::instance().programDir() + QStringLiteral("cty.dat");
        path = store::findFileNoCase(wanted);
        if (path.isEmpty())
            path = wanted;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Error de aperturar"));
    if (f.size() == 0)
        return fail(QStringLiteral("Fichero vacio"));
    if (f.size() > kMaxFileSize)
        return fail(QStringLiteral("El fichero %1 es demasiado grande para ser un CTY.DAT").arg(path));
    CtyReader reader(f.readAll());
    f.close();

    WorkArea* ent = sessionArea("ENT");
    WorkArea* pfx = sessionArea("Pfx");
    if (!ent || !pfx)
        return fail(QStringLiteral("No pueden abrirse las tablas de entidades y prefijos"));
    const Fields fields(pfx);
    const int entPfx = ent->fieldPos(QStringLiteral("PFX"));
    if (!fields.complete() || entPfx < 0 || ent->fieldPos(QStringLiteral("CODENT")) < 0)
        return fail(QStringLiteral("Las tablas de entidades y prefijos no tienen los campos esperados"));
    const int entPfxWidth = ent->field(entPfx).len;
    const int width = pfx->field(fields.pfx).len;

    store::Workspace& ws = store::Workspace::instance();
    WorkArea* selected = ws.current();
    const QByteArray entOrder = ent->orderName();
    const quint32 entRecord = ent->eof() ? 0 : ent->recNo();
    if (!ent->setOrder(QStringLiteral("Pfx")))
        return fail(QStringLiteral("La tabla de entidades no tiene la etiqueta Pfx: reorganice las tablas"));
    detail::ensureOrder(pfx, "Pfx");
    if (qstricmp(pfx->orderName().constData(), "Pfx") != 0) {
        ent->setOrder(entOrder.isEmpty() ? QString() : QString::fromLatin1(entOrder));
        ent->goTo(entRecord);
        return fail(QStringLiteral("La tabla de prefijos no tiene la etiqueta Pfx: reorganice las tablas"));
    }
    ws.select(pfx->alias());

    meter.setTotal(reader.size());
    CtyRecord rec;
    bool ok = true;
    while (ok && reader.next(&rec)) {
        meter.setPosition(rec.offset);
        if (meter.cancelled()) {
            r.cancelled = true;
            break;
        }
        ++r.records;
        const QByteArray code = entityOf(ent, rec.primary, entPfxWidth);
        if (code.isEmpty()) {
            ++r.skipped;
            qCDebug(lcCty) << "CTY.DAT: sin entidad para el prefijo" << rec.primary;
            continue;
        }
        for (const CtyAlias& a : rec.aliases) {
            const QByteArray key = storedPrefix(a.prefix, width);
            if (key.isEmpty())
                continue;
            const QString qra = a.hasPosition ? geo::CALLOC(a.latitude, -a.longitude) : QString();
            pfx->seek(Value::text(padded(key, width)));
            if (pfx->found()) {
                if (fieldBytes(pfx, fields.code) != code) {
                    ++r.foreign;
                    continue;
                }
                if (!differs(pfx, fields, a, code, qra)) {
                    ++r.unchanged;
                    continue;
                }
                if (!store::RECLOCK(0)) {
                    ok = false;
                    break;
                }
                // another user may have given the prefix away meanwhile
                if (fieldBytes(pfx, fields.code) != code) {
                    pfx->unlock();
                    ++r.foreign;
                    continue;
                }
                write(pfx, fields, a, code, qra);
                pfx->unlock();
                ++r.updated;
                continue;
            }
            if (!store::ADDREC()) {
                ok = false;
                break;
            }
            if (fields.cty >= 0)
                pfx->put(fields.cty, Value::logical(true));
            pfx->put(fields.pfx, Value::text(key));
            write(pfx, fields, a, code, qra);
            pfx->unlock();
            ++r.added;
        }
    }

    ent->setOrder(entOrder.isEmpty() ? QString() : QString::fromLatin1(entOrder));
    ent->goTo(entRecord);
    if (selected)
        ws.select(selected->alias());
    if (!ok)
        return false;
    if (r.cancelled)
        return false;
    if (r.records == 0)
        return fail(QStringLiteral("El fichero %1 no tiene el formato CTY.DAT: no se ha importado nada").arg(path));
    meter.setPosition(reader.size());   // the meter behind the message is full
    if (!automatic)
        ui::messages().info(QStringLiteral("Importación completa"));
    return true;
}

QString CTYVER()
{
    WorkArea* pfx = sessionArea("Pfx");
    if (!pfx)
        return {};
    detail::ensureOrder(pfx, "Pfx");
    pfx->seek(Value::text(QByteArrayLiteral("VERSION")), true);
    pfx->skip(-1);
    const QByteArray prefix = detail::trimmedBlanks(fieldBytes(pfx, pfx->fieldPos(QStringLiteral("PFX"))));
    return prefix.startsWith("VER") && prefix != "VERSION" ? store::cp1252::toUnicode(prefix) : QString();
}

} // namespace refdata
