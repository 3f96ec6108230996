#include "ini_file.h"

#include "store/codepage.h"
#include "store/expression.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <limits>

#ifdef Q_OS_UNIX
#include <sys/stat.h>

namespace app {

#endif

namespace {

const QByteArray kCrLf("\r\n");

bool isBlank(char c) { return c == ' ' || c == '\t'; }

QByteArray trimBlanks(const QByteArray& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

// The line without its line end.
QByteArray content(const QByteArray& line)
{
    qsizetype n = line.size();
    if (n > 0 && line[n - 1] == '\n')
        --n;
    if (n > 0 && line[n - 1] == '\r')
        --n;
    return line.left(n);
}

QByteArray nameKey(const QString& name)
{
    return store::cp1252::upper(store::cp1252::fromUnicode(name.trimmed()));
}

// The whole part of the number a text starts with: blanks, a sign, digits.
// Anything else ends it; no digits at all is 0. Saturates instead of overflowing.
qint64 wholeNumber(const QByteArray& s)
{
    qsizetype i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    qint64 v = 0;
    const qint64 limit = std::numeric_limits<qint64>::max();
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        const int d = s[i] - '0';
        v = v > (limit - d) / 10 ? limit : v * 10 + d;
    }
    return negative ? -v : v;
}

bool isNumberType(int id)
{
    switch (id) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Long: case QMetaType::ULong: case QMetaType::Short: case QMetaType::UShort:
    case QMetaType::Double: case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

} // namespace

IniFile::IniFile(const QString& path) : m_path(path) {}

IniFile::Stamp IniFile::stamp() const
{
    Stamp s;
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(m_path).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.size = st.st_size;
    s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.inode = st.st_ino;
#else
    const QFileInfo fi(m_path);
    if (!fi.exists())
        return s;
    s.exists = true;
    s.size = fi.size();
    s.mtimeNs = fi.lastModified().toMSecsSinceEpoch() * 1000000;
#endif
    return s;
}

void IniFile::refresh()
{
    // Stat before reading: a change made while we read shows at the next call.
    const Stamp now = stamp();
    if (m_loaded && !m_unreadable && now == m_stamp)
        return;
    QByteArray data;
    m_unreadable = false;
    if (now.exists) {
        QFile f(m_path);
        if (f.open(QIODevice::ReadOnly))
            data = f.readAll();
        else
            m_unreadable = true;    // never replace a file we could not read
    }
    parse(data);
    m_stamp = now;
    m_loaded = true;
}

void IniFile::parse(const QByteArray& data)
{
    m_lines.clear();
    qsizetype pos = 0;
    while (pos < data.size()) {
        qsizetype nl = data.indexOf('\n', pos);
        const qsizetype end = nl < 0 ? data.size() : nl + 1;
        Line line;
        line.bytes = data.mid(pos, end - pos);
        pos = end;

        const QByteArray text = trimBlanks(content(line.bytes));
        if (text.startsWith('[')) {
            const qsizetype close = text.indexOf(']');
            if (close > 0) {
                line.kind = Line::Section;
                line.name = store::cp1252::upper(trimBlanks(text.mid(1, close - 1)));
            }
        } else if (!text.startsWith(';')) {
            const qsizetype eq = text.indexOf('=');
            if (eq > 0) {
                const QByteArray key = trimBlanks(text.left(eq));
                if (!key.isEmpty()) {
                    line.kind = Line::Key;
                    line.spelling = key;
                    line.name = store::cp1252::upper(key);
                    line.value = trimBlanks(text.mid(eq + 1));
                }
            }
        }
        m_lines.push_back(std::move(line));
    }
}

int IniFile::find(const QByteArray& section, const QByteArray& key, int* sectionEnd) const
{
    if (sectionEnd)
        *sectionEnd = -1;
    // As the Windows profile functions do, only the first section of a name
    // and the first key of a name in it count.
    int i = 0;
    const int n = int(m_lines.size());
    while (i < n && !(m_lines[i].kind == Line::Section && m_lines[i].name == section))
        ++i;
    if (i == n)
        return -1;
    int last = i;
    for (++i; i < n && m_lines[i].kind != Line::Section; ++i) {
        if (m_lines[i].kind != Line::Key)
            continue;
        if (m_lines[i].name == key)
            return i;
        last = i;
    }
    if (sectionEnd)
        *sectionEnd = last;
    return -1;
}

QString IniFile::text(const QString& section, const QString& key)
{
    refresh();
    const int i = find(nameKey(section), nameKey(key));
    if (i < 0)
        return QString();
    const QString s = store::cp1252::toUnicode(m_lines[i].value);
    return s.isNull() ? QStringLiteral("") : s;
}

QVariant IniFile::Get(const QString& section, const QString& key, const QVariant& def)
{
    refresh();
    const int i = find(nameKey(section), nameKey(key));
    const int type = def.typeId();
    if (!def.isValid())
        return i < 0 ? QVariant() : QVariant(store::cp1252::toUnicode(m_lines[i].value));

    QVariant result = def;
    if (i >= 0) {
        const QByteArray& raw = m_lines[i].value;
        if (type == QMetaType::Bool) {
            result = store::cp1252::upper(raw) == ".T.";
        } else if (isNumberType(type)) {
            qint64 v = wholeNumber(raw);
            if (type == QMetaType::Int)
                v = std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
            result = QVariant(v);
            result.convert(def.metaType());
        } else if (type == QMetaType::QDate) {
            const qint64 jd = store::parseDateText(raw);
            result = jd > 0 ? QDate::fromJulianDay(jd) : QDate();
        } else {
            result = store::cp1252::toUnicode(raw);
            if (type != QMetaType::QString)
                result.convert(def.metaType());
        }
    }
    if (result == def)
        Set(section, key, def);
    return result;
}

QString IniFile::toText(const QVariant& value)
{
    QString s;
    switch (value.typeId()) {
    case QMetaType::Bool:
        s = value.toBool() ? QStringLiteral(".T.") : QStringLiteral(".F.");
        break;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = std::trunc(value.toDouble());
        s = QString::number(std::isfinite(d) ? qint64(d) : 0);
        break;
    }
    case QMetaType::ULongLong:
    case QMetaType::ULong:
        s = QString::number(value.toULongLong());
        break;
    case QMetaType::QDate: {
        const QDate d = value.toDate();
        s = QString::fromLatin1(store::formatDate(d.isValid() ? d.toJulianDay() : 0));
        break;
    }
    default:
        s = isNumberType(value.typeId()) ? QString::number(value.toLongLong()) : value.toString();
    }
    // One line per key: a line break inside a value would start a new line.
    s.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

bool IniFile::Set(const QString& section, const QString& key, const QVariant& value)
{
    refresh();
    const QByteArray text = store::cp1252::fromUnicode(toText(value));
    int sectionEnd = -1;
    const int i = find(nameKey(section), nameKey(key), &sectionEnd);

    if (i >= 0) {
        Line& line = m_lines[i];
        if (line.value == trimBlanks(text))
            return true;                        // nothing a reader would see differently
        line.bytes = line.spelling + '=' + text + kCrLf;
        line.value = trimBlanks(text);
    } else {
        Line keyLine;
        keyLine.kind = Line::Key;
        keyLine.spelling = store::cp1252::fromUnicode(key.trimmed());
        keyLine.name = store::cp1252::upper(keyLine.spelling);
        keyLine.value = trimBlanks(text);
        keyLine.bytes = keyLine.spelling + '=' + text + kCrLf;

        // The line before the insertion point may be the file's last line
        // without a line end.
        auto terminate = [](Line& l) {
            if (!l.bytes.endsWith('\n'))
                l.bytes += kCrLf;
        };
        if (sectionEnd >= 0) {
            terminate(m_lines[sectionEnd]);
            m_lines.insert(m_lines.begin() + sectionEnd + 1, std::move(keyLine));
        } else {
            if (!m_lines.empty()) {
                terminate(m_lines.back());
                if (!trimBlanks(content(m_lines.back().bytes)).isEmpty()) {
                    Line blank;
                    blank.bytes = kCrLf;
                    m_lines.push_back(std::move(blank));
                }
            }
            Line head;
            head.kind = Line::Section;
            const QByteArray spelled = store::cp1252::fromUnicode(section.trimmed());
            head.name = store::cp1252::upper(spelled);
            head.bytes = '[' + spelled + ']' + kCrLf;
            m_lines.push_back(std::move(head));
            m_lines.push_back(std::move(keyLine));
        }
    }
    return save();
}

bool IniFile::save()
{
    if (m_unreadable)
        return false;
    const QFileInfo fi(m_path);
    if (!fi.absoluteDir().exists() && !QDir().mkpath(fi.absolutePath())) {
        m_loaded = false;
        return false;
    }
    QByteArray data;
    for (const Line& l : m_lines)
        data += l.bytes;
    // QSaveFile writes a temporary file next to the target and renames it over
    // the target on commit: readers see the old file or the new one, never half.
    QSaveFile f(m_path);
    const bool ok = f.open(QIODevice::WriteOnly) && f.write(data) == data.size() && f.commit();
    if (ok)
        m_stamp = stamp();
    else
        m_loaded = false;    // what we hold is not the file: read it again next time
    return ok;
}

} // namespace app
