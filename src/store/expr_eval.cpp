// Evaluation of compiled expressions: operators and the built-in functions.
//
// Runtime type errors never throw: an operator or function applied to values
// of the wrong type yields Nil, and a comparison involving Nil or mixed types
// is false. Text is worked on in place whenever the bytes are not shared.

#include "expr_node.h"

#include "codepage.h"

#include <QDate>

#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>

namespace store {

namespace {

using Node = Expression::Node;
using T = Value::Type;

// Local copies of the case tables, so that the loops below index them directly.
using CaseTable = std::array<unsigned char, 256>;
CaseTable caseTable(unsigned char (*map)(unsigned char))
{
    CaseTable t;
    for (int c = 0; c < 256; ++c)
        t[size_t(c)] = map((unsigned char)c);
    return t;
}
const CaseTable kUpperTable = caseTable(&cp1252::upper);
const CaseTable kLowerTable = caseTable(&cp1252::lower);

// Moves the text out of a Char value; when `v` held the only reference the
// returned array is unshared and can be modified without a copy.
inline QByteArray takeBytes(Value& v)
{
    QByteArray b = v.bytes();
    v = Value();
    return b;
}

inline Value makeText(QByteArray b, bool binary = false)
{
    Value v = Value::text(std::move(b));
    if (binary)
        v.setBinaryKey(true);
    return v;
}

inline int toInt(double d, int lo, int hi)
{
    if (!(d >= lo))          // also NaN
        return d > 0 ? hi : lo;
    if (d > hi)
        return hi;
    return int(d);
}

inline int toLen(double d) { return toInt(d, 0, kMaxTextLen); }

// Rounds half away from zero at `dec` decimals (negative: tens, hundreds...).
// The tiny nudge makes decimal ties such as 1.005 round up as written.
double roundHalfAway(double n, int dec)
{
    if (!std::isfinite(n))
        return n;
    const double p = std::pow(10.0, dec);
    double v = n * p;
    if (!std::isfinite(v) || std::fabs(v) >= 4.5e15)
        return n;
    v += std::copysign(std::fabs(v) * 4 * DBL_EPSILON, v);
    const double r = std::round(v) / p;
    return r == 0 ? 0.0 : r;
}

QByteArray strNumber(double n, int len, int dec)
{
    len = std::max(1, std::min(len, kMaxTextLen));
    dec = std::max(0, std::min(dec, 30));
    if (!std::isfinite(n))
        return QByteArray(len, '*');
    const double r = roundHalfAway(n, dec);
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, r, std::chars_format::fixed, dec);
    const qsizetype digits = res.ec == std::errc() ? res.ptr - buf : qsizetype(sizeof buf);
    if (digits > len)
        return QByteArray(len, '*');
    QByteArray out(len - digits, ' ');
    out.append(buf, digits);
    return out;
}

double valOf(const QByteArray& s)
{
    const char* p = s.constData();
    const char* end = p + s.size();
    while (p < end && *p == ' ')
        ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+'))
        negative = *p++ == '-';
    char buf[80];
    int n = 0;
    buf[n++] = '0';
    int dropped = 0;   // integer digits beyond what a double can tell apart
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        if (n < 60)
            buf[n++] = *p;
        else
            ++dropped;
    }
    int frac = 0;
    if (p < end && *p == '.') {
        buf[n++] = '.';
        for (++p; p < end && *p >= '0' && *p <= '9'; ++p)
            if (frac < 17) {
                buf[n++] = *p;
                ++frac;
            }
    }
    double v = 0;
    std::from_chars(buf, buf + n, v);
    if (dropped)
        v *= std::pow(10.0, dropped);
    return negative ? -v : v;
}

QByteArray dtos(qint64 jd)
{
    if (jd <= 0)
        return QByteArray(8, ' ');
    int year = 0, month = 0, day = 0;
    QDate::fromJulianDay(jd).getDate(&year, &month, &day);
    const int y = std::abs(year) % 10000;
    const char buf[8] = {char('0' + y / 1000), char('0' + y / 100 % 10), char('0' + y / 10 % 10),
                         char('0' + y % 10),   char('0' + month / 10),   char('0' + month % 10),
                         char('0' + day / 10), char('0' + day % 10)};
    return QByteArray(buf, 8);
}

qint64 stod(const QByteArray& s)
{
    if (s.size() < 8)
        return 0;
    int v[8];
    for (int i = 0; i < 8; ++i) {
        const char c = s[i];
        if (c < '0' || c > '9')
            return 0;
        v[i] = c - '0';
    }
    const QDate d(v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3], v[4] * 10 + v[5], v[6] * 10 + v[7]);
    return d.isValid() ? d.toJulianDay() : 0;
}

inline Value dateOrNil(double jd)
{
    if (!std::isfinite(jd) || std::fabs(jd) > 1e9)
        return Value();
    return Value::dateJd(qint64(jd));
}

// ---- operators -------------------------------------------------------------

Value add(Value a, Value b)
{
    if (a.isChar() && b.isChar()) {
        const bool bin = a.isBinaryKey() || b.isBinaryKey();
        QByteArray s = takeBytes(a);
        s.append(b.bytes());
        return makeText(std::move(s), bin);
    }
    if (a.isNumber() && b.isNumber())
        return Value::number(a.toNumber() + b.toNumber());
    if (a.isDate() && b.isNumber())
        return a.julianDay() == 0 ? a : dateOrNil(a.toNumber() + std::trunc(b.toNumber()));
    if (a.isNumber() && b.isDate())
        return b.julianDay() == 0 ? b : dateOrNil(b.toNumber() + std::trunc(a.toNumber()));
    return Value();
}

Value subtract(Value a, Value b)
{
    if (a.isChar() && b.isChar()) {
        const bool bin = a.isBinaryKey() || b.isBinaryKey();
        QByteArray s = takeBytes(a);
        qsizetype keep = s.size();
        while (keep > 0 && s[keep - 1] == ' ')
            --keep;
        const qsizetype blanks = s.size() - keep;
        s.truncate(keep);
        s.append(b.bytes());
        s.append(blanks, ' ');
        return makeText(std::move(s), bin);
    }
    if (a.isNumber() && b.isNumber())
        return Value::number(a.toNumber() - b.toNumber());
    if (a.isDate() && b.isDate())
        return Value::number(a.toNumber() - b.toNumber());
    if (a.isDate() && b.isNumber())
        return a.julianDay() == 0 ? a : dateOrNil(a.toNumber() - std::trunc(b.toNumber()));
    return Value();
}

Value arith(Op op, const Value& a, const Value& b)
{
    if (!a.isNumber() || !b.isNumber())
        return Value();
    const double x = a.toNumber(), y = b.toNumber();
    double r = 0;
    switch (op) {
    case Op::Mul: r = x * y; break;
    case Op::Div:
        if (y == 0)
            return Value();
        r = x / y;
        break;
    case Op::Mod:
        if (y == 0)
            return Value();
        r = std::fmod(x, y);
        break;
    case Op::Pow: r = std::pow(x, y); break;
    default: return Value();
    }
    return std::isnan(r) ? Value() : Value::number(r);
}

// Order of two values of the same type; false in `ok` when they cannot be compared.
int order(const Value& a, const Value& b, bool& ok)
{
    ok = a.type() == b.type() && !a.isNil();
    if (!ok)
        return 0;
    if (a.isChar()) {
        if (a.isBinaryKey() || b.isBinaryKey()) {
            const QByteArray& x = a.bytes();
            const QByteArray& y = b.bytes();
            const qsizetype n = std::min(x.size(), y.size());
            const int c = n ? std::memcmp(x.constData(), y.constData(), size_t(n)) : 0;
            if (c)
                return c < 0 ? -1 : 1;
            return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
        }
        return cp1252::collate(a.bytes(), b.bytes());
    }
    const double x = a.toNumber(), y = b.toNumber();
    return x < y ? -1 : (x > y ? 1 : 0);
}

// The xBase "=": for text, the right operand is compared as a prefix of the left.
bool softEqual(const Value& a, const Value& b)
{
    if (a.type() != b.type() || a.isNil())
        return false;
    if (a.isChar()) {
        const QByteArray& x = a.bytes();
        const QByteArray& y = b.bytes();
        return y.size() <= x.size() && std::memcmp(x.constData(), y.constData(), size_t(y.size())) == 0;
    }
    return a.toNumber() == b.toNumber();
}

bool exactEqual(const Value& a, const Value& b)
{
    if (a.type() != b.type() || a.isNil())
        return false;
    if (a.isChar())
        return a.bytes() == b.bytes();
    return a.toNumber() == b.toNumber();
}

bool compare(Op op, const Value& a, const Value& b)
{
    bool ok = false;
    switch (op) {
    case Op::Eq: return softEqual(a, b);
    case Op::ExactEq: return exactEqual(a, b);
    case Op::Ne: return a.type() == b.type() && !a.isNil() && !softEqual(a, b);
    case Op::Lt: return order(a, b, ok) < 0 && ok;
    case Op::Gt: return order(a, b, ok) > 0 && ok;
    case Op::Le: return (order(a, b, ok) < 0 && ok) || softEqual(a, b);
    case Op::Ge: return (order(a, b, ok) > 0 && ok) || softEqual(a, b);
    case Op::Contains:
        return a.isChar() && b.isChar() && !a.bytes().isEmpty() && b.bytes().contains(a.bytes());
    default: return false;
    }
}

// ---- functions --------------------------------------------------------------

QByteArray pad(Value& s, int n, const Value* fill, Fn how)
{
    QByteArray b = takeBytes(s);
    if (b.size() >= n) {
        b.truncate(n);
        return b;
    }
    const char c = fill && fill->isChar() && !fill->bytes().isEmpty() ? fill->bytes()[0] : ' ';
    const qsizetype missing = n - b.size();
    const qsizetype before = how == Fn::PadL ? missing : (how == Fn::PadC ? missing / 2 : 0);
    if (before)
        b.prepend(before, c);
    b.append(missing - before, c);
    return b;
}

QByteArray trimmed(Value& s, bool left, bool right)
{
    QByteArray b = takeBytes(s);
    qsizetype end = b.size();
    if (right)
        while (end > 0 && b[end - 1] == ' ')
            --end;
    qsizetype start = 0;
    if (left)
        while (start < end && b[start] == ' ')
            ++start;
    if (start == 0) {
        b.truncate(end);
        return b;
    }
    return b.mid(start, end - start);
}

QByteArray subStr(Value& s, double startArg, const Value* lenArg)
{
    QByteArray b = takeBytes(s);
    const qsizetype size = b.size();
    qsizetype start = toInt(startArg, -kMaxTextLen * 64, kMaxTextLen * 64);
    if (start < 0)
        start = std::max<qsizetype>(1, size + start + 1);
    if (start == 0)
        start = 1;
    if (start > size)
        return QByteArray();
    qsizetype len = size - start + 1;
    if (lenArg) {
        const double l = lenArg->toNumber();
        if (!(l >= 1))
            return QByteArray();
        if (l < double(len))
            len = qsizetype(l);
    }
    if (start == 1) {
        b.truncate(len);
        return b;
    }
    return b.mid(start - 1, len);
}

QByteArray descendBytes(QByteArray b)
{
    unsigned char* p = reinterpret_cast<unsigned char*>(b.data());
    for (qsizetype i = 0, n = b.size(); i < n; ++i)
        p[i] = (unsigned char)(255 - p[i]);
    return b;
}

Value callFunction(const Node& n, const ExprContext& ctx)
{
    const auto& k = n.kids;

    switch (n.fn) {   // the ones that need no (or not all) arguments evaluated
    case Fn::If: {
        const Value c = evalNode(*k[0], ctx);
        if (!c.isLogical())
            return Value();
        return evalNode(*k[c.toBool() ? 1 : 2], ctx);
    }
    case Fn::RecNo: return Value::number(double(ctx.recNo()));
    case Fn::Deleted: return Value::logical(ctx.deleted());
    case Fn::Date: return Value::date(QDate::currentDate());
    default: break;
    }

    const size_t argc = k.size();
    Value a[3] = {argc > 0 ? evalNode(*k[0], ctx) : Value(),
                  argc > 1 ? evalNode(*k[1], ctx) : Value(),
                  argc > 2 ? evalNode(*k[2], ctx) : Value()};
    const bool bin = a[0].isBinaryKey();

    switch (n.fn) {
    case Fn::Upper:
    case Fn::Lower: {
        if (!a[0].isChar())
            return Value();
        QByteArray b = takeBytes(a[0]);
        unsigned char* p = reinterpret_cast<unsigned char*>(b.data());
        const CaseTable& table = n.fn == Fn::Upper ? kUpperTable : kLowerTable;
        for (qsizetype i = 0, m = b.size(); i < m; ++i)
            p[i] = table[p[i]];
        return makeText(std::move(b), bin);
    }
    case Fn::DToS:
        return a[0].isDate() ? makeText(dtos(a[0].julianDay())) : Value();
    case Fn::SToD:
        return a[0].isChar() ? Value::dateJd(stod(a[0].bytes())) : Value();
    case Fn::CToD:
        return a[0].isChar() ? Value::dateJd(parseDateText(a[0].bytes())) : Value();
    case Fn::DToC:
        return a[0].isDate() ? makeText(formatDate(a[0].julianDay())) : Value();
    case Fn::Str: {
        if (!a[0].isNumber() || (argc > 1 && !a[1].isNumber()) || (argc > 2 && !a[2].isNumber()))
            return Value();
        const int len = argc > 1 ? toInt(a[1].toNumber(), 1, kMaxTextLen) : 10;
        const int dec = argc > 2 ? toInt(a[2].toNumber(), 0, 30) : 0;
        return makeText(strNumber(a[0].toNumber(), len, dec));
    }
    case Fn::Val:
        return a[0].isChar() ? Value::number(valOf(a[0].bytes())) : Value();
    case Fn::PadR:
    case Fn::PadL:
    case Fn::PadC:
        if (!a[0].isChar() || !a[1].isNumber())
            return Value();
        return makeText(pad(a[0], toLen(a[1].toNumber()), argc > 2 ? &a[2] : nullptr, n.fn), bin);
    case Fn::Trim:
    case Fn::LTrim:
    case Fn::AllTrim:
        if (!a[0].isChar())
            return Value();
        return makeText(trimmed(a[0], n.fn != Fn::Trim, n.fn != Fn::LTrim), bin);
    case Fn::SubStr:
        if (!a[0].isChar() || !a[1].isNumber() || (argc > 2 && !a[2].isNumber()))
            return Value();
        return makeText(subStr(a[0], a[1].toNumber(), argc > 2 ? &a[2] : nullptr), bin);
    case Fn::Left:
    case Fn::Right: {
        if (!a[0].isChar() || !a[1].isNumber())
            return Value();
        QByteArray b = takeBytes(a[0]);
        const int m = toLen(a[1].toNumber());
        if (m < b.size()) {
            if (n.fn == Fn::Left)
                b.truncate(m);
            else
                b = b.right(m);
        }
        return makeText(std::move(b), bin);
    }
    case Fn::Len:
        return a[0].isChar() ? Value::number(double(a[0].bytes().size())) : Value();
    case Fn::Descend:
        switch (a[0].type()) {
        case T::Char: return makeText(descendBytes(takeBytes(a[0])), true);
        case T::Number:
        case T::Date: return makeText(descendBytes(numericKeyBytes(a[0].toNumber())), true);
        case T::Logical: return Value::logical(!a[0].toBool());
        case T::Nil: break;
        }
        return Value();
    case Fn::Empty:
        return Value::logical(a[0].isEmpty());
    case Fn::Space:
        return a[0].isNumber() ? makeText(QByteArray(toLen(a[0].toNumber()), ' ')) : Value();
    case Fn::Replicate: {
        if (!a[0].isChar() || !a[1].isNumber())
            return Value();
        const QByteArray& s = a[0].bytes();
        if (s.isEmpty())
            return makeText(QByteArray());
        const int times = std::min<int>(toLen(a[1].toNumber()), kMaxTextLen / int(s.size()));
        return makeText(s.repeated(times));
    }
    case Fn::At:
        if (!a[0].isChar() || !a[1].isChar() || a[0].bytes().isEmpty())
            return a[0].isChar() && a[1].isChar() ? Value::number(0) : Value();
        return Value::number(double(a[1].bytes().indexOf(a[0].bytes()) + 1));
    case Fn::Year:
    case Fn::Month:
    case Fn::Day: {
        if (!a[0].isDate())
            return Value();
        const QDate d = a[0].toDate();
        if (!d.isValid())
            return Value::number(0);
        return Value::number(n.fn == Fn::Year ? d.year() : (n.fn == Fn::Month ? d.month() : d.day()));
    }
    case Fn::Int:
        return a[0].isNumber() ? Value::number(std::trunc(a[0].toNumber())) : Value();
    case Fn::Abs:
        return a[0].isNumber() ? Value::number(std::fabs(a[0].toNumber())) : Value();
    case Fn::Round:
        if (!a[0].isNumber() || !a[1].isNumber())
            return Value();
        return Value::number(roundHalfAway(a[0].toNumber(), toInt(a[1].toNumber(), -30, 30)));
    case Fn::Chr:
        if (!a[0].isNumber())
            return Value();
        return makeText(QByteArray(1, char(toInt(a[0].toNumber(), -65536, 65536) & 0xFF)));
    case Fn::Asc:
        if (!a[0].isChar())
            return Value();
        return Value::number(a[0].bytes().isEmpty() ? 0 : double((unsigned char)a[0].bytes()[0]));
    case Fn::Max:
    case Fn::Min: {
        if (a[0].type() != a[1].type() || !(a[0].isNumber() || a[0].isDate()))
            return Value();
        const bool firstWins = n.fn == Fn::Max ? a[0].toNumber() >= a[1].toNumber()
                                               : a[0].toNumber() <= a[1].toNumber();
        return firstWins ? a[0] : a[1];
    }
    case Fn::If:
    case Fn::RecNo:
    case Fn::Deleted:
    case Fn::Date:
        break;
    }
    return Value();
}

} // namespace

Value evalNode(const Node& n, const ExprContext& ctx)
{
    switch (n.op) {
    case Op::Const:
        return n.value;
    case Op::Field:
        return ctx.field(n.field);
    case Op::Call:
        return callFunction(n, ctx);
    case Op::Neg: {
        const Value v = evalNode(*n.kids[0], ctx);
        return v.isNumber() ? Value::number(-v.toNumber()) : Value();
    }
    case Op::Not: {
        const Value v = evalNode(*n.kids[0], ctx);
        return v.isLogical() ? Value::logical(!v.toBool()) : Value();
    }
    case Op::And:
    case Op::Or: {
        // Stops at the first operand that settles the result.
        const bool settle = n.op == Op::Or;
        for (const auto& kid : n.kids) {
            const Value v = evalNode(*kid, ctx);
            if (!v.isLogical())
                return Value();
            if (v.toBool() == settle)
                return v;
        }
        return Value::logical(!settle);
    }
    case Op::Sum: {
        Value acc = evalNode(*n.kids[0], ctx);
        if (n.reserve > 0 && acc.isChar()) {
            // One allocation for the whole concatenation.
            const bool bin = acc.isBinaryKey();
            QByteArray b = takeBytes(acc);
            b.reserve(n.reserve);
            acc = makeText(std::move(b), bin);
        }
        for (size_t i = 1; i < n.kids.size(); ++i) {
            Value rhs = evalNode(*n.kids[i], ctx);
            acc = n.signs[i - 1] == '+' ? add(std::move(acc), std::move(rhs))
                                        : subtract(std::move(acc), std::move(rhs));
        }
        return acc;
    }
    case Op::Mul:
    case Op::Div:
    case Op::Mod:
    case Op::Pow:
        return arith(n.op, evalNode(*n.kids[0], ctx), evalNode(*n.kids[1], ctx));
    case Op::Eq:
    case Op::ExactEq:
    case Op::Ne:
    case Op::Lt:
    case Op::Le:
    case Op::Gt:
    case Op::Ge:
    case Op::Contains:
        return Value::logical(compare(n.op, evalNode(*n.kids[0], ctx), evalNode(*n.kids[1], ctx)));
    }
    return Value();
}

} // namespace store
