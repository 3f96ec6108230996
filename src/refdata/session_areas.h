#pragma once
// The session work areas the look-ups of this library use: found by alias in
// the program's workspace, or opened there shared when they are not open yet.

#include "store/work_area.h"

#include <QByteArray>
#include <QString>

namespace refdata::detail {

// The work area of alias (table file of the same name), or null when the table
// cannot be opened. No message: the look-ups then answer "not found".
store::WorkArea* sessionArea(const QString& alias);

// Sets the controlling order by tag name when it is another one.
void ensureOrder(store::WorkArea* a, const char* tag);

// Text padded with blanks (or cut) to width.
QByteArray padded(const QByteArray& text, int width);

// Blanks removed at both ends.
QByteArray trimmedBlanks(const QByteArray& text);

// Raw bytes of a text field of the current record (empty at end of file).
QByteArray fieldBytes(store::WorkArea* a, int field);

// The width of a field of the area, or fallback when it has none of that name.
int widthOf(store::WorkArea* a, const char* field, int fallback);

// An entity code right-aligned in the width of the area's CODENT, as the
// tables keep it ("89" is " 89").
QByteArray entityKey(store::WorkArea* a, const QString& code);

// A text of blanks of the width of a field (at least one).
QString blanksOf(store::WorkArea* a, const char* field, int fallback);

} // namespace refdata::detail
