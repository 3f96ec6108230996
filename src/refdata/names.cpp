#include "names.h"

#include "session_areas.h"

#include "store/codepage.h"

#include <algorithm>

namespace refdata {

using detail::blanksOf;
using detail::ensureOrder;
using detail::entityKey;
using detail::widthOf;
using detail::padded;
using detail::sessionArea;
using store::Value;
using store::WorkArea;

namespace {

QByteArray bytes(const QString& s) { return store::cp1252::fromUnicode(s); }

QString field(WorkArea* a, const char* name) { return a->str(QString::fromLatin1(name)); }

// The entity record of a code, in code order; "" when there is none.
QString entityField(const QString& code, const char* name)
{
    WorkArea* ent = sessionArea("ENT");
    if (!ent)
        return {};
    ensureOrder(ent, "CodEnt");
    ent->seek(Value::text(entityKey(ent, code)));
    return ent->found() ? field(ent, name) : QString();
}

} // namespace

QString NOMDXCC(const QString& number)
{
    WorkArea* ent = sessionArea("ENT");
    if (!ent)
        return blanksOf(nullptr, "NOMBRE", 40);
    QByteArray n = detail::trimmedBlanks(bytes(number));
    const int width = widthOf(ent, "DXCC", 3);
    const bool digits = !n.isEmpty() && std::all_of(n.begin(), n.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits && n.size() < width)
        n.prepend(QByteArray(width - n.size(), '0'));
    const QByteArray before = ent->orderName();
    if (!ent->setOrder(QStringLiteral("Dxcc")))
        return blanksOf(ent, "NOMBRE", 40);
    ent->seek(Value::text(padded(n, width)));
    const QString name = ent->found() ? field(ent, "NOMBRE") : blanksOf(ent, "NOMBRE", 40);
    ent->setOrder(before.isEmpty() ? QString() : QString::fromLatin1(before));
    return name;
}

QString NOMPRV(const QString& entity, const QString& province, bool mark)
{
    WorkArea* prv = sessionArea("prv");
    if (!prv)
        return blanksOf(nullptr, "NOMBRE", 30);
    ensureOrder(prv, "EntPrv");
    const QByteArray ent = entityKey(prv, entity);
    prv->seek(Value::text(ent + padded(bytes(province), widthOf(prv, "CODPRV", 4))));
    if (prv->found())
        return field(prv, "NOMBRE");
    if (mark) {
        prv->seek(Value::text(ent), true);
        if (!prv->eof() && detail::fieldBytes(prv, prv->fieldPos(QStringLiteral("CODENT"))) == ent)
            return QStringLiteral("!!");
    }
    return blanksOf(prv, "NOMBRE", 30);
}

QString NOMSUBPRV(const QString& entity, const QString& province, const QString& subdivision)
{
    WorkArea* sub = sessionArea("subprv");
    if (!sub)
        return blanksOf(nullptr, "NOMBRE", 30);
    ensureOrder(sub, "EntPrvSub");
    const QByteArray entPrv = entityKey(sub, entity) + padded(bytes(province), widthOf(sub, "CODPRV", 4));
    sub->seek(Value::text(entPrv + padded(bytes(subdivision), widthOf(sub, "CODSUBPRV", 6))));
    if (sub->found())
        return field(sub, "NOMBRE");
    sub->seek(Value::text(entPrv));
    return sub->found() ? QStringLiteral("!!") : blanksOf(sub, "NOMBRE", 30);
}

QString NOMCON(const QString& code)
{
    const QString c = code.trimmed().toUpper();
    if (c == QLatin1String("EU"))
        return QStringLiteral("EUROPA");
    if (c == QLatin1String("SA"))
        return QStringLiteral("S.AMERICA");
    if (c == QLatin1String("OC"))
        return QStringLiteral("OCEANIA");
    if (c == QLatin1String("NA"))
        return QStringLiteral("N.AMERICA");
    if (c == QLatin1String("AF"))
        return QStringLiteral("AFRICA");
    if (c == QLatin1String("AS"))
        return QStringLiteral("ASIA");
    return {};
}

QString NOMIOTA(const QString& reference)
{
    WorkArea* iota = sessionArea("iota");
    if (!iota)
        return blanksOf(nullptr, "NOMBRE", 60);
    if (reference.trimmed().isEmpty())
        return blanksOf(iota, "NOMBRE", 60);
    ensureOrder(iota, "iota");
    iota->seek(Value::text(padded(bytes(reference), widthOf(iota, "IOTA", 6))));
    return iota->found() ? field(iota, "NOMBRE") : blanksOf(iota, "NOMBRE", 60);
}

QString INFOQSL(const QString& code)
{
    if (code == QLatin1String("Y"))
        return QStringLiteral("Si ");
    if (code == QLatin1String("N"))
        return QStringLiteral("No ");
    if (code == QLatin1String("I"))
        return QStringLiteral("Ign");
    if (code == QLatin1String("R"))
        return QStringLiteral("Sol");
    if (code == QLatin1String("Q"))
        return QStringLiteral("Cola");
    return QStringLiteral("   ");
}

QString NOMENT(const QString& code) { return entityField(code, "NOMBRE"); }

QString ENTQRA(const QString& code) { return entityField(code, "QRA"); }

} // namespace refdata
