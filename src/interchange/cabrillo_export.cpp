// Cabrillo export: header, one line per QSO in the contest's layout, end marker.
#include "cabrillo_export.h"

#include "refdata/bands.h"
#include "refdata/resolve.h"
#include "store/codepage.h"
#include "store/qso_record.h"
#include "store/workspace.h"
#include "core/messages.h"

#include <QSaveFile>

#include <cmath>

namespace interchange {

namespace {

using store::WorkArea;

const QString kRtty = QStringLiteral("CQ-WW-RTTY");
const QString kMajestad = QStringLiteral("EA-MAJESTAD-SSB");

// Pads on the right with blanks to width, cutting longer values.
QString pad(const QString& s, int width)
{
    return s.left(width).leftJustified(width, QLatin1Char(' '));
}

WorkArea* area(const char* alias)
{
    return store::Workspace::instance().area(QString::fromLatin1(alias));
}

QString field(WorkArea& a, const char* name)
{
    return a.str(QString::fromLatin1(name)).trimmed();
}

// The frequency text of a QSO without frequency: the band's lower edge in kHz,
// or for bands above 30 MHz the Cabrillo band designator.
QString bandEdge(const QString& band)
{
    static const std::pair<const char*, const char*> edges[] = {
        {"160M", "1800"}, {"80M", "3500"},  {"40M", "7000"},  {"20M", "14000"}, {"15M", "21000"},
        {"10M", "28000"}, {"60M", "5351"},  {"30M", "10100"}, {"17M", "18068"}, {"12M", "24890"},
        {"6M", "50"},     {"4M", "70"},     {"2M", "144"},    {"1.25M", "222"}, {"70CM", "432"},
        {"33CM", "902"},  {"23CM", "1.2G"}, {"13CM", "2.3G"}, {"9CM", "3.4G"},  {"6CM", "5.7G"},
        {"3CM", "10G"},
    };
    const QString b = band.trimmed().toUpper();
    for (const auto& [name, text] : edges)
        if (b == QLatin1String(name))
            return QString::fromLatin1(text);
    return {};
}

} // namespace

QStringList cabrilloContests()
{
    return {QStringLiteral("CQ-WW-SSB"), QStringLiteral("CQ-WW-CW"), kRtty, kMajestad};
}

QStringList cabrilloCategories()
{
    return {QStringLiteral("SINGLE-OP"), QStringLiteral("SINGLE-OP-ASSISTED"), QStringLiteral("MULTI-ONE"),
            QStringLiteral("MULTI-TWO"), QStringLiteral("MULTI-MULTI"), QStringLiteral("CHECKLOG")};
}

QStringList cabrilloBands()
{
    return {QStringLiteral("ALL"), QStringLiteral("160M"), QStringLiteral("80M"), QStringLiteral("40M"),
            QStringLiteral("20M"), QStringLiteral("15M"), QStringLiteral("10M")};
}

QStringList cabrilloPowers()
{
    return {QStringLiteral("HIGH"), QStringLiteral("LOW"), QStringLiteral("QRP"), QString()};
}

QByteArray cabrilloHeaderText(const CabrilloHeader& h)
{
    QString t;
    const QString crlf = QStringLiteral("\r\n");
    t += QStringLiteral("START-OF-LOG: 2.0") + crlf;
    t += QStringLiteral("CREATED BY:") + h.createdBy + crlf;
    t += QStringLiteral("CONTEST: ") + h.contest + crlf;
    t += QStringLiteral("CATEGORY: ") + h.category + QLatin1Char(' ') + h.band + QLatin1Char(' ') + h.power + crlf;
    t += QStringLiteral("CALLSIGN: ") + pad(h.call, 10) + crlf;
    t += QStringLiteral("NAME: ") + pad(h.name, 20) + crlf;
    t += QStringLiteral("ADDRESS: ") + pad(h.address1, 35) + crlf;
    t += QStringLiteral("ADDRESS: ") + pad(h.address2, 35) + crlf;
    t += QStringLiteral("SOAPBOX: ") + pad(h.soapbox1, 50) + crlf;
    t += QStringLiteral("SOAPBOX: ") + pad(h.soapbox2, 50) + crlf;
    return store::cp1252::fromUnicode(t);
}

QString FREQ(WorkArea& log)
{
    const double mhz = log.num(QStringLiteral("FREQ"));
    QString text;
    if (mhz > 0) {
        // The MHz value with three decimals, point removed: 14.195 -> 14195.
        const qint64 khz = qint64(std::llround(mhz * 1000.0));
        text = QString::number(khz);
        if (text.size() > 5) {
            // 100 MHz and above does not fit in kHz: the band designator, as contest logs write it.
            const QString edge = bandEdge(refdata::BAND(mhz));
            text = edge.isEmpty() ? text.left(5) : edge;
        }
    } else {
        text = bandEdge(field(log, "BAND"));
    }
    return text.rightJustified(5, QLatin1Char(' '));
}

QString MODO(WorkArea& log, const QString& contest)
{
    if (contest == kRtty)
        return QStringLiteral("RY");
    const QString mode = field(log, "MODE").toUpper();
    if (mode == QLatin1String("SSB"))
        return QStringLiteral("PH");
    if (mode == QLatin1String("CW"))
        return QStringLiteral("CW");
    return {};
}

QByteArray cabrilloQsoLine(WorkArea& log, const QString& ownCall, const QString& ownCqz, const QString& contest,
                           const QString& province)
{
    const QString b = QStringLiteral(" ");
    const QString freq = FREQ(log);
    const QString mode = MODO(log, contest);
    const QDate d = log.date(QStringLiteral("QSODATE"));
    const QString date = d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : QString();
    const QString time = field(log, "TIMEON").remove(QLatin1Char(':')).rightJustified(4, QLatin1Char('0'));
    const QString own = ownCall.trimmed();
    const QString call = field(log, "CALL");
    const QString rstS = field(log, "RSTSENT");
    const QString rstR = field(log, "RSTRCVD");
    QString line;
    if (contest == kRtty) {
        line = QStringLiteral("QSO: ") + freq + b + QStringLiteral("RY ") + date + b + time + b + pad(own, 13) + b +
               pad(rstS, 3) + b + pad(ownCqz.trimmed(), 2) + QStringLiteral("  DX  ") + pad(call, 13) + b +
               pad(rstR, 3) + b + pad(field(log, "SRX"), 2) + QStringLiteral("  ") + pad(field(log, "CODPRV"), 3) +
               QStringLiteral(" 0");
    } else if (contest == kMajestad) {
        line = QStringLiteral("QSO: ") + freq + b + mode + b + date + b + time + b + pad(own, 13) + b + pad(rstS, 3) +
               b + pad(province.trimmed(), 2) + QStringLiteral("     ") + pad(call, 13) + b + pad(rstR, 3) + b +
               pad(field(log, "CODPRV"), 3) + b;
    } else {
        line = QStringLiteral("QSO: ") + freq + b + mode + b + date + b + time + b + pad(own, 13) + b + pad(rstS, 3) +
               b + pad(ownCqz.trimmed(), 6) + b + pad(call, 13) + b + pad(rstR, 3) + b + pad(field(log, "CQZ"), 6);
    }
    return store::cp1252::fromUnicode(line);
}

int GRABACABRILLO(QIODevice& out, const QString& ownCall, const QString& ownCqz, const QString& contest,
                  const QString& province)
{
    WorkArea* log = area("Log");
    if (!log)
        return -1;
    int count = 0;
    store::ReadWalk walk(*log);
    store::Status moved;
    for (moved = log->goTop(); moved && !log->eof(); moved = log->skip()) {
        if (!store::isQso(*log))
            continue;
        const QByteArray line = cabrilloQsoLine(*log, ownCall, ownCqz, contest, province);
        if (out.write(line) != line.size() || out.write("\r\n", 2) != 2)
            return -1;
        ++count;
    }
    if (!moved) {
        // a damaged index stops the walk: the file would miss QSOs
        ui::messages().stop(moved.text());
        return -1;
    }
    return count;
}

QString cabrilloOwnZone(const QString& ownCall)
{
    for (const char* alias : {"LibBrw", "libros"}) {
        WorkArea* books = area(alias);
        if (books && !books->eof() && books->fieldPos(QStringLiteral("CQZ")) >= 0) {
            const QString z = field(*books, "CQZ");
            if (!z.isEmpty())
                return z;
            break;
        }
    }
    return refdata::CQZ(ownCall.trimmed()).trimmed();
}

int writeCabrillo(const CabrilloExport& e)
{
    WorkArea* log = area("Log");
    if (!log) {
        ui::messages().stop(QStringLiteral("No hay ningún libro de guardia abierto"));
        return -1;
    }
    QSaveFile file(e.path);
    if (!file.open(QIODevice::WriteOnly)) {
        ui::messages().stop(e.path + QStringLiteral("\r\nNo se ha podido crear el fichero"));
        return -1;
    }
    const QString ownCall = e.header.call.trimmed().toUpper();
    const QString zone = cabrilloOwnZone(ownCall);
    const QString province = e.province.trimmed().toUpper().left(2);
    file.write(cabrilloHeaderText(e.header));

    // Remember where "Log" stands, limit it to the range, and put it back afterwards.
    const quint32 rec = log->recNo();
    const bool wasEof = log->eof();
    int count = -1;
    log->setOrder(QStringLiteral("QsoDateTimeOn"));
    // The walk follows that tag: one that does not stand for the table would
    // leave QSOs out or write some twice.
    if (log->order() > 0)
        if (store::Status s = log->table().checkTag(log->table().cdx()->tag(log->order() - 1)); !s) {
            log->setOrder(1);
            file.cancelWriting();
            ui::messages().stop(s.text() + QStringLiteral("\r\nReorganice el libro antes de exportar."));
            return -1;
        }
    log->clearScope();
    if (e.from.isValid())
        log->setScopeTop(store::Value::text(e.from.toString(QStringLiteral("yyyyMMdd")).toLatin1()));
    log->setScopeBottom(store::Value::text(
        (e.to.isValid() ? e.to : QDate(9999, 12, 31)).toString(QStringLiteral("yyyyMMdd")).toLatin1()));
    ui::messages().wait(QStringLiteral("Exportando a formato cabrillo"), QStringLiteral("Espere ..."),
                        [&] { count = GRABACABRILLO(file, ownCall, zone, e.header.contest, province); });
    log->clearScope();
    log->setOrder(1);
    if (wasEof)
        log->goBottom(), log->skip();
    else
        log->goTo(rec);

    if (count >= 0)
        file.write("END-OF-LOG:");
    if (count < 0 || !file.commit()) {
        file.cancelWriting();
        ui::messages().stop(e.path + QStringLiteral("\r\nNo se ha podido grabar el fichero"));
        return -1;
    }
    return count;
}

bool askEditCabrillo(int count, const QString& appName)
{
    return ui::messages().noYes(QStringLiteral("Exportacion completada\r\nSe han exportado ") + QString::number(count) +
                                    QStringLiteral(" contactos\r\nDesea editarlo ahora"),
                                appName);
}

} // namespace interchange
