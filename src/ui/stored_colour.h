#pragma once
// Colours as the settings and rule tables store them: red + 256 * green +
// 65536 * blue, the form Windows programs keep them in.

#include <QColor>

namespace ui {

inline QColor storedColour(qint64 stored)
{
    return QColor(int(stored & 0xFF), int((stored >> 8) & 0xFF), int((stored >> 16) & 0xFF));
}

inline qint64 storedValue(const QColor& c)
{
    return qint64(c.red()) + 256 * qint64(c.green()) + 65536 * qint64(c.blue());
}

} // namespace ui
