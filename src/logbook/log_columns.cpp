#include "log_columns.h"

#include "geo/distance.h"
#include "refdata/formatting.h"
#include "refdata/names.h"
#include "store/work_area.h"

#include <QDate>

namespace logbook {

namespace {

using store::WorkArea;

LogColumn textColumn(const char* heading, std::function<QString(WorkArea&)> read, bool right = false)
{
    LogColumn c;
    c.heading = QString::fromUtf8(heading);
    c.rightAligned = right;
    c.text = read;
    c.value = [read](WorkArea& a) { return QVariant(read(a).trimmed()); };
    return c;
}

LogColumn field(const char* heading, const char* name, bool right = false)
{
    const QString f = QString::fromLatin1(name);
    return textColumn(heading, [f](WorkArea& a) { return a.str(f); }, right);
}

LogColumn dateField(const char* heading, const char* name)
{
    const QString f = QString::fromLatin1(name);
    LogColumn c;
    c.heading = QString::fromUtf8(heading);
    c.kind = CellKind::Date;
    c.value = [f](WorkArea& a) { return QVariant(a.date(f)); };
    c.text = [f](WorkArea& a) {
        const QDate d = a.date(f);
        return d.isValid() ? d.toString(QStringLiteral("dd-MM-yy")) : QStringLiteral("  -  -  ");
    };
    return c;
}

LogColumn numberColumn(const char* heading, std::function<double(WorkArea&)> read, std::function<QString(double)> show)
{
    LogColumn c;
    c.heading = QString::fromUtf8(heading);
    c.kind = CellKind::Number;
    c.rightAligned = true;
    c.value = [read](WorkArea& a) { return QVariant(read(a)); };
    c.text = [read, show](WorkArea& a) { return show(read(a)); };
    return c;
}

// Kilometres from the own locator to the station's, or to its entity's reference locator.
double distance(WorkArea& a)
{
    QString far = a.str(QStringLiteral("GRIDSQUARE")).trimmed();
    if (far.isEmpty())
        far = refdata::ENTQRA(a.str(QStringLiteral("CODENT"))).trimmed();
    return geo::DIST(a.str(QStringLiteral("QRA")).trimmed(), far);
}

} // namespace

std::vector<LogColumn> logColumns()
{
    std::vector<LogColumn> c;
    c.push_back(dateField("Fecha", "QSODATE"));
    c.push_back(field("Hora\r\nInicio", "TIMEON"));
    c.push_back(field("Hora\r\nFin", "TIMEOFF"));
    c.push_back(field("Indicativo", "CALL"));
    c.push_back(field("Nombre", "NAME"));
    c.push_back(field("Banda", "BAND", true));
    c.push_back(numberColumn("Frec", [](WorkArea& a) { return a.num(QStringLiteral("FREQ")); },
                             [](double v) { return QString::number(v, 'f', 3); }));
    c.push_back(field("Modo", "MODE"));
    c.push_back(field("RST\r\nTx", "RSTSENT"));
    c.push_back(field("RST\r\nRx", "RSTRCVD"));
    c.push_back(textColumn("Entidad", [](WorkArea& a) { return refdata::NOMENT(a.str(QStringLiteral("CODENT"))); }));
    c.push_back(textColumn("Prv", [](WorkArea& a) {
        return refdata::NOMPRV(a.str(QStringLiteral("CODENT")), a.str(QStringLiteral("CODPRV")));
    }));
    c.push_back(field("Locator", "GRIDSQUARE"));
    c.push_back(numberColumn("Dist.", distance, [](double v) { return refdata::COMAS(v, 6); }));
    c.back().rightAligned = false;
    c.push_back(field("QSL\r\nVia", "QSLVIA"));
    c.push_back(textColumn("QSL\r\nRX", [](WorkArea& a) { return refdata::INFOQSL(a.str(QStringLiteral("QSLRCVD"))); }));
    c.push_back(textColumn("QSL\r\nTX", [](WorkArea& a) { return refdata::INFOQSL(a.str(QStringLiteral("QSLSENT"))); }));
    c.push_back(dateField("QSL\r\nRecibida", "QSLRDATE"));
    c.push_back(dateField("QSL\r\nEnviada", "QSLSDATE"));
    c.push_back(field("Comentario", "COMMENT"));
    c.push_back(field("Ref\r\nIOTA", "IOTA"));
    c.push_back(textColumn("Nombre\r\nIOTA", [](WorkArea& a) { return refdata::NOMIOTA(a.str(QStringLiteral("IOTA"))); }));
    c.push_back(field("QTH", "QTH"));
    c.push_back(field("Cont", "CONT"));
    c.push_back(field("WAZ", "CQZ", true));
    c.push_back(field("ITU", "ITUZ", true));
    c.push_back(numberColumn("Edad", [](WorkArea& a) { return a.num(QStringLiteral("AGE")); },
                             [](double v) { return QString::number(qint64(v)); }));
    c.push_back(field("Cod\r\nEnt.", "CODENT"));
    c.push_back(field("Operador", "OPERATOR"));
    c.push_back(field("Key", "KEY"));
    return c;
}

QString singleLine(const QString& heading)
{
    QString s = heading;
    s.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    return s;
}

} // namespace logbook
