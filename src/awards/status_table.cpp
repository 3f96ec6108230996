#include "status_table.h"

#include "store/catalogue.h"
#include "store/codepage.h"
#include "store/work_area.h"
#include "store/workspace.h"

namespace awards {

store::Status fillStatusTable(const AwardStatus& status, const QString& path)
{
    const QStringList columns = status.columns();
    std::vector<int> widths(size_t(columns.size()), 3);
    if (status.hasTotal)
        widths.back() = 4;
    for (const StatusRow& r : status.rows)
        for (int i = 0; i < r.cells.size() && i < columns.size(); ++i)
            widths[size_t(i)] = std::max(widths[size_t(i)], int(r.cells[i].size()));

    store::catalogue::TableDef def = store::catalogue::dplStatus({});
    def.fields = {{"FLD", status.refType, quint8(status.refWidth)}, {"DESC", 'C', 20}, {"MODO", 'C', 6}};
    for (int i = 0; i < columns.size(); ++i)
        def.fields.push_back({columns[i].toLatin1().toUpper().left(10), 'C', quint8(widths[size_t(i)])});
    if (store::Status s = store::catalogue::create(def, path); !s.isOk())
        return s;

    store::Workspace& ws = store::Workspace::instance();
    const QString alias = QStringLiteral("DplFill");
    ws.close(alias);
    store::WorkArea* dpl = nullptr;
    if (store::Status s = ws.use(path, {.alias = alias, .shared = false}, &dpl); !s.isOk())
        return s;
    store::Status result;
    dpl->beginBatch();
    for (const StatusRow& r : status.rows) {
        if (store::Status s = dpl->append(); !s.isOk()) {
            result = s;
            break;
        }
        dpl->put(0, store::Value::text(r.ref));
        dpl->put(1, store::Value::text(r.desc));
        dpl->put(2, store::Value::text(r.mode));
        for (int i = 0; i < r.cells.size() && i < columns.size(); ++i)
            dpl->put(3 + i, store::Value::text(r.cells[i]));
        if (store::Status s = dpl->unlock(); !s.isOk()) {
            result = s;
            break;
        }
    }
    dpl->endBatch();
    ws.close(alias);
    return result;
}

QStringList statusLines(const AwardStatus& status)
{
    const QChar tab(u'\t');
    QStringList lines;
    for (const StatusRow& r : status.rows) {
        QStringList f{store::cp1252::toUnicode(r.ref).trimmed(), r.desc.trimmed(), r.mode};
        for (const QString& c : r.cells)
            f << c.trimmed();
        lines << f.join(tab);
    }
    return lines;
}

QString referenceHeading(const AwardStatus& status)
{
    const QString label = status.def.noStandard ? QString() : fieldLabel(status.def.field);
    return label.isEmpty() ? QStringLiteral("no std") : label;
}

} // namespace awards
