#pragma once
// Compiler and evaluator for xBase expressions: index keys, FOR conditions and
// record filters ("Upper(Call)+DToS(QsoDate)", "IF(Fld="*","*"," ")+StsEnt",
// "Descend(RecNo())", "FIELD->CodEnt", ".NOT. Deleted() .AND. PrnQsl").
//
// An expression is compiled once against a table's field list (field references
// become positions) and then evaluated many times against a record.

#include "value.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace store {

struct FieldInfo {
    QByteArray name;     // upper case as stored in the header
    char type = 'C';     // C N D L M (others read as raw text)
    int len = 0;
    int dec = 0;
};

// What an expression can ask of the record it is evaluated on.
class ExprContext {
public:
    virtual ~ExprContext() = default;
    virtual Value field(int index) const = 0;
    virtual quint32 recNo() const = 0;
    virtual bool deleted() const = 0;
};

class Expression {
public:
    ~Expression();

    // Compiles `text`. On failure returns null and, when `error` is given,
    // a Spanish explanation naming the offending token and its position.
    static std::unique_ptr<Expression> compile(const QByteArray& text,
                                               const std::vector<FieldInfo>& fields,
                                               QString* error = nullptr);

    Value eval(const ExprContext& ctx) const;

    // Type of the result as known after compilation (Char for a field of type C, ...).
    Value::Type resultType() const;
    // For Char results: the width of the result on a blank record (the key length
    // of an index built on this expression). 8 for Number and Date results.
    int resultWidth() const;

    const QByteArray& text() const { return m_text; }

    struct Node;
private:
    Expression() = default;
    QByteArray m_text;
    std::unique_ptr<Node> m_root;
    int m_width = 0;
};

// Process-wide date conventions used by CToD(), Date() and date display.
struct DateSettings {
    QString format = QStringLiteral("dd-mm-yy");   // "dd-mm-yyyy" when the century is shown
    int epoch = 1919;                              // two-digit years: 19..99 -> 1919..1999, 00..18 -> 2000..2018
};
DateSettings& dateSettings();

// Parses a date text in the session format; an invalid text gives the empty date (jd 0).
qint64 parseDateText(const QByteArray& text);
QByteArray formatDate(qint64 jd);

// Binary sort key of a number (or of a date's Julian day): the IEEE-754 double
// stored big-endian, with the sign bit set for values >= 0 and every bit
// inverted for negative values, so that byte order is numeric order. 8 bytes.
QByteArray numericKeyBytes(double v);

} // namespace store
