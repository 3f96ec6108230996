#include "qsl/format_file.h"
#include "part_file.h"

#include "online/zip_archive.h"
#include "store/work_area.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>


namespace qsl {

namespace {

const QString kRecord = QStringLiteral("FrmQsl1.txt");
const QString kDesign = QStringLiteral("FrmQsl2.txt");

// Splits one delimited line; quoted fields may hold commas. False on a broken quote.
bool splitLine(const QByteArray& line, QList<QByteArray>* out, QList<bool>* quoted)
{
    int i = 0;
    const int n = line.size();
    while (i <= n) {
        QByteArray v;
        bool q = false;
        if (i < n && line[i] == '"') {
            q = true;
            const int close = line.indexOf('"', i + 1);
            if (close < 0)
                return false;
            v = line.mid(i + 1, close - i - 1);
            i = close + 1;
            if (i < n && line[i] != ',')
                return false;
        } else {
            const int comma = line.indexOf(',', i);
            const int end = comma < 0 ? n : comma;
            v = line.mid(i, end - i).trimmed();
            i = end;
        }
        out->append(v);
        quoted->append(q);
        if (i >= n)
            break;
        ++i;   // the comma
        if (i == n) {
            out->append(QByteArray());
            quoted->append(false);
            break;
        }
    }
    return true;
}

} // namespace

QByteArray delimitedRecord(store::WorkArea& area)
{
    QByteArray line;
    for (int i = 0; i < area.fieldCount(); ++i) {
        const auto& f = area.field(i);
        if (f.type == 'M')
            continue;
        if (!line.isEmpty())
            line += ',';
        const store::Value v = area.value(i);
        switch (f.type) {
        case 'D':
            line += v.julianDay() > 0 ? v.toDate().toString(QStringLiteral("yyyyMMdd")).toLatin1() : QByteArray();
            break;
        case 'L':
            line += v.toBool() ? 'T' : 'F';
            break;
        case 'N':
            line += QByteArray::number(v.toNumber(), 'f', f.dec);
            break;
        default: {
            QByteArray t = v.bytes();
            while (t.endsWith(' '))
                t.chop(1);
            t.replace('"', '\'');   // a quote cannot be written inside the delimiters
            line += '"' + t + '"';
        }
        }
    }
    return line;
}

bool putDelimitedRecord(store::WorkArea& area, const QByteArray& rawLine)
{
    QByteArray line = rawLine;
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    QList<QByteArray> values;
    QList<bool> quoted;
    if (line.isEmpty() || line.contains('\n') || !splitLine(line, &values, &quoted))
        return false;
    int k = 0;
    for (int i = 0; i < area.fieldCount() && k < values.size(); ++i) {
        const auto& f = area.field(i);
        if (f.type == 'M')
            continue;
        const QByteArray& v = values[k];
        const bool q = quoted[k++];
        switch (f.type) {
        case 'D': {
            const QDate d = QDate::fromString(QString::fromLatin1(v), QStringLiteral("yyyyMMdd"));
            area.put(i, store::Value::date(d));
            break;
        }
        case 'L':
            area.put(i, store::Value::logical(v == "T" || v == "t" || v == "Y" || v == "y"));
            break;
        case 'N': {
            bool ok = false;
            const double d = v.toDouble(&ok);
            area.put(i, store::Value::number(ok ? d : 0));
            break;
        }
        default:
            (void)q;
            area.put(i, store::Value::text(v));
        }
    }
    return true;
}

bool writeZip(const QString& path, const QList<QPair<QString, QByteArray>>& entries, QString* error)
{
    return online::writeZip(path, entries, error);
}

QString exportFileName(const QString& folder, const QString& description)
{
    return QDir(folder).filePath(description.trimmed().toLower() + QStringLiteral(".q7q"));
}

bool exportFormat(store::WorkArea& frm, const QString& path, QString* error)
{
    if (frm.eof() || frm.recNo() == 0) {
        if (error)
            *error = QStringLiteral("No pudo realizarse la exportacion");
        return false;
    }
    QString why;
    if (!writeZip(path, {{kRecord, delimitedRecord(frm) + "\r\n"}, {kDesign, frm.memo(QStringLiteral("FORMATO"))}},
                  &why)) {
        if (error)
            *error = QStringLiteral("No pudo realizarse la exportacion");
        return false;
    }
    return true;
}

bool importFormat(store::WorkArea& frm, const QString& path, QString* error)
{
    if (!QFileInfo(path).isFile()) {
        if (error)
            *error = QStringLiteral("No se ha encontrado el fichero\r\n") + path;
        return false;
    }
    const QString unknown = path + QStringLiteral(" formato desconocido");
    QTemporaryDir dir;   // its own folder, erased afterwards
    const online::UnpackResult r = dir.isValid() ? online::unpackZip(path, dir.path()) : online::UnpackResult{};
    QFile rec(dir.filePath(kRecord)), design(dir.filePath(kDesign));
    if (!r.ok || !rec.open(QIODevice::ReadOnly) || !design.open(QIODevice::ReadOnly)) {
        if (error)
            *error = unknown;
        return false;
    }
    QByteArray line = rec.readAll();
    const int nl = line.indexOf('\n');
    if (nl >= 0 && !line.mid(nl + 1).trimmed().isEmpty()) {
        if (error)
            *error = unknown;
        return false;
    }
    line = line.left(nl < 0 ? line.size() : nl);
    const QByteArray text = design.readAll();
    // checked before anything is appended
    {
        QList<QByteArray> values;
        QList<bool> quoted;
        QByteArray l = line;
        while (l.endsWith('\r'))
            l.chop(1);
        if (l.trimmed().isEmpty() || !splitLine(l, &values, &quoted)) {
            if (error)
                *error = unknown;
            return false;
        }
    }
    const store::Status s = frm.append([&](store::WorkArea& a) {
        putDelimitedRecord(a, line);
        a.put(QStringLiteral("DEFAULT"), false);
        return a.putMemo(QStringLiteral("FORMATO"), text);
    });
    frm.unlock();
    if (!s) {
        if (error)
            *error = s.text();
        return false;
    }
    return true;
}

} // namespace qsl
