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

// Where things stand in a DBF header. All integers are little-endian.
//
//   prefix, 32 bytes                      field descriptor, 32 bytes each
//   0     type                            0   name, 11 bytes, NUL-padded
//   1..3  last update: year-1900, m, d    11  type letter
//   4     record count (4)                12  displacement in the record (4)
//   8     header length (2)               16  length
//   10    record length (2)               17  decimals
//   28    table flags
//   29    code page mark
//
// The descriptors end with the byte 0x0D; tables of the FoxPro family (and
// some others) add a 263-byte backlink area after it. Records follow the header.
namespace dbf {
constexpr int kType = 0;
constexpr int kUpdated = 1;
constexpr int kRecCount = 4;
constexpr int kHeaderLen = 8;
constexpr int kRecordLen = 10;
constexpr int kFlags = 28;
constexpr int kCodePage = 29;
constexpr int kFieldNameSize = 11;
constexpr int kFieldType = 11;
constexpr int kFieldOffset = 12;
constexpr int kFieldLen = 16;
constexpr int kFieldDec = 17;
constexpr uchar kHeaderEnd = 0x0D;
} // namespace dbf

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
