#pragma once
// Print data held in memory: a field list and its records, in the order they
// are printed. The report engine evaluates its expressions against these.

#include "store/expression.h"
#include "store/value.h"

#include <QString>

#include <vector>

namespace store {
class WorkArea;
}

namespace qsl {

struct RowSet {
    std::vector<store::FieldInfo> fields;
    std::vector<std::vector<store::Value>> rows;

    int fieldPos(const QByteArray& upperName) const;
    // Appends a blank record (every field of its type's empty value) and returns it.
    std::vector<store::Value>& appendBlank();
    void set(std::vector<store::Value>& row, const QByteArray& upperName, const store::Value& v) const;
    store::Value get(size_t row, const QByteArray& upperName) const;
};

// The fields of a work area's table, as the expression compiler wants them.
std::vector<store::FieldInfo> fieldsOf(store::WorkArea& area);
// The current record of `area`, values in the order of `fields` (absent fields blank).
std::vector<store::Value> recordOf(store::WorkArea& area, const std::vector<store::FieldInfo>& fields);
store::Value blankValue(const store::FieldInfo& f);

} // namespace qsl
