#include "reports/chart_data.h"

#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QHash>

#include <algorithm>

namespace reports {

namespace {

const QString kArea = QStringLiteral("LogGrf");

QByteArray trimmedUpper(const QByteArray& b)
{
    return b.trimmed().toUpper();
}

// Counts per key in order of first appearance.
struct Tally {
    QHash<QByteArray, int> index;
    std::vector<QByteArray> keys;
    std::vector<int> counts;
    void add(const QByteArray& key)
    {
        auto it = index.constFind(key);
        if (it == index.constEnd()) {
            index.insert(key, int(keys.size()));
            keys.push_back(key);
            counts.push_back(1);
        } else {
            ++counts[size_t(*it)];
        }
    }
};

// Walks the visible records of `qsos`, handing each the value of one field.
template <class Fn>
int walk(store::WorkArea& qsos, const char* field, Fn&& fn)
{
    const int pos = qsos.fieldPos(QString::fromLatin1(field));
    int n = 0;
    store::ReadWalk hold(qsos);
    for (qsos.goTop(); !qsos.eof(); qsos.skip()) {
        fn(pos >= 0 ? qsos.value(pos).bytes() : QByteArray());
        ++n;
    }
    return n;
}

} // namespace

store::WorkArea* openSelection(const QsoSelection& sel, QString* error)
{
    store::Workspace& ws = store::Workspace::instance();
    closeSelection();
    store::WorkArea* log = ws.area(store::alias::kLog);
    if (!log) {
        if (error)
            *error = QStringLiteral("No hay ningún libro de guardia abierto.");
        return nullptr;
    }
    store::WorkArea* current = ws.current();
    store::WorkArea* grf = nullptr;
    const store::Status s = ws.use(log->table().path(), {.alias = kArea, .shared = true, .readOnly = true}, &grf);
    if (current)
        ws.select(current->alias());
    if (!s.isOk()) {
        if (error)
            *error = s.message();
        return nullptr;
    }
    if (sel.from.isValid() && sel.to.isValid()) {
        grf->setOrder(QStringLiteral("QsoDateTimeOn"));
        grf->setScope(store::Value::text(sel.from.toString(QStringLiteral("yyyyMMdd"))),
                      store::Value::text(sel.to.toString(QStringLiteral("yyyyMMdd"))));
    }
    const QByteArray band = sel.band.trimmed().toUpper().toLatin1();
    const QByteArray mode = sel.mode.trimmed().toUpper().toLatin1();
    const QByteArray op = sel.op.trimmed().toUpper().toLatin1();
    const int pCall = grf->fieldPos(QStringLiteral("CALL"));
    const int pBand = grf->fieldPos(QStringLiteral("BAND"));
    const int pMode = grf->fieldPos(QStringLiteral("MODE"));
    const int pOp = grf->fieldPos(QStringLiteral("OPERATOR"));
    // a new book starts with a blank record, which is no QSO
    grf->setFilter([=](store::WorkArea& a) {
        return !a.value(pCall).bytes().trimmed().isEmpty()
               && (band.isEmpty() || trimmedUpper(a.value(pBand).bytes()) == band)
               && (mode.isEmpty() || trimmedUpper(a.value(pMode).bytes()) == mode)
               && (op.isEmpty() || trimmedUpper(a.value(pOp).bytes()) == op);
    });
    grf->goTop();
    return grf;
}

void closeSelection()
{
    store::Workspace::instance().close(kArea);
}

ChartData GRFENT(store::WorkArea& qsos, int top, bool withRest, store::WorkArea* ent)
{
    ChartData c;
    c.title = QStringLiteral("Nº QSO por Entidades ");
    c.categoryTitle = QStringLiteral("Entidades");
    Tally t;
    c.qsos = walk(qsos, "CODENT", [&](const QByteArray& v) { t.add(v); });
    // most QSOs first; among equal counts the entity met later comes first
    std::vector<int> order(t.keys.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int ca = t.counts[size_t(a)], cb = t.counts[size_t(b)];
        return ca != cb ? ca > cb : a > b;
    });
    QHash<QByteArray, QString> names;
    if (ent) {
        const quint32 rec = ent->recNo();
        const int pCode = ent->fieldPos(QStringLiteral("CODENT")), pName = ent->fieldPos(QStringLiteral("NOMBRE"));
        for (ent->goTop(); !ent->eof(); ent->skip())
            names.insert(ent->value(pCode).bytes(), ent->value(pName).toString().trimmed());
        ent->goTo(rec);
    }
    const int n = top > 0 ? top : 10;
    double rest = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        const size_t k = size_t(order[i]);
        if (int(i) < n) {
            const QString name = names.value(t.keys[k]);
            c.labels << (name.isEmpty() ? QString::fromLatin1(t.keys[k]).trimmed() : name);
            c.values.push_back(t.counts[k]);
        } else {
            rest += t.counts[k];
        }
    }
    if (withRest) {
        c.labels << QStringLiteral("RESTO");
        c.values.push_back(rest);
    }
    return c;
}

ChartData GRFMODOS(store::WorkArea& qsos)
{
    ChartData c;
    c.title = QStringLiteral("QSO por Modos");
    c.categoryTitle = QStringLiteral("Modo");
    Tally t;
    c.qsos = walk(qsos, "MODE", [&](const QByteArray& v) { t.add(v); });
    for (size_t i = 0; i < t.keys.size(); ++i) {
        c.labels << QString::fromLatin1(t.keys[i]).trimmed();
        c.values.push_back(t.counts[i]);
    }
    return c;
}

ChartData GRFBAND(store::WorkArea& qsos, const QStringList& bandCodes)
{
    ChartData c;
    c.title = QStringLiteral("QSO por Bandas");
    c.categoryTitle = QStringLiteral("Banda");
    QHash<QByteArray, int> slot;
    for (int i = 0; i < bandCodes.size(); ++i)
        slot.insert(bandCodes[i].trimmed().toUpper().toLatin1(), i);
    std::vector<int> counts(size_t(bandCodes.size()), 0);
    c.qsos = walk(qsos, "BAND", [&](const QByteArray& v) {
        auto it = slot.constFind(trimmedUpper(v));
        if (it != slot.constEnd())
            ++counts[size_t(*it)];
    });
    for (int i = 0; i < bandCodes.size(); ++i)
        if (counts[size_t(i)] > 0) {
            c.labels << bandCodes[i].trimmed();
            c.values.push_back(counts[size_t(i)]);
        }
    return c;
}

ChartData GRFCONT(store::WorkArea& qsos)
{
    ChartData c;
    c.title = QStringLiteral("QSO por continentes");
    c.categoryTitle = QStringLiteral("Continente");
    static const char* const codes[] = {"EU", "SA", "OC", "NA", "AF", "AS"};
    c.labels = {QStringLiteral("EUROPA"), QStringLiteral("S.AMERICA"), QStringLiteral("OCEANIA"),
                QStringLiteral("N.AMERICA"), QStringLiteral("AFRICA"), QStringLiteral("ASIA")};
    c.values.assign(6, 0);
    c.qsos = walk(qsos, "CONT", [&](const QByteArray& v) {
        const QByteArray k = trimmedUpper(v);
        for (int i = 0; i < 6; ++i)
            if (k == codes[i]) {
                ++c.values[size_t(i)];
                break;
            }
    });
    return c;
}

ChartData GRFHOR(store::WorkArea& qsos)
{
    ChartData c;
    c.title = QStringLiteral("QSO por Horas");
    c.categoryTitle = QStringLiteral("Horas");
    c.values.assign(24, 0);
    for (int h = 0; h < 24; ++h)
        c.labels << QString::number(h).rightJustified(2, u' ');
    c.qsos = walk(qsos, "TIMEON", [&](const QByteArray& v) {
        // the leading number of the time: "23:59" and "2359" are both hour 23
        const QByteArray t = v.trimmed();
        int digits = 0;
        while (digits < t.size() && digits < 4 && t[digits] >= '0' && t[digits] <= '9')
            ++digits;
        int hour = 0;
        if (digits > 0)
            hour = (digits == 4 || (digits == 3 && !t.contains(':'))) ? t.left(digits - 2).toInt() : t.left(digits).toInt();
        if (hour >= 0 && hour < 24)
            ++c.values[size_t(hour)];
    });
    return c;
}

bool chartOf(const ChartRequest& request, ChartData* out, QString* error)
{
    store::Workspace& ws = store::Workspace::instance();
    store::WorkArea* grf = openSelection(request.selection, error);
    if (!grf)
        return false;
    switch (request.kind) {
    case ChartKind::Entities:
        *out = GRFENT(*grf, request.top, request.withRest, ws.area(store::alias::kEnt));
        break;
    case ChartKind::Modes:
        *out = GRFMODOS(*grf);
        break;
    case ChartKind::Bands: {
        QStringList codes;
        if (store::WorkArea* band = ws.area(store::alias::kBand)) {
            const quint32 rec = band->recNo();
            for (band->goTop(); !band->eof(); band->skip())
                codes << band->str(QStringLiteral("CODBAN")).trimmed();
            band->goTo(rec);
        }
        *out = GRFBAND(*grf, codes);
        break;
    }
    case ChartKind::Continents:
        *out = GRFCONT(*grf);
        break;
    case ChartKind::Hours:
        *out = GRFHOR(*grf);
        break;
    }
    closeSelection();
    return true;
}

} // namespace reports
