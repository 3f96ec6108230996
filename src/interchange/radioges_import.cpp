#include "radioges_import.h"
#include "draft_store.h"

#include "import_summary.h"

#include "core/messages.h"
#include "refdata/bands.h"
#include "refdata/resolve.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/codepage.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace interchange {

namespace {

using store::Value;
using store::WorkArea;

store::Workspace& ws() { return store::Workspace::instance(); }

Value text(const QString& s) { return Value::text(store::cp1252::fromUnicode(s)); }

// Upper case without the accents the table's names are written without.
QString plainUpper(const QString& s)
{
    QString out = s.trimmed().toUpper();
    static const QHash<QChar, QChar> plain = {{u'Á', u'A'}, {u'É', u'E'}, {u'Í', u'I'}, {u'Ó', u'O'}, {u'Ú', u'U'},
                                              {u'Ü', u'U'}, {u'À', u'A'}, {u'È', u'E'}, {u'Ò', u'O'}, {u'Ï', u'I'}};
    for (QChar& c : out)
        c = plain.value(c, c);
    return out;
}

// The entity fields of a code, read once per run.
const QsoDraft::Entity& entityByCode(QsoDraft& qso, const QByteArray& code)
{
    const auto it = qso.entityByCode.find(code);
    if (it != qso.entityByCode.end())
        return it->second;
    QsoDraft::Entity e;
    if (WorkArea* ent = ws().area(store::alias::kEnt)) {
        ent->setOrder(QStringLiteral("CodEnt"));
        if (ent->seek(Value::text(code)) && ent->found()) {
            e.found = true;
            e.code = code;
            e.cont = ent->value(QStringLiteral("CONT"));
            e.ituz = ent->value(QStringLiteral("ITUZ"));
            e.cqz = ent->value(QStringLiteral("CQZ"));
            e.dxcc = ent->value(QStringLiteral("DXCC"));
        }
    }
    return qso.entityByCode.emplace(code, std::move(e)).first->second;
}

// A number right-aligned in the field (" 5").
Value rightAligned(const QsoDraft& qso, const char* field, const QVariant& v)
{
    QString s = RSCHAR(v).trimmed();
    bool number = false;
    const double n = s.toDouble(&number);
    if (number)
        s = QString::number(qint64(n));
    return text(s.rightJustified(qso.width(field), QLatin1Char(' '), true));
}

} // namespace

QString RSCHAR(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDateTime: return value.toDateTime().toString(QStringLiteral("dd-MM-yyyy HH:mm"));
    case QMetaType::Double: {
        const double d = value.toDouble();
        return d == qint64(d) ? QString::number(qint64(d)) : QString::number(d, 'g', 15);
    }
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default: return value.toString();
    }
}

QDate RSDATE(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    if (value.typeId() == QMetaType::QDate)
        return value.toDate();
    // a date kept as text: dd/mm/yyyy or yyyy-mm-dd
    const QString s = value.toString().trimmed();
    for (const char* f : {"dd/MM/yyyy", "d/M/yyyy", "dd-MM-yyyy", "yyyy-MM-dd", "yyyyMMdd"}) {
        const QDate d = QDate::fromString(s.left(QString::fromLatin1(f).size() + 2).section(QLatin1Char(' '), 0, 0),
                                          QString::fromLatin1(f));
        if (d.isValid())
            return d;
    }
    return {};
}

QString CODPRV(const QString& province)
{
    static const QHash<QString, QString> codes = [] {
        const std::pair<const char*, const char*> table[] = {
            {"ALAVA", "VI"},     {"ARABA", "VI"},       {"ALBACETE", "AB"},    {"ALICANTE", "A"},    {"ALACANT", "A"},
            {"ALMERIA", "AL"},   {"AVILA", "AV"},       {"BADAJOZ", "BA"},     {"BALEARES", "IB"},   {"ILLES BALEARS", "IB"},
            {"BARCELONA", "B"},  {"BURGOS", "BU"},      {"CACERES", "CC"},     {"CADIZ", "CA"},      {"CASTELLON", "CS"},
            {"CASTELLO", "CS"},  {"CIUDAD REAL", "CR"}, {"CORDOBA", "CO"},     {"LA CORUÑA", "C"},   {"CUENCA", "CU"},
            {"GERONA", "GI"},    {"GIRONA", "GI"},      {"GRANADA", "GR"},     {"GUADALAJARA", "GU"}, {"GUIPUZCOA", "SS"},
            {"HUELVA", "H"},     {"HUESCA", "HU"},      {"JAEN", "J"},         {"LEON", "LE"},       {"LERIDA", "L"},
            {"LLEIDA", "L"},     {"LOGROÑO", "LO"},     {"LA RIOJA", "LO"},    {"LUGO", "LU"},       {"MADRID", "M"},
            {"MALAGA", "MA"},    {"MURCIA", "MU"},      {"NAVARRA", "NA"},     {"ORENSE", "OU"},     {"OVIEDO", "O"},
            {"ASTURIAS", "O"},   {"PALENCIA", "P"},     {"LAS PALMAS", "GC"},  {"PONTEVEDRA", "PO"}, {"SALAMANCA", "SA"},
            {"TENERIFE", "TF"},  {"SANTANDER", "S"},    {"CANTABRIA", "S"},    {"SEGOVIA", "SG"},    {"SEVILLA", "SE"},
            {"TARRAGONA", "T"},  {"TERUEL", "TE"},      {"TOLEDO", "TO"},      {"VALENCIA", "V"},    {"VIZCAYA", "BI"},
            {"ZAMORA", "ZA"},    {"ZARAGOZA", "Z"},     {"CEUTA", "CE"},       {"MELLILLA", "ML"},
            // "MELLILLA" as the table has it, and the city's own spelling
            {"MELILLA", "ML"}};
        QHash<QString, QString> h;
        for (const auto& [name, code] : table)
            h.insert(QString::fromUtf8(name), QString::fromLatin1(code));
        return h;
    }();
    return codes.value(plainUpper(province));
}

QString radiogesCall(const QString& call, const QString& bar)
{
    const QString c = call.trimmed();
    const QString b = bar.trimmed();
    if (b.isEmpty())
        return c;
    if (b.startsWith(QLatin1Char('/')))
        return c + b;
    const QStringList parts = b.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.size() >= 2)
        return parts[0] + QLatin1Char('/') + c + QLatin1Char('/') + parts[1];
    return b + c;
}

double radiogesFrequency(const QString& text)
{
    // the leading number, read with a point or a comma before the decimals
    QString number;
    bool point = false;
    for (QChar c : text.trimmed()) {
        if (c.isDigit())
            number += c;
        else if ((c == QLatin1Char('.') || c == QLatin1Char(',')) && !point) {
            number += QLatin1Char('.');
            point = true;
        } else
            break;
    }
    return number.toDouble();
}

void RGADDREC(QsoDraft& qso, const AccessRow& row, const RadiogesImportOptions& opt)
{
    qso.clear();
    const auto col = [&row](const char* name) { return RSCHAR(row.value(QString::fromLatin1(name))); };
    const auto put = [&qso](const char* field, const QString& s) { qso.set(field, text(s)); };

    qso.set("QSODATE", Value::date(RSDATE(row.value(QStringLiteral("FechaQso")))));
    // the hour as stored; an Access time value as hours and minutes
    const QVariant hour = row.value(QStringLiteral("HoraQso"));
    put("TIMEON", hour.typeId() == QMetaType::QDateTime ? hour.toDateTime().toString(QStringLiteral("HH:mm")) : RSCHAR(hour));
    put("CALL", radiogesCall(col("Indicativo"), col("Barra")).toUpper());
    put("NAME", col("Operador"));
    const double freq = radiogesFrequency(col("Banda"));
    qso.set("FREQ", Value::number(freq));
    if (freq > 0)
        put("BAND", refdata::BAND(freq));
    put("MODE", col("Modo"));
    put("RSTSENT", col("RsEnviado"));
    put("RSTRCVD", col("RsRecibido"));
    put("GRIDSQUARE", col("QraLocatorRecibido"));
    put("QRA", col("QraLocatorEnviado"));
    const QDate sent = RSDATE(row.value(QStringLiteral("FechaEnvioQsl")));
    const QDate received = RSDATE(row.value(QStringLiteral("FechaReciboQsl")));
    qso.set("QSLSDATE", Value::date(sent));
    qso.set("QSLRDATE", Value::date(received));
    put("QSLVIA", col("QslManager"));
    put("COMMENT", col("Notas"));
    put("QTH", col("Pueblo"));
    put("CONT", col("Continente"));
    qso.set("CQZ", rightAligned(qso, "CQZ", row.value(QStringLiteral("WAZ"))));
    qso.set("ITUZ", rightAligned(qso, "ITUZ", row.value(QStringLiteral("ITU"))));
    put("OPERATOR", col("IndicativoPropio"));
    put("CONTESTID", col("Concurso"));
    put("SRX", col("NumeralRecibido"));
    put("STX", col("LiteralRecibido"));

    put("QSLSENT", sent.isValid() ? QStringLiteral("Y") : QStringLiteral("N"));
    put("QSLRCVD", received.isValid() ? QStringLiteral("Y") : QStringLiteral("N"));
    if (qso.empty("OPERATOR"))
        put("OPERATOR", opt.defaultOperator);

    // what the call and the entity table say, where the row said nothing
    const QString call = store::cp1252::toUnicode(qso.text("CALL"));
    if (!call.isEmpty()) {
        if (qso.empty("PFX"))
            put("PFX", refdata::PFX(call));
        if (qso.empty("CODENT")) {
            const QDate d = qso.get("QSODATE").toDate();
            put("CODENT", refdata::DXCC(call, d.isValid() ? d : QDate::currentDate()));
        }
    }
    const QByteArray code = qso.get("CODENT").bytes();
    if (!code.trimmed().isEmpty()) {
        const QsoDraft::Entity& e = entityByCode(qso, code.rightJustified(3, ' '));
        if (e.found) {
            const std::pair<const char*, const Value*> fields[] = {
                {"CONT", &e.cont}, {"ITUZ", &e.ituz}, {"CQZ", &e.cqz}, {"DXCC", &e.dxcc}};
            for (const auto& [f, v] : fields)
                if (qso.empty(f))
                    qso.set(f, *v);
        }
    }

    const QString province = col("Provincia");
    const QString code2 = CODPRV(province);
    put("CODPRV", code2.isEmpty() ? province.trimmed().toUpper() : code2);
    put("CNTY", col("CodigoMunicipio").remove(QChar(3)));
}

RadiogesImportResult RGIMPROWS(ui::Meter& meter, const RadiogesImportOptions& opt, qint64 total,
                               const std::function<bool(AccessRow*)>& next, const std::function<qint64()>& rowsMissing)
{
    RadiogesImportResult r;
    ui::Messages& msg = ui::messages();
    WorkArea* log = ws().area(store::alias::kLog);
    if (!log) {
        msg.stop(QStringLiteral("No hay libro de guardia abierto"));
        return r;
    }
    r.ok = true;
    meter.setTotal(total);
    QsoDraft qso(log);
    ImportSummary done;
    AccessRow row;
    qint64 position = 0;
    bool ended = false;
    DraftStore out(log, opt, &done);
    while (true) {
        if (meter.cancelled()) {
            r.cancelled = true;
            break;
        }
        if (!next(&row)) {
            ended = true;
            break;
        }
        meter.setPosition(++position);
        RGADDREC(qso, row, opt);
        if (qso.empty("CALL") || (opt.dupCheck && CHKDUP(qso))) {
            ++r.dropped;
            continue;
        }
        if (!out.store(qso))
            break;
    }
    out.finish();
    r.imported = out.stored();
    // a damaged database ends its rows early: the user hears that the rest did not come
    if (ended && rowsMissing && rowsMissing() > 0)
        done.interrupted = true;
    r.complete = !r.cancelled && !done.interrupted && !done.indexUnwritten;
    done.imported = r.imported;
    r.message = importMessage(done);
    msg.info(r.message);
    log->goBottom();
    return r;
}

RadiogesImportResult RGIMP(ui::Meter& meter, const RadiogesImportOptions& opt)
{
    ui::Messages& msg = ui::messages();
    if (!QFileInfo(opt.path).isFile()) {
        msg.stop(opt.path + QStringLiteral("\r\nFichero no existe"));
        return {};
    }
    if (QFile f(opt.path); !f.open(QIODevice::ReadOnly)) {
        msg.stop(QStringLiteral("Error de aperturar"));
        return {};
    }
    QString why;
    std::unique_ptr<AccessDatabase> db = AccessDatabase::open(opt.path, &why);
    if (!db || !db->openTable(QStringLiteral("LibroGuardia"), &why)) {
        msg.stop(QStringLiteral("Formato RG no reconocido\r\nProceso se aborta\r\n") + why);
        return {};
    }
    AccessDatabase* source = db.get();
    return RGIMPROWS(
        meter, opt, db->rowCount(), [source](AccessRow* row) { return source->next(row); },
        [source] { return source->rowCount() - source->rowsRead(); });
}

} // namespace interchange
