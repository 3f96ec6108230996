#include "shipped.h"

#include "cty_import.h"
#include "resolve.h"
#include "session_areas.h"

#include "store/aliases.h"
#include "store/catalogue.h"
#include "store/codepage.h"
#include "store/workspace.h"
#include "core/messages.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QHash>

#include <algorithm>
#include <map>

namespace refdata {

using store::Status;
using store::StatusCode;
using store::Value;
using store::WorkArea;

namespace {

Status error(const QString& text) { return {StatusCode::Invalid, text}; }

// Codes the tables keep right-aligned; the text files hold them trimmed.
bool rightAligned(const QByteArray& field)
{
    return field == "CODENT" || field == "CQZ" || field == "ITUZ" || (field.startsWith("CODENT") && field.size() == 7);
}

struct Csv {
    QStringList header;
    std::vector<std::pair<int, QStringList>> rows;   // line number, values
};

Status readCsv(const QString& path, Csv* csv)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {StatusCode::NotFound, QStringLiteral("No se puede leer %1").arg(path)};
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList values = line.split(QLatin1Char(';'));
        if (csv->header.isEmpty()) {
            csv->header = values;
            continue;
        }
        if (values.size() != csv->header.size())
            return error(QStringLiteral("%1:%2: %3 campos, se esperaban %4").arg(path).arg(i + 1).arg(values.size()).arg(csv->header.size()));
        csv->rows.emplace_back(i + 1, values);
    }
    if (csv->header.isEmpty())
        return error(QStringLiteral("%1 no tiene cabecera").arg(path));
    return {};
}

Status typed(const store::DbfField& f, const QString& text, Value* out)
{
    switch (f.type) {
    case 'C': {
        QByteArray b = store::cp1252::fromUnicode(text);
        if (store::cp1252::toUnicode(b) != text)
            return error(QStringLiteral("\"%1\" tiene caracteres fuera de Windows-1252").arg(text));
        if (b.size() > f.len)
            return error(QStringLiteral("\"%1\" no cabe en %2 (%3)").arg(text, QString::fromLatin1(f.name)).arg(f.len));
        if (rightAligned(f.name))
            b.prepend(QByteArray(f.len - b.size(), ' '));
        *out = Value::text(b);
        return {};
    }
    case 'N': {
        bool ok = true;
        *out = Value::number(text.isEmpty() ? 0 : text.toDouble(&ok));
        return ok ? Status() : error(QStringLiteral("\"%1\" no es un número").arg(text));
    }
    case 'D': {
        const QDate d = QDate::fromString(text, QStringLiteral("yyyyMMdd"));
        if (!text.isEmpty() && !d.isValid())
            return error(QStringLiteral("\"%1\" no es una fecha aaaammdd").arg(text));
        *out = Value::date(d);
        return {};
    }
    case 'L':
        if (text != QLatin1String("T") && text != QLatin1String("F") && !text.isEmpty())
            return error(QStringLiteral("\"%1\" no es T ni F").arg(text));
        *out = Value::logical(text == QLatin1String("T"));
        return {};
    default:
        return error(QStringLiteral("El campo %1 no se carga desde texto").arg(QString::fromLatin1(f.name)));
    }
}

Status load(WorkArea* a, const QString& path, int* count)
{
    Csv csv;
    if (Status s = readCsv(path, &csv); !s)
        return s;
    std::vector<int> fields;
    for (const QString& name : csv.header) {
        const int i = a->fieldPos(name);
        if (i < 0)
            return error(QStringLiteral("%1: la tabla %2 no tiene el campo %3").arg(path, a->alias(), name));
        fields.push_back(i);
    }
    for (const auto& [line, values] : csv.rows) {
        if (Status s = a->append(); !s)
            return s;
        for (size_t c = 0; c < fields.size(); ++c) {
            Value v;
            if (Status s = typed(a->field(fields[c]), values[int(c)], &v); !s)
                return error(QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(s.message()));
            if (Status s = a->put(fields[c], v); !s)
                return s;
        }
        if (Status s = a->unlock(); !s)
            return s;
        ++*count;
    }
    return {};
}

struct Deleted {
    QByteArray code;
    qint64 from = 0, to = 0;
};

Status appendPrefix(WorkArea* pfx, const QByteArray& prefix, const QByteArray& code)
{
    if (Status s = pfx->append(); !s)
        return s;
    pfx->put(QStringLiteral("PFX"), Value::text(prefix));
    pfx->put(QStringLiteral("CODENT"), Value::text(code));
    return pfx->unlock();
}

// The prefixes of deleted entities, after the current ones: where a prefix is
// new, the entity it resolves to today comes first so current calls keep their
// entity; the deleted entity's record follows, which is where the resolution
// looks when the first one is not valid at the date.
Status appendDeletedPrefixes(const QString& path, WorkArea* ent, WorkArea* pfx, int* added)
{
    Csv csv;
    if (Status s = readCsv(path, &csv); !s)
        return s;
    if (csv.header != QStringList{QStringLiteral("DXCC"), QStringLiteral("PFX")})
        return error(QStringLiteral("%1: se esperaban los campos DXCC;PFX").arg(path));
    QHash<QByteArray, Deleted> byDxcc;
    QHash<QByteArray, Deleted> byCode;
    detail::ensureOrder(ent, "CodEnt");
    for (ent->goTop(); !ent->eof(); ent->skip()) {
        Deleted d{ent->value(QStringLiteral("CODENT")).bytes(), ent->value(QStringLiteral("FALTA")).julianDay(),
                  ent->value(QStringLiteral("FBAJA")).julianDay()};
        byDxcc.insert(ent->value(QStringLiteral("DXCC")).bytes(), d);
        byCode.insert(d.code, d);
    }
    std::vector<QByteArray> order;
    std::map<QByteArray, std::vector<Deleted>> groups;
    for (const auto& [line, values] : csv.rows) {
        const QByteArray dxcc = values[0].toLatin1(), prefix = values[1].trimmed().toUpper().toLatin1();
        if (!byDxcc.contains(dxcc) || prefix.isEmpty() || prefix.size() > 10)
            return error(QStringLiteral("%1:%2: entidad %3 o prefijo %4 no válidos").arg(path).arg(line).arg(values[0], values[1]));
        if (!groups.count(prefix))
            order.push_back(prefix);
        groups[prefix].push_back(byDxcc.value(dxcc));
    }
    detail::ensureOrder(pfx, "Pfx");
    for (const QByteArray& prefix : order) {
        pfx->seek(Value::text(detail::padded(prefix, 10)));
        QByteArray current;
        bool present = pfx->found();
        if (present) {
            current = pfx->value(QStringLiteral("CODENT")).bytes();
        } else {
            const QString today = dxccByTable(QString::fromLatin1(prefix), QDate::currentDate());
            if (!today.isEmpty() && today != QLatin1String("  0"))
                current = today.toLatin1();
        }
        const qint64 currentFrom = byCode.value(current).from;
        std::vector<Deleted>& g = groups[prefix];
        // first the entity that ended before the current one began, then the latest
        std::stable_sort(g.begin(), g.end(), [currentFrom](const Deleted& a, const Deleted& b) {
            const bool aAfter = currentFrom > 0 && a.to >= currentFrom, bAfter = currentFrom > 0 && b.to >= currentFrom;
            return aAfter != bAfter ? !aAfter : a.to > b.to;
        });
        if (!present && !current.isEmpty()) {
            if (Status s = appendPrefix(pfx, prefix, current); !s)
                return s;
            ++*added;
        }
        for (const Deleted& d : g) {
            if (Status s = appendPrefix(pfx, prefix, d.code); !s)
                return s;
            ++*added;
        }
    }
    return {};
}

} // namespace

Status buildShippedTables(const QString& sourceDir, const QString& outDir, QStringList* report)
{
    QStringList lines;
    const QString src = sourceDir.endsWith(QLatin1Char('/')) ? sourceDir : sourceDir + QLatin1Char('/');
    const QString out = outDir.endsWith(QLatin1Char('/')) ? outDir : outDir + QLatin1Char('/');
    if (!QDir().mkpath(out))
        return {StatusCode::IoError, QStringLiteral("No se puede crear %1").arg(out)};
    const QString stamp = out + QStringLiteral("orlanlog-refdata.stamp");
    QFile::remove(stamp);

    namespace cat = store::catalogue;
    const std::vector<std::pair<cat::TableDef, const char*>> tables = {
        {cat::ent(), "ent.csv"},       {cat::pfx(), nullptr},           {cat::iota(), "iota.csv"},
        {cat::prv(), "prv.csv"},       {cat::subprv(), "subprv.csv"},   {cat::band(), "band.csv"},
        {cat::modo(), "modo.csv"},     {cat::propa(), "propa.csv"},     {cat::bandMap(), "bandmap.csv"},
        {cat::cluster(), "cluster.csv"}, {cat::frmQsl(), nullptr},      {cat::vhfdb(), nullptr},
        {cat::dplCfg(), "dplcfg.csv"}, {cat::dplCab(), "dplcab.csv"},  {cat::dplDet(), "dpldet.csv"},
    };
    store::Workspace& ws = store::Workspace::instance();
    if (ws.area(store::alias::kEnt) || ws.area(store::alias::kPfx))
        return {StatusCode::Busy, QStringLiteral("Las tablas ENT y Pfx de la sesión están abiertas")};
    const QString dataBefore = ws.dataDir();
    ws.setDataDir(out);
    auto finish = [&](Status s) {
        ws.close(QStringLiteral("ENT"));
        ws.close(QStringLiteral("Pfx"));
        ws.close(QStringLiteral("_load"));
        ws.setDataDir(dataBefore);
        dropResolutionImage();
        if (report)
            *report = lines;
        return s;
    };

    for (const auto& [def, csv] : tables) {
        const QString path = out + def.name + QStringLiteral(".dbf");
        if (Status s = cat::create(def, path); !s)
            return finish(s);
        if (!csv)
            continue;
        WorkArea* a = nullptr;
        if (Status s = ws.use(path, {.alias = QStringLiteral("_load"), .shared = false}, &a); !s)
            return finish(s);
        int count = 0;
        Status s = load(a, src + QString::fromLatin1(csv), &count);
        ws.close(QStringLiteral("_load"));
        if (!s)
            return finish(s);
        lines << QStringLiteral("%1: %2 registros").arg(def.name).arg(count);
    }

    // the prefixes: the shipped CTY.DAT through the import, then the deleted entities
    WorkArea* ent = nullptr;
    WorkArea* pfx = nullptr;
    if (Status s = ws.use(out + QStringLiteral("ENT.dbf"), {.alias = QStringLiteral("ENT"), .shared = false}, &ent); !s)
        return finish(s);
    if (Status s = ws.use(out + QStringLiteral("PFX.dbf"), {.alias = QStringLiteral("Pfx"), .shared = false}, &pfx); !s)
        return finish(s);
    ui::SilentMeter meter;
    CtyImportResult r;
    if (!CTYIMP(meter, true, src + QStringLiteral("cty.dat"), &r))
        return finish(error(QStringLiteral("No se pudo importar %1cty.dat").arg(src)));
    int deleted = 0;
    if (Status s = appendDeletedPrefixes(src + QStringLiteral("pfx_deleted.csv"), ent, pfx, &deleted); !s)
        return finish(s);
    lines << QStringLiteral("PFX: %1 registros (%2 de CTY.DAT %3, %4 de entidades borradas; %5 registros de CTY.DAT sin entidad)")
                 .arg(pfx->recCount())
                 .arg(r.added)
                 .arg(CTYVER())
                 .arg(deleted)
                 .arg(r.skipped);

    QFile f(stamp);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n') < 0)
        return finish({StatusCode::IoError, QStringLiteral("No se puede escribir %1").arg(stamp)});
    return finish({});
}

} // namespace refdata
