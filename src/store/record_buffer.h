#pragma once
// A copy of every field of one record of a work area, as entry and edit forms
// use it: load the record, edit the copy, ask whether it was modified, save it
// back under a record lock.

#include "status.h"
#include "value.h"

#include <QString>

#include <vector>

namespace store {

class WorkArea;

class RecordBuffer {
public:
    explicit RecordBuffer(WorkArea* area);

    void load();                  // the area's current record
    void blank();                 // every field empty
    bool modified() const;        // some value differs from the area's current record
    // Writes every field back: into the current record when append is false
    // (taking its lock), into a new record otherwise; the lock is released.
    Status save(bool append = false);

    int count() const { return int(m_values.size()); }
    const Value& at(int i) const { return m_values[size_t(i)]; }
    Value get(const QString& field) const;
    bool set(const QString& field, const Value& v);
    void setAt(int i, const Value& v) { m_values[size_t(i)] = v; }

private:
    WorkArea* m_area;
    std::vector<Value> m_values;
};

} // namespace store
