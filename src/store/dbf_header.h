#pragma once
// The DBF header: table type, record count, lengths and field descriptors.

#include "expression.h"
#include "status.h"

#include <QByteArray>
#include <QDate>

#include <vector>

namespace store {

// A field as given when creating a table ("CALL", 'C', 12), ("FREQ", 'N', 9, 3).
struct FieldSpec {
    QByteArray name;
    char type = 'C';
    int len = 0;
    int dec = 0;
};

struct DbfField : FieldInfo {
    int offset = 0;          // position in the record, after the deletion byte
};

struct DbfHeader {
    static constexpr int kPrefix = 32;
    static constexpr int kDescriptor = 32;
    static constexpr int kFoxProBacklink = 263;
    static constexpr quint8 kTypePlain = 0x03;
    static constexpr quint8 kTypeFpt = 0xF5;
    static constexpr quint8 kFlagCdx = 0x01;
    static constexpr quint8 kFlagMemo = 0x02;

    quint8 type = kTypePlain;
    QDate updated;
    quint32 recCount = 0;
    quint16 headerLen = 0;
    quint16 recordLen = 0;
    quint8 flags = 0;
    quint8 codePage = 0x03;
    std::vector<DbfField> fields;

    bool hasMemo() const;
    int fieldIndex(const QByteArray& upperName) const;   // -1 when absent

    // Parses the bytes at the start of a file whose total size is fileSize.
    // Checks everything a damaged or foreign file could get wrong.
    static Status parse(const QByteArray& bytes, qint64 fileSize, const QString& path, DbfHeader* out);
    // Length of the header part that parse() needs (reads the prefix first).
    static int headerLenFromPrefix(const QByteArray& prefix);

    // Builds a header for a new table; fails on bad names, types or widths.
    static Status build(const std::vector<FieldSpec>& specs, DbfHeader* out);

    QByteArray encode() const;           // whole header incl. terminator
    void encodePrefix(char out[32]) const;
};

} // namespace store
