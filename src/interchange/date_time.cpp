#include "date_time.h"

namespace interchange {

namespace {

QByteArrayView withoutBlanks(QByteArrayView t)
{
    while (!t.isEmpty() && t.front() == ' ')
        t = t.sliced(1);
    while (!t.isEmpty() && t.back() == ' ')
        t.chop(1);
    return t;
}

// The value of the two digits at i, -1 when they are not both digits.
int twoDigits(QByteArrayView t, qsizetype i)
{
    const char a = t[i], b = t[i + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9')
        return -1;
    return (a - '0') * 10 + (b - '0');
}

} // namespace

QDate adifDate(QByteArrayView text)
{
    const QByteArrayView t = withoutBlanks(text);
    if (t.size() != 8)
        return {};
    const int century = twoDigits(t, 0), year = twoDigits(t, 2), month = twoDigits(t, 4), day = twoDigits(t, 6);
    if (century < 0 || year < 0 || month < 0 || day < 0)
        return {};
    return QDate(century * 100 + year, month, day);   // invalid, so empty, when there is no such day
}

QByteArray adifTime(QByteArrayView text)
{
    const QByteArrayView t = withoutBlanks(text);
    if (t.size() != 4 && t.size() != 6)
        return {};
    const int hour = twoDigits(t, 0), minute = twoDigits(t, 2), second = t.size() == 6 ? twoDigits(t, 4) : 0;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return {};
    return t.first(2).toByteArray() + ':' + t.sliced(2, 2).toByteArray();
}

} // namespace interchange
