#include "entity_maintenance.h"

#include "formatting.h"

#include "store/access.h"
#include "store/record_buffer.h"
#include "store/work_area.h"

namespace refdata {

QString adifNumberText(const QString& typed)
{
    QString t = typed;
    t.remove(QLatin1Char(' '));
    return AJUSTA(t, 3);
}

QString prefixText(const QString& typed)
{
    QString t = typed;
    t.remove(QLatin1Char(' '));
    return t;
}

QStringList zoneList(int highest)
{
    QStringList out;
    for (int z = 0; z <= highest; ++z)
        out << QStringLiteral("%1").arg(z, 2);
    return out;
}

QStringList continentCodes()
{
    return {QStringLiteral("AF"), QStringLiteral("AS"), QStringLiteral("EU"), QStringLiteral("NA"), QStringLiteral("SA"),
            QStringLiteral("OC")};
}

QString nextEntityCode(store::WorkArea& entities)
{
    const QString order = QString::fromLatin1(entities.orderName());
    const quint32 rec = entities.recNo();
    const bool eof = entities.eof();
    entities.setOrder(QStringLiteral("CodEnt"));
    entities.goBottom();
    const int last = entities.eof() ? 0 : entities.str(QStringLiteral("CODENT")).trimmed().toInt();
    entities.setOrder(order);
    if (eof)
        entities.goBottom(), entities.skip();
    else
        entities.goTo(rec);
    return QStringLiteral("%1").arg(last + 1, 3);
}

bool saveEntity(store::WorkArea& entities, store::RecordBuffer& buffer, bool isNew)
{
    if (isNew)
        buffer.set(QStringLiteral("CODENT"), store::Value::text(nextEntityCode(entities)));
    return store::saveBuffer(buffer, isNew);
}

void holdPrefixesOf(store::WorkArea& prefixes, const QString& entityCode)
{
    const store::Value code = store::Value::text(entityCode);
    prefixes.setOrder(QStringLiteral("CodEnt"));
    prefixes.setScope(code, code);
    prefixes.goTop();
    if (!prefixes.eof())
        return;
    if (prefixes.append([&](store::WorkArea& p) { return p.put(QStringLiteral("CODENT"), entityCode); })) {
        prefixes.unlock();
        prefixes.goTop();
    }
}

void releasePrefixes(store::WorkArea& prefixes)
{
    prefixes.clearScope();
    prefixes.setOrder(QStringLiteral("Pfx"));
    prefixes.goTop();
}

} // namespace refdata
