#include "award_definition.h"

#include "core/messages.h"
#include "refdata/session_areas.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

namespace awards {

namespace {

QString fieldName(const char* stem, int n)
{
    return QString::fromLatin1(stem) + QString::number(n);
}

// The award table: the session's area, or one opened for the caller and
// closed when the holder goes.
class DplCfgHolder {
public:
    DplCfgHolder()
    {
        store::Workspace& ws = store::Workspace::instance();
        m_area = ws.area(store::alias::kDplCfg);
        if (m_area) {
            m_rec = m_area->recNo();
            m_order = m_area->orderName();
            return;
        }
        const QString alias = QStringLiteral("DplCfgLookup");
        if (ws.exists(QStringLiteral("DplCfg")) && ws.use(QStringLiteral("DplCfg"), {.alias = alias, .readOnly = true}, &m_area).isOk())
            m_own = alias;
        else
            m_area = nullptr;
    }
    ~DplCfgHolder()
    {
        if (!m_own.isEmpty())
            store::Workspace::instance().close(m_own);
        else if (m_area) {
            m_area->setOrder(QString::fromLatin1(m_order));
            m_area->goTo(m_rec);
        }
    }
    store::WorkArea* area() const { return m_area; }

private:
    store::WorkArea* m_area = nullptr;
    QString m_own;
    quint32 m_rec = 0;
    QByteArray m_order;
};

} // namespace

AwardDef readDefinition(store::WorkArea& a)
{
    AwardDef d;
    d.code = a.str(QStringLiteral("CODDPL")).trimmed().toUpper();
    d.description = a.str(QStringLiteral("DESCRI")).trimmed();
    d.field = a.str(QStringLiteral("FLD")).trimmed().toUpper();
    for (int i = 1; i <= 5; ++i) {
        const QString e = a.str(fieldName("CODENT", i));
        if (!e.trimmed().isEmpty())
            d.entities << e.trimmed().rightJustified(3, u' ');
    }
    for (int i = 1; i <= 10; ++i) {
        const QString b = a.str(fieldName("BAND", i)).trimmed().toUpper();
        if (!b.isEmpty() && !d.bands.contains(b))
            d.bands << b;
    }
    for (int i = 1; i <= 6; ++i) {
        const QString m = a.str(fieldName("MODE", i)).trimmed().toUpper();
        if (!m.isEmpty() && !d.modes.contains(m))
            d.modes << m;
    }
    d.mixed = a.logical(QStringLiteral("MIXED"));
    d.fiveBands = a.logical(QStringLiteral("CINCOB"));
    d.digital = a.logical(QStringLiteral("DIG"));
    d.noStandard = a.logical(QStringLiteral("NOSTD"));
    return d;
}

void writeDefinition(store::WorkArea& a, const AwardDef& d)
{
    a.put(QStringLiteral("CODDPL"), d.code.toUpper());
    a.put(QStringLiteral("DESCRI"), d.description);
    a.put(QStringLiteral("FLD"), d.field);
    for (int i = 1; i <= 5; ++i)
        a.put(fieldName("CODENT", i), i <= d.entities.size() ? d.entities[i - 1].trimmed().rightJustified(3, u' ') : QString());
    for (int i = 1; i <= 10; ++i)
        a.put(fieldName("BAND", i), i <= d.bands.size() ? d.bands[i - 1] : QString());
    for (int i = 1; i <= 6; ++i)
        a.put(fieldName("MODE", i), i <= d.modes.size() ? d.modes[i - 1] : QString());
    a.put(QStringLiteral("MIXED"), d.mixed);
    a.put(QStringLiteral("CINCOB"), d.fiveBands);
    a.put(QStringLiteral("DIG"), d.digital);
    a.put(QStringLiteral("NOSTD"), d.noStandard);
}

bool findDefinition(const QString& code, AwardDef* out)
{
    DplCfgHolder holder;
    store::WorkArea* a = holder.area();
    if (!a)
        return false;
    const QString wanted = code.trimmed().toUpper();
    a->setOrder(QString());
    for (a->goTop(); !a->eof(); a->skip()) {
        if (a->str(QStringLiteral("CODDPL")).trimmed().toUpper() == wanted) {
            *out = readDefinition(*a);
            return true;
        }
    }
    return false;
}

QList<QPair<QString, QString>> definitionList()
{
    QList<QPair<QString, QString>> list;
    DplCfgHolder holder;
    store::WorkArea* a = holder.area();
    if (!a)
        return list;
    a->setOrder(QStringLiteral("CodDpl"));
    for (a->goTop(); !a->eof(); a->skip())
        list.append({a->str(QStringLiteral("CODDPL")).trimmed(), a->str(QStringLiteral("DESCRI")).trimmed()});
    return list;
}

const QStringList& standardFields()
{
    static const QStringList fields = {"CONT", "DXCC", "IOTA", "JCC",  "JCG", "GRIDSQUARE", "PFX",
                                       "CODPRV", "CNTY", "TENTEN", "CQZ", "ITUZ", "CALL"};
    return fields;
}

QString fieldLabel(const QString& field)
{
    static const QStringList labels = {"Continente", "DXCC", "IOTA", "Jcc", "Jcg", "Locator", "Prefijo",
                                       "Provincia/estado", "Subdivisiones territoriales", "Ten Ten",
                                       "Zona CQ", "Zona ITU", "Indicativo"};
    const int i = standardFields().indexOf(field.trimmed().toUpper());
    return i < 0 ? QString() : labels[i];
}

AwardDef defaultEntityPanelDefinition()
{
    AwardDef d;
    d.code = kEntityPanelCode;
    d.description = QStringLiteral("Información de la entidad");
    d.field = QStringLiteral("DXCC");
    d.bands = {"160M", "80M", "40M", "30M", "20M", "17M", "15M", "12M", "10M", "6M"};
    d.modes = {"CW", "SSB"};
    d.digital = true;
    return d;
}

QString DPLDES(const QString& list, const QString& reference)
{
    store::WorkArea* det = refdata::detail::sessionArea(store::alias::kDplDet);
    if (!det)
        return QString(60, u' ');
    const QString blanks = refdata::detail::blanksOf(det, "DESC", 60);
    const quint32 rec = det->recNo();
    const QByteArray order = det->orderName();
    refdata::detail::ensureOrder(det, "Dpl");
    const int listWidth = refdata::detail::widthOf(det, "DPLCOD", 8);
    const int codWidth = refdata::detail::widthOf(det, "COD", 10);
    const QString key = list.trimmed().toUpper().leftJustified(listWidth, u' ', true) + reference.leftJustified(codWidth, u' ', true);
    det->seek(store::Value::text(key));
    const QString name = det->found() ? det->str(QStringLiteral("DESC")) : blanks;
    det->setOrder(QString::fromLatin1(order));
    det->goTo(rec);
    return name;
}

bool CHK(store::WorkArea& a, const QString& code)
{
    const QString wanted = code.trimmed().toUpper();
    if (wanted.isEmpty())
        return true;
    const quint32 rec = a.recNo();
    bool taken = false;
    for (a.goTop(); !a.eof() && !taken; a.skip())
        taken = a.str(QStringLiteral("CODDPL")).trimmed().toUpper() == wanted;
    a.goTo(rec);
    if (taken)
        ui::messages().stop(wanted + QStringLiteral(" ya esta dado de alta"));
    return !taken;
}

} // namespace awards
