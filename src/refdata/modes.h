#pragma once
// The mode codes the program knows: the mode table.

#include <QByteArray>
#include <QHash>

namespace refdata {

// Every code of the mode table (session area "Modo", field CODMOD) as stored,
// blanks removed, by its upper-case form ("FT4" under "FT4", so "ft4" finds
// it). Empty when the table cannot be opened. The area keeps its position.
QHash<QByteArray, QByteArray> modeCodes();

} // namespace refdata
