#include "formatting.h"

#include <cmath>

namespace refdata {

QString COMAS(double value, int width, int decimals, int outWidth, bool european)
{
    if (outWidth < 0)
        outWidth = width;
    decimals = std::max(decimals, 0);
    const QChar group = european ? u'.' : u',';
    const QChar point = european ? u',' : u'.';

    // Digit positions of the mask: width less the decimal part, less a
    // separator for every full group of three that precedes another digit.
    const int decimalPart = decimals > 0 ? decimals + 1 : 0;
    const int intRoom = std::max(width - decimalPart, 0);
    const int maskRoom = std::min(intRoom, 51);           // "999,999,...,999": 13 groups at most
    const int intDigits = maskRoom - maskRoom / 4;        // "9,999,999": 9 characters hold 7 digits

    QString text;
    bool fits = std::isfinite(value);
    if (fits) {
        QString digits = QString::number(std::fabs(value), 'f', decimals);
        QString fraction;
        if (decimals > 0) {
            fraction = digits.mid(digits.size() - decimals);
            digits.chop(decimals + 1);
        }
        // No sign for a value that rounds to zero.
        const bool negative = value < 0 && std::round(std::fabs(value) * std::pow(10.0, decimals)) != 0;
        if (digits == QLatin1String("0") && intDigits == 0)
            digits.clear();                                 // ".50" when there is no room for the 0
        const int used = int(digits.size()) + (negative ? 1 : 0);
        fits = used <= intDigits && (decimals == 0 || decimals + 1 <= width);
        if (fits) {
            for (int i = int(digits.size()) - 3; i > 0; i -= 3)
                digits.insert(i, group);
            text = (negative ? QStringLiteral("-") : QString()) + digits;
            if (decimals > 0)
                text += point + fraction;
            fits = text.size() <= outWidth;
        }
    }
    if (!fits)
        text = QString(std::max(width, 0), u'*');
    if (text.size() > outWidth)
        return text.left(outWidth);
    return text.rightJustified(outWidth);
}

QString ISODATE(const QDate& date)
{
    if (!date.isValid())
        return QStringLiteral("    -  -  ");
    return QStringLiteral("%1-%2-%3")
        .arg(date.year(), 4, 10, QChar(u'0'))
        .arg(date.month(), 2, 10, QChar(u'0'))
        .arg(date.day(), 2, 10, QChar(u'0'));
}

QString ISODATE() { return ISODATE(QDate::currentDate()); }

QString AJUSTA(const QString& text, int width, const QString& fill, const QString& side)
{
    const QString s = side.toUpper();
    if (s != QLatin1String("D") && s != QLatin1String("I"))
        return text;
    QString t = text;
    t.remove(u' ');
    const QChar c = fill.isEmpty() ? QChar(u' ') : fill.at(0);
    width = std::max(width, 0);
    if (t.size() >= width)
        return t.left(width);
    return s == QLatin1String("D") ? t.rightJustified(width, c) : t.leftJustified(width, c);
}

} // namespace refdata
