#include "adif_export.h"

#include "store/access.h"
#include "store/aliases.h"
#include "store/codepage.h"
#include "store/qso_record.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "core/messages.h"

#include <QSaveFile>

#include <functional>

#include <cstdio>

namespace interchange {

using store::Value;
using store::WorkArea;

namespace {

store::Workspace& ws() { return store::Workspace::instance(); }

const QByteArray kCrLf("\r\n");

struct Column {
    const char* tag;
    const char* field;
    char type;      // 0 by value, 'T' time
};

// The record layout, in the order the line is written.
const Column kColumns[] = {
    {"AGE", "AGE", 0},           {"BAND", "BAND", 0},          {"CALL", "CALL", 0},
    {"CNTY", "CNTY", 0},         {"COMMENT", "COMMENT", 0},    {"CONT", "CONT", 0},
    {"CONTEST_ID", "CONTESTID", 0}, {"CQZ", "CQZ", 0},         {"FREQ", "FREQ", 0},
    {"GRIDSQUARE", "GRIDSQUARE", 0}, {"IOTA", "IOTA", 0},      {"ITUZ", "ITUZ", 0},
    {"MODE", "MODE", 0},         {"NAME", "NAME", 0},          {"OPERATOR", "OPERATOR", 0},
    {"PFX", "PFX", 0},           {"PROP_MODE", "PROPMODE", 0}, {"QSLRDATE", "QSLRDATE", 0},
    {"QSLSDATE", "QSLSDATE", 0}, {"QSL_RCVD", "QSLRCVD", 0},   {"QSL_SENT", "QSLSENT", 0},
    {"EQSL_QSL_SENT", "EQSLSENT", 0}, {"EQSL_QSL_RCVD", "EQSLRCVD", 0},
    {"LOTW_QSL_SENT", "LOTWSENT", 0}, {"LOTW_QSL_RCVD", "LOTWRCVD", 0},
    {"LOTW_QSLRDATE", "LOTWRDATE", 0}, {"LOTW_QSLSDATE", "LOTWSDATE", 0},
    {"QSL_VIA", "QSLVIA", 0},    {"QSO_DATE", "QSODATE", 0},   {"QTH", "QTH", 0},
    {"RST_RCVD", "RSTRCVD", 0},  {"RST_SENT", "RSTSENT", 0},   {"RX_PWR", "RXPWR", 0},
    {"SAT_MODE", "SATMODE", 0},  {"SAT_NAME", "SATNAME", 0},   {"SRX", "SRX", 0},
    {"STX", "STX", 0},           {"TEN_TEN", "TENTEN", 0},     {"TIME_OFF", "TIMEOFF", 'T'},
    {"TIME_ON", "TIMEON", 'T'},  {"TX_PWR", "TXPWR", 0},       {"STATE", "CODPRV", 0},
    {"JCC", "JCC", 0},           {"JCG", "JCG", 0},            {"DXCC", "DXCC", 0},
    {"MY_GRIDSQUARE", "QRA", 0}, {"QSL_SENT_VIA", "QSLMODE", 0},
};

QByteArray trimmed(const QByteArray& b)
{
    return b.trimmed();
}

QString dmy(const QDate& d)
{
    return d.toString(QStringLiteral("dd-MM-yy"));
}

// "SI": only "Y"; "NO": anything but "Y" (no card, requested, queued, ignored).
bool qslPasses(const QString& choice, const QByteArray& flag)
{
    const QString c = choice.trimmed().toUpper();
    if (c.isEmpty())
        return true;
    const bool yes = flag.trimmed() == "Y";
    return c == QLatin1String("SI") ? yes : !yes;
}

} // namespace

QString adifFileName(const QString& book)
{
    return book.trimmed().toLower() + QStringLiteral(".adi");
}

QByteArray FLD(const QByteArray& tagPrefix, const Value& value, char type, int dec)
{
    QByteArray v;
    if (type == 'T') {
        const QByteArray t = value.bytes().trimmed();
        const qsizetype colon = t.indexOf(':');
        const QByteArray hh = (colon >= 0 ? t.left(colon) : t.left(2)).trimmed();
        const QByteArray mm = (colon >= 0 ? t.mid(colon + 1) : t.mid(2)).trimmed();
        if (hh.isEmpty() && mm.isEmpty())
            return {};
        v = hh.rightJustified(2, '0') + mm + "00";
    } else {
        switch (value.type()) {
        case Value::Type::Char:
            v = trimmed(value.bytes());
            break;
        case Value::Type::Number: {
            if (value.toNumber() == 0)
                return {};
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.*f", dec, value.toNumber());
            v = QByteArray(buf).trimmed();
            break;
        }
        case Value::Type::Date:
            if (!value.toDate().isValid())
                return {};
            v = value.toDate().toString(QStringLiteral("yyyyMMdd")).toLatin1();
            break;
        case Value::Type::Logical:
            if (!value.toBool())
                return {};
            v = "1";
            break;
        case Value::Type::Nil:
            return {};
        }
    }
    if (v.isEmpty())
        return {};
    return tagPrefix + QByteArray::number(v.size()) + '>' + v;
}

QByteArray adifHeader(const AdifIdentity& id, const QDateTime& now)
{
    const QString appl = id.appl.toUpper();
    const QStringList lines = {
        QStringLiteral("Exportacion a Formato ADIF de ") + id.name + QLatin1Char(' ') + id.ver,
        QStringLiteral("Programa de libro de guardia para radioaficionados"),
        QStringLiteral("Contacto: los autores de ") + id.name,
        QStringLiteral("Exportación generada ") + dmy(now.date()) + QLatin1Char(' ') +
            now.time().toString(QStringLiteral("HH:mm:ss")),
        QString(),
        QString(),
        QStringLiteral("<ADIF_VER:3>2.0"),
        QStringLiteral("<PROGRAMID:%1>%2").arg(appl.size()).arg(appl),
        QStringLiteral("<EOH>"),
        QString(),
    };
    return store::cp1252::fromUnicode(lines.join(QStringLiteral("\r\n")));
}

QByteArray adifRecord(WorkArea& a, const QString& appl)
{
    QByteArray line;
    line.reserve(256);
    for (const Column& c : kColumns) {
        const int i = a.fieldPos(QString::fromLatin1(c.field));
        if (i < 0)
            continue;
        line += FLD('<' + QByteArray(c.tag) + ':', a.value(i), c.type, a.field(i).dec);
    }
    const QByteArray app = "<APP_" + appl.toUpper().toLatin1() + '_';
    line += FLD(app + "LP:", a.value(QStringLiteral("LP")));
    line += FLD(app + "PRNQSL:", a.value(QStringLiteral("PRNQSL")));
    line += "<EOR>";
    return line;
}

bool EXPSELREC(WorkArea& a, const AdifSelection& sel)
{
    auto same = [&](const char* field, const QString& choice) {
        const QByteArray want = store::cp1252::fromUnicode(choice);
        QByteArray have = a.value(QString::fromLatin1(field)).bytes();
        // the whole fixed-width field: the choice is padded like the field
        QByteArray w = want;
        if (w.size() < have.size())
            w += QByteArray(have.size() - w.size(), ' ');
        return have == w;
    };
    if (!sel.mode.isEmpty() && !same("MODE", sel.mode))
        return false;
    if (!sel.band.isEmpty() && !same("BAND", sel.band))
        return false;
    if (!sel.oper.trimmed().isEmpty()) {
        QByteArray have = a.value(QStringLiteral("OPERATOR")).bytes();
        while (!have.isEmpty() && have.back() == ' ')
            have.chop(1);
        QString want = sel.oper;
        while (want.endsWith(QLatin1Char(' ')))
            want.chop(1);
        if (have != store::cp1252::fromUnicode(want))
            return false;
    }
    if (!qslPasses(sel.qslRcvd, a.value(QStringLiteral("QSLRCVD")).bytes()))
        return false;
    if (!qslPasses(sel.qslSent, a.value(QStringLiteral("QSLSENT")).bytes()))
        return false;
    if (sel.confirmed.isValid() && a.date(QStringLiteral("QSLSDATE")) != sel.confirmed)
        return false;
    return true;
}

int EXPADDREC(QIODevice& out, ui::Meter* meter, const AdifSelection& sel, const QString& alias,
              const AdifIdentity& id, bool all)
{
    WorkArea* a = ws().area(alias.isEmpty() ? QStringLiteral("Log") : alias);
    if (!a)
        return 0;
    const quint32 start = a->eof() ? 0 : a->recNo();
    // The walk follows the controlling tag: a tag that does not stand for the
    // table would leave QSOs out or write some twice.
    if (a->order() > 0)
        if (store::Status s = a->table().checkTag(a->table().cdx()->tag(a->order() - 1)); !s) {
            ui::messages().stop(s.text() + QStringLiteral("\r\nReorganice el libro antes de exportar."));
            return -1;
        }
    if (meter)
        meter->setTotal(a->keyCount());
    int written = 0;
    qint64 seen = 0;
    store::ReadWalk walk(*a);
    store::Status moved;
    for (moved = a->goTop(); moved && !a->eof(); moved = a->skip()) {
        ++seen;
        if (meter && (seen & 63) == 0) {
            meter->setPosition(seen);
            meter->setText(a->str(QStringLiteral("CALL")).trimmed());
        }
        if (!store::isQso(*a) || (!all && !EXPSELREC(*a, sel)))
            continue;
        out.write(kCrLf);
        out.write(adifRecord(*a, id.appl));
        ++written;
    }
    if (meter)
        meter->setPosition(seen);
    if (start)
        a->goTo(start);
    if (!moved) {
        ui::messages().stop(moved.text());
        return -1;
    }
    return written;
}

namespace {

// Writes the header and what `records` writes through a temporary file that
// takes the place of `path` only once complete: a failed export leaves the
// file that was there before. The failure is told to the user.
bool writeAdifFile(const QString& path, const AdifIdentity& id, const std::function<int(QIODevice&, ui::Meter&)>& records,
                   int* written)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        ui::messages().stop(QStringLiteral("No se puede crear el fichero ") + path);
        return false;
    }
    out.write(adifHeader(id));
    ui::messages().meter([&](ui::Meter& m) { *written = records(out, m); }, QString(), QStringLiteral("Exportando ADIF ..."));
    if (*written < 0) {
        // the table could not be read as it should: no half export takes the file's place
        out.cancelWriting();
        out.commit();
        *written = 0;
        return false;
    }
    if (!out.commit()) {
        ui::messages().stop(QStringLiteral("Error al escribir el fichero ") + path + QStringLiteral(": ") + out.errorString());
        return false;
    }
    return true;
}

} // namespace

AdifExportResult ADIFEXP(const QString& pathIn, const AdifSelection& sel, const AdifIdentity& id)
{
    AdifExportResult r;
    const QString path = pathIn.trimmed();
    WorkArea* log = ws().area(store::alias::kLog);
    if (!log) {
        ui::messages().stop(QStringLiteral("No hay libro de guardia abierto"));
        return r;
    }
    if (path.isEmpty()) {
        ui::messages().info(QStringLiteral("No ha seleccionado fichero destino\r\nProceso se aborta"),
                            id.name + QStringLiteral(" Exportación ADIF"));
        return r;
    }
    const quint32 rec = log->eof() ? 0 : log->recNo();
    const QByteArray order = log->orderName();
    if (sel.from.isValid()) {
        log->setOrder(QStringLiteral("QsoDateTimeOn"));
        const QDate to = sel.to.isValid() ? sel.to : sel.from;
        log->setScope(Value::text(sel.from.toString(QStringLiteral("yyyyMMdd")).toLatin1()),
                      Value::text(to.toString(QStringLiteral("yyyyMMdd")).toLatin1()));
    }
    r.ok = writeAdifFile(
        path, id, [&](QIODevice& out, ui::Meter& m) { return EXPADDREC(out, &m, sel, QStringLiteral("Log"), id); },
        &r.exported);
    log->clearScope();
    log->setOrder(QString::fromLatin1(order));
    if (rec)
        log->goTo(rec);
    else
        log->goBottom();
    if (r.ok)
        ui::messages().info(QStringLiteral("Exportacion completa"));
    return r;
}

AdifExportResult ADIEXPSPOOL(const QString& pathIn, const AdifIdentity& id)
{
    AdifExportResult r;
    const QString path = pathIn.trimmed();
    const QString title = id.name + QStringLiteral(" Exportación ADIF");
    if (path.isEmpty()) {
        ui::messages().info(QStringLiteral("No ha seleccionado fichero destino\r\nProceso se aborta"), title);
        return r;
    }
    WorkArea* spool = ws().area(store::alias::kLogSpool);
    if (!spool) {
        ui::messages().stop(QStringLiteral("No hay libro de guardia abierto"));
        return r;
    }
    r.ok = writeAdifFile(
        path, id,
        [&](QIODevice& out, ui::Meter& m) { return EXPADDREC(out, &m, {}, QStringLiteral("LogSpool"), id, true); },
        &r.exported);
    if (!r.ok)
        return r;
    ui::messages().info(QStringLiteral("Exportacion completa"));

    if (!ui::messages().yesNo(QStringLiteral("Marcar QSLs como enviadas"), title))
        return r;
    const int via = ui::messages().list({QStringLiteral("Buro"), QStringLiteral("Directa"), QStringLiteral("Electronica")},
                                        QStringLiteral("Enviadas via"));
    if (via < 0 || via > 2) {
        ui::messages().info(QStringLiteral("No ha elegido la vía de envío\r\nNo se ha marcado ninguna QSL como enviada"),
                            title);
        return r;
    }
    const QByteArray mode = QByteArray(1, "BDE"[via]);
    // Marking takes each QSO out of the queue (PRNQSL false), so the next one is always the top.
    // What was not exported (a record without call) is not marked either.
    std::vector<quint32> recs;
    for (spool->goTop(); !spool->eof(); spool->skip())
        if (store::isQso(*spool))
            recs.push_back(spool->recNo());
    ws().select(QStringLiteral("LogSpool"));
    for (quint32 rec : recs) {
        spool->goTo(rec);
        if (!store::RECLOCK())
            continue;
        spool->put(QStringLiteral("PRNQSL"), false);
        spool->put(QStringLiteral("QSLSENT"), Value::text(QByteArray("Y")));
        spool->put(QStringLiteral("QSLSDATE"), QDate::currentDate());
        spool->put(QStringLiteral("QSLMODE"), Value::text(mode));
        spool->put(QStringLiteral("NQSLTX"), spool->num(QStringLiteral("NQSLTX")) + 1);
        spool->unlock();
    }
    spool->goTop();     // the queue has changed under the record that was current
    return r;
}

} // namespace interchange
