#include "value.h"

#include "codepage.h"
#include "expression.h"

#include <charconv>
#include <cmath>

namespace store {

Value Value::text(const QString& s)
{
    return text(cp1252::fromUnicode(s));
}

QString Value::toString() const
{
    switch (m_type) {
    case Type::Char:
        return cp1252::toUnicode(m_bytes);
    case Type::Number: {
        if (!std::isfinite(m_num))
            return QStringLiteral("***");
        char buf[64];
        // Shortest text that reads back as the same number; never locale dependent.
        const auto res = std::to_chars(buf, buf + sizeof buf, m_num == 0 ? 0.0 : m_num);
        return QString::fromLatin1(buf, int(res.ptr - buf));
    }
    case Type::Date:
        return QString::fromLatin1(formatDate(julianDay()));
    case Type::Logical:
        return toBool() ? QStringLiteral(".T.") : QStringLiteral(".F.");
    case Type::Nil:
        break;
    }
    return QStringLiteral("NIL");
}

bool Value::isEmpty() const
{
    switch (m_type) {
    case Type::Char:
        for (char c : m_bytes)
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
                return false;
        return true;
    case Type::Number:
    case Type::Date:
    case Type::Logical:
        return m_num == 0;
    case Type::Nil:
        break;
    }
    return true;
}

} // namespace store
