#include "qsl/rows.h"

#include "store/work_area.h"

namespace qsl {

int RowSet::fieldPos(const QByteArray& upperName) const
{
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == upperName)
            return int(i);
    return -1;
}

store::Value blankValue(const store::FieldInfo& f)
{
    switch (f.type) {
    case 'N': return store::Value::number(0);
    case 'D': return store::Value::dateJd(0);
    case 'L': return store::Value::logical(false);
    default: return store::Value::text(QByteArray(f.type == 'C' ? f.len : 0, ' '));
    }
}

std::vector<store::Value>& RowSet::appendBlank()
{
    std::vector<store::Value> r;
    r.reserve(fields.size());
    for (const store::FieldInfo& f : fields)
        r.push_back(blankValue(f));
    rows.push_back(std::move(r));
    return rows.back();
}

void RowSet::set(std::vector<store::Value>& row, const QByteArray& upperName, const store::Value& v) const
{
    const int p = fieldPos(upperName);
    if (p < 0)
        return;
    const store::FieldInfo& f = fields[size_t(p)];
    if (f.type == 'C' && v.isChar()) {
        // fixed width, as a table would hold it
        QByteArray b = v.bytes().left(f.len);
        if (b.size() < f.len)
            b.append(QByteArray(f.len - b.size(), ' '));
        row[size_t(p)] = store::Value::text(b);
    } else {
        row[size_t(p)] = v;
    }
}

store::Value RowSet::get(size_t row, const QByteArray& upperName) const
{
    const int p = fieldPos(upperName);
    return p < 0 || row >= rows.size() ? store::Value() : rows[row][size_t(p)];
}

std::vector<store::FieldInfo> fieldsOf(store::WorkArea& area)
{
    std::vector<store::FieldInfo> out;
    for (int i = 0; i < area.fieldCount(); ++i) {
        const auto& f = area.field(i);
        out.push_back({f.name, f.type, f.len, f.dec});
    }
    return out;
}

std::vector<store::Value> recordOf(store::WorkArea& area, const std::vector<store::FieldInfo>& fields)
{
    std::vector<store::Value> r;
    r.reserve(fields.size());
    for (const store::FieldInfo& f : fields) {
        const int p = area.fieldPos(QString::fromLatin1(f.name));
        r.push_back(p < 0 ? blankValue(f) : area.value(p));
    }
    return r;
}

} // namespace qsl
