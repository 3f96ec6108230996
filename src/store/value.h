#pragma once
// A typed xBase value: what a field holds and what an expression yields.
// Text is kept as Windows-1252 bytes, exactly as it stands in the file, so that
// key building and comparisons never pay for a conversion.

#include <QByteArray>
#include <QDate>
#include <QString>

namespace store {

class Value {
public:
    enum class Type : char { Nil = 'U', Char = 'C', Number = 'N', Date = 'D', Logical = 'L' };

    Value() = default;
    static Value text(QByteArray bytes) { Value v; v.m_type = Type::Char; v.m_bytes = std::move(bytes); return v; }
    static Value text(const QString& s);                   // converted to Windows-1252
    static Value number(double n) { Value v; v.m_type = Type::Number; v.m_num = n; return v; }
    // Julian day number; 0 is the empty date.
    static Value dateJd(qint64 jd) { Value v; v.m_type = Type::Date; v.m_num = double(jd); return v; }
    static Value date(const QDate& d) { return dateJd(d.isValid() ? d.toJulianDay() : 0); }
    static Value logical(bool b) { Value v; v.m_type = Type::Logical; v.m_num = b ? 1 : 0; return v; }

    Type type() const { return m_type; }
    bool isNil() const { return m_type == Type::Nil; }
    bool isChar() const { return m_type == Type::Char; }
    bool isNumber() const { return m_type == Type::Number; }
    bool isDate() const { return m_type == Type::Date; }
    bool isLogical() const { return m_type == Type::Logical; }

    const QByteArray& bytes() const { return m_bytes; }      // Char: the raw text
    QString toString() const;                                 // Char: decoded; others: display form
    double toNumber() const { return m_num; }
    qint64 julianDay() const { return qint64(m_num); }        // Date: 0 when empty
    QDate toDate() const { return julianDay() > 0 ? QDate::fromJulianDay(julianDay()) : QDate(); }
    bool toBool() const { return m_num != 0; }

    // xBase "empty": blank text, zero, empty date, false, nil.
    bool isEmpty() const;

    // Set on values produced by Descend(): the text holds binary key bytes
    // and compares byte by byte rather than by collation.
    bool isBinaryKey() const { return m_binaryKey; }
    void setBinaryKey(bool b) { m_binaryKey = b; }

    friend bool operator==(const Value& a, const Value& b) {
        return a.m_type == b.m_type && a.m_num == b.m_num && a.m_bytes == b.m_bytes;
    }

private:
    Type m_type = Type::Nil;
    double m_num = 0;
    QByteArray m_bytes;
    bool m_binaryKey = false;
};

} // namespace store
