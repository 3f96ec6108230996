#include "record_buffer.h"

#include "work_area.h"

namespace store {

RecordBuffer::RecordBuffer(WorkArea* area) : m_area(area)
{
    blank();
}

void RecordBuffer::load()
{
    m_values.resize(size_t(m_area->fieldCount()));
    for (int i = 0; i < m_area->fieldCount(); ++i)
        m_values[size_t(i)] = m_area->value(i);
}

void RecordBuffer::blank()
{
    m_values.assign(size_t(m_area->fieldCount()), Value());
    for (int i = 0; i < m_area->fieldCount(); ++i) {
        const DbfField& f = m_area->field(i);
        switch (f.type) {
        case 'C': m_values[size_t(i)] = Value::text(QByteArray(f.len, ' ')); break;
        case 'N': m_values[size_t(i)] = Value::number(0); break;
        case 'D': m_values[size_t(i)] = Value::dateJd(0); break;
        case 'L': m_values[size_t(i)] = Value::logical(false); break;
        case 'M': m_values[size_t(i)] = Value::text(QByteArray()); break;
        default: break;
        }
    }
}

static Value normalised(const DbfField& f, const Value& v)
{
    if (f.type == 'C' && v.isChar() && v.bytes().size() != f.len) {
        QByteArray b = v.bytes().left(f.len);
        b.append(QByteArray(f.len - b.size(), ' '));
        return Value::text(b);
    }
    return v;
}

bool RecordBuffer::modified() const
{
    if (m_area->eof())
        return true;
    for (int i = 0; i < count(); ++i)
        if (!(normalised(m_area->field(i), m_values[size_t(i)]) == m_area->value(i)))
            return true;
    return false;
}

Value RecordBuffer::get(const QString& field) const
{
    const int i = m_area->fieldPos(field);
    return i >= 0 ? m_values[size_t(i)] : Value();
}

bool RecordBuffer::set(const QString& field, const Value& v)
{
    const int i = m_area->fieldPos(field);
    if (i < 0)
        return false;
    m_values[size_t(i)] = v;
    return true;
}

Status RecordBuffer::save(bool append)
{
    if (Status s = append ? m_area->append() : m_area->lockRecord(); !s)
        return s;
    Status result;
    for (int i = 0; i < count() && result; ++i) {
        const Value& v = m_values[size_t(i)];
        if (v.isNil())
            continue;
        if (!append && normalised(m_area->field(i), v) == m_area->value(i))
            continue;
        result = m_area->put(i, v);
    }
    Status u = m_area->unlock();
    return result ? u : result;
}

} // namespace store
