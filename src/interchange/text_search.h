#pragma once
// Marker searches the readers of interchange files share.

#include <QByteArray>

#include <cstring>

namespace interchange {

// The nearest of two spellings of a marker ("<EOR>", "<eor>") at or after
// from; -1 when neither occurs. One pass over the text: a spelling the file
// never uses must not cost a look to its end for every record.
inline qsizetype nearestOf(const QByteArray& data, const char* a, const char* b, qsizetype from)
{
    const size_t la = std::strlen(a), lb = std::strlen(b);
    const char* base = data.constData();
    const qsizetype size = data.size();
    for (qsizetype i = from < 0 ? 0 : from; i < size; ++i) {
        const char c = base[i];
        if (c != a[0] && c != b[0])
            continue;
        const size_t left = size_t(size - i);
        if ((la <= left && std::memcmp(base + i, a, la) == 0) || (lb <= left && std::memcmp(base + i, b, lb) == 0))
            return i;
    }
    return -1;
}

} // namespace interchange
