#pragma once
// Texts of numbers, dates and entry fields as the program shows them.

#include <QDate>
#include <QString>

namespace refdata {

// A number with thousands grouped, right-aligned in outWidth characters
// (-1: width). width is the room the number may take, decimals included;
// European style writes "1.234.567,50", otherwise "1,234,567.50". A number
// that does not fit gives width times "*" (cut to outWidth when narrower).
QString COMAS(double value, int width, int decimals = 0, int outWidth = -1, bool european = true);

// "yyyy-mm-dd"; an invalid date gives "    -  -  ". Without a date, today.
QString ISODATE(const QDate& date);
QString ISODATE();

// The text of an entry field of the given width with every blank removed and
// filled up to the width with the first character of fill (a blank when fill
// is empty): on the left for side "D" (right alignment, codes like "005"), on
// the right for side "I". Any other side gives the text unchanged. Entry
// fields call it when they are left and write the result back.
QString AJUSTA(const QString& text, int width, const QString& fill = QStringLiteral("0"),
               const QString& side = QStringLiteral("D"));

} // namespace refdata
