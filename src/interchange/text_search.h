#pragma once
// Marker searches the readers of interchange files share.

#include <QByteArray>

#include <algorithm>

namespace interchange {

// The nearest of two spellings of a marker ("<EOR>", "<eor>") at or after
// from; -1 when neither occurs.
inline qsizetype nearestOf(const QByteArray& data, const char* a, const char* b, qsizetype from)
{
    const qsizetype x = data.indexOf(a, from);
    const qsizetype y = data.indexOf(b, from);
    if (x < 0)
        return y;
    if (y < 0)
        return x;
    return std::min(x, y);
}

} // namespace interchange
