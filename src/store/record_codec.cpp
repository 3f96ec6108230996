#include "record_codec.h"

#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace store {

namespace {
QString fieldName(const DbfField& f) { return QString::fromLatin1(f.name); }

qint64 parseDate8(const char* p)
{
    int y = 0, m = 0, d = 0;
    for (int i = 0; i < 8; ++i)
        if (p[i] < '0' || p[i] > '9')
            return 0;
    y = (p[0] - '0') * 1000 + (p[1] - '0') * 100 + (p[2] - '0') * 10 + (p[3] - '0');
    m = (p[4] - '0') * 10 + (p[5] - '0');
    d = (p[6] - '0') * 10 + (p[7] - '0');
    const QDate date(y, m, d);
    return date.isValid() ? date.toJulianDay() : 0;
}

double parseNumber(const char* p, int len)
{
    char buf[64];
    int n = 0;
    for (int i = 0; i < len && n < 63; ++i) {
        const char c = p[i];
        if (c == ' ' || c == '\0')
            continue;
        buf[n++] = (c == ',') ? '.' : c;
    }
    buf[n] = 0;
    if (n == 0)
        return 0;
    char* end = nullptr;
    const double v = std::strtod(buf, &end);
    return std::isfinite(v) ? v : 0;
}
} // namespace

Value decodeField(const DbfField& f, const char* record)
{
    const char* p = record + f.offset;
    switch (f.type) {
    case 'C':
        return Value::text(QByteArray(p, f.len));
    case 'N':
    case 'F':
        return Value::number(parseNumber(p, f.len));
    case 'D':
        return Value::dateJd(parseDate8(p));
    case 'L':
        return Value::logical(p[0] == 'T' || p[0] == 't' || p[0] == 'Y' || p[0] == 'y');
    case 'M':
        return Value::number(double(memoBlock(f, record)));
    case 'I':
        if (f.len == 4)
            return Value::number(double(qFromLittleEndian<qint32>(p)));
        return Value::text(QByteArray(p, f.len));
    default:
        return Value::text(QByteArray(p, f.len));
    }
}

quint32 memoBlock(const DbfField& f, const char* record)
{
    const char* p = record + f.offset;
    if (f.len == 4)
        return qFromLittleEndian<quint32>(p);
    quint32 v = 0;
    for (int i = 0; i < f.len; ++i) {
        if (p[i] >= '0' && p[i] <= '9')
            v = v * 10 + quint32(p[i] - '0');
        else if (p[i] != ' ' && p[i] != '\0')
            return 0;
    }
    return v;
}

void encodeMemoBlock(const DbfField& f, quint32 block, char* record)
{
    char* p = record + f.offset;
    if (f.len == 4) {
        qToLittleEndian<quint32>(block, p);
        return;
    }
    std::memset(p, ' ', size_t(f.len));
    if (block == 0)
        return;
    char buf[16];
    const int n = std::snprintf(buf, sizeof buf, "%u", block);
    if (n <= f.len)
        std::memcpy(p + f.len - n, buf, size_t(n));
}

Status encodeField(const DbfField& f, const Value& v, char* record)
{
    char* p = record + f.offset;
    auto wrongType = [&]() {
        return Status(StatusCode::Invalid,
                      QStringLiteral("Tipo de dato no válido para el campo %1").arg(fieldName(f)));
    };
    switch (f.type) {
    case 'C': {
        if (!v.isChar() && !v.isNil())
            return wrongType();
        const QByteArray& b = v.bytes();
        const int n = qMin<int>(int(b.size()), f.len);
        std::memcpy(p, b.constData(), size_t(n));
        std::memset(p + n, ' ', size_t(f.len - n));
        return {};
    }
    case 'N':
    case 'F': {
        if (v.isNil()) {
            std::memset(p, ' ', size_t(f.len));
            return {};
        }
        if (!v.isNumber())
            return wrongType();
        const double d = v.toNumber();
        char buf[64];
        int n = std::isfinite(d) ? std::snprintf(buf, sizeof buf, "%*.*f", f.len, f.dec, d) : 99;
        if (n > f.len) {
            return {StatusCode::Invalid,
                    QStringLiteral("El valor %1 no cabe en el campo %2 (%3,%4)")
                        .arg(d).arg(fieldName(f)).arg(f.len).arg(f.dec)};
        }
        // "-0" and "-0.00" are stored without the sign
        bool allZero = true;
        for (int i = 0; i < n; ++i)
            if (buf[i] >= '1' && buf[i] <= '9')
                allZero = false;
        if (allZero)
            for (int i = 0; i < n; ++i)
                if (buf[i] == '-')
                    buf[i] = ' ';
        std::memcpy(p, buf, size_t(f.len));
        return {};
    }
    case 'D': {
        if (!v.isDate() && !v.isNil())
            return wrongType();
        const QDate d = v.toDate();
        if (!d.isValid() || d.year() < 1 || d.year() > 9999) {
            std::memset(p, ' ', 8);
            return {};
        }
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.year(), d.month(), d.day());
        std::memcpy(p, buf, 8);
        return {};
    }
    case 'L':
        if (!v.isLogical() && !v.isNil())
            return wrongType();
        p[0] = v.isNil() ? ' ' : (v.toBool() ? 'T' : 'F');
        return {};
    default:
        return {StatusCode::Invalid,
                QStringLiteral("El campo %1 no puede escribirse con este programa").arg(fieldName(f))};
    }
}

QByteArray blankRecord(const DbfHeader& h)
{
    QByteArray r(h.recordLen, ' ');
    for (const auto& f : h.fields)
        if (f.type != 'C' && f.type != 'N' && f.type != 'D' && f.type != 'L' && f.type != 'M' && f.type != 'F')
            std::memset(r.data() + f.offset, 0, size_t(f.len));
    return r;
}

} // namespace store

namespace store {

bool wellFormedRecord(const DbfHeader& h, const char* record)
{
    if (record[0] != ' ' && record[0] != '*')
        return false;
    auto all = [](const char* p, int n, const char* allowed) {
        for (int i = 0; i < n; ++i)
            if (!std::strchr(allowed, p[i]) || p[i] == '\0')
                return false;
        return true;
    };
    for (const DbfField& f : h.fields) {
        const char* p = record + f.offset;
        bool ok = true;
        switch (f.type) {
        case 'C':
            for (int i = 0; i < f.len && ok; ++i)
                ok = uchar(p[i]) >= 0x20 || p[i] == '\0' || p[i] == '\t' || p[i] == '\r' || p[i] == '\n';
            break;
        case 'D':
            ok = all(p, f.len, "0123456789") || all(p, f.len, " ");
            break;
        case 'N':
        case 'F':
            ok = all(p, f.len, " 0123456789.-+");
            break;
        case 'L':
            ok = all(p, f.len, " ?TtFfYyNn");
            break;
        case 'M':
            ok = f.len != 10 || all(p, f.len, " 0123456789");
            break;
        default:
            break;
        }
        if (!ok)
            return false;
    }
    return true;
}

} // namespace store
