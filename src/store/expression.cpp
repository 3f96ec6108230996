// Session date conventions and the binary form of numeric keys.

#include "expression.h"

#include <QDate>

#include <cstdlib>
#include <cstring>

namespace store {

DateSettings& dateSettings()
{
    static DateSettings settings;
    return settings;
}

namespace {

// The letters of the session format, lower case ("dd-mm-yy").
QByteArray formatPattern()
{
    return dateSettings().format.toLower().toLatin1();
}

// Year for a two-digit text: the first year not before the epoch that ends in yy.
int expandYear(int yy, int epoch)
{
    int year = epoch / 100 * 100 + yy;
    if (year < epoch)
        year += 100;
    return year;
}

} // namespace

qint64 parseDateText(const QByteArray& text)
{
    // The order of day, month and year comes from the format; the text itself
    // is read as three runs of digits with anything else between them.
    const QByteArray pattern = formatPattern();
    char order[3];
    int parts = 0;
    for (qsizetype i = 0; i < pattern.size() && parts < 3; ++i) {
        const char c = pattern[i];
        if ((c == 'd' || c == 'm' || c == 'y') && (i == 0 || pattern[i - 1] != c))
            order[parts++] = c;
    }
    if (parts != 3)
        return 0;

    int value[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int found = 0;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (found < 3 && i < n) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            if (digits[found] < 9)
                value[found] = value[found] * 10 + (text[i] - '0');
            else
                return 0;
            ++digits[found];
            ++i;
        }
        ++found;
    }
    if (found < 3)
        return 0;

    int day = 0, month = 0, year = 0, yearDigits = 0;
    for (int k = 0; k < 3; ++k) {
        switch (order[k]) {
        case 'd': day = value[k]; break;
        case 'm': month = value[k]; break;
        default: year = value[k]; yearDigits = digits[k]; break;
        }
    }
    if (yearDigits <= 2)
        year = expandYear(year, dateSettings().epoch);
    const QDate d(year, month, day);
    return d.isValid() ? d.toJulianDay() : 0;
}

QByteArray formatDate(qint64 jd)
{
    QByteArray out = formatPattern();
    const QDate d = jd > 0 ? QDate::fromJulianDay(jd) : QDate();
    qsizetype i = 0;
    while (i < out.size()) {
        const char c = out[i];
        if (c != 'd' && c != 'm' && c != 'y') {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < out.size() && out[end] == c)
            ++end;
        int v = 0;
        if (d.isValid())
            v = c == 'd' ? d.day() : (c == 'm' ? d.month() : std::abs(d.year()));
        // Right to left, so that "yy" keeps the last two digits of the year.
        for (qsizetype k = end - 1; k >= i; --k) {
            out[k] = d.isValid() ? char('0' + v % 10) : ' ';
            v /= 10;
        }
        i = end;
    }
    return out;
}

QByteArray numericKeyBytes(double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    if (v >= 0)
        bits |= quint64(1) << 63;
    else
        bits = ~bits;
    QByteArray out(8, Qt::Uninitialized);
    for (int i = 7; i >= 0; --i) {
        out[i] = char(bits & 0xFF);
        bits >>= 8;
    }
    return out;
}

} // namespace store
