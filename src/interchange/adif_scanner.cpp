#include "adif_scanner.h"

namespace interchange {

namespace {
// The character at a 1-based position; NUL outside the text, so a length that
// claims more than the text holds can never read past it.
char at(const QByteArray& text, int pos)
{
    return pos >= 1 && pos <= text.size() ? text[pos - 1] : '\0';
}
} // namespace

QByteArray ADINOMFLD(const QByteArray& text, int* pos, int length)
{
    QByteArray name;
    for (;;) {
        if (*pos > length)
            return name;
        const char c = at(text, *pos);
        ++*pos;
        if (c == '<')
            break;
    }
    if (*pos > length)
        return name;
    char c = at(text, *pos);
    ++*pos;
    while (c != ':' && c != '>' && *pos <= length) {
        name += c;
        c = at(text, *pos);
        ++*pos;
    }
    return name;
}

int ADILONFLD(const QByteArray& text, int* pos, int length)
{
    QByteArray lengthText;
    if (*pos > length)
        return 0;
    char c = at(text, *pos);
    ++*pos;
    while (c != '>' && *pos <= length) {
        lengthText += c;
        c = at(text, *pos);
        ++*pos;
    }
    // the decimal number up to the first other character: "8:D" is 8, "" is 0
    qint64 n = 0;
    for (char d : lengthText) {
        if (d < '0' || d > '9')
            break;
        n = n * 10 + (d - '0');
        if (n > 100000000)
            return 100000000;   // no field is that long; a damaged file must not allocate gigabytes
    }
    return int(n);
}

} // namespace interchange
