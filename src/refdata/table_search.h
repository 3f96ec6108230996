#pragma once
// Search for a text anywhere in the records of a table file, byte by byte as
// stored (so only in the case in which it is stored), for the "Buscar" and
// "Buscar siguiente" buttons of the maintenance windows.

#include <QString>

#include <functional>
#include <optional>

namespace refdata {

// With startOffset 0 asks for the text (input box "Buscar..."); otherwise
// searches *searchText again after the position a previous search returned.
// On a find, the work area `alias` goes to the record holding it and
// showFound runs (refresh the grid, focus a control); the result is the
// position to give as startOffset for the next occurrence. Nothing when the
// user cancels, the text is not found ("No se ha encontrado la cadena") or
// the file holds no data ("No hay datos donde buscar"). *searchText keeps
// the upper-case text padded to 30 characters for the next call. The current
// work area stays the current one.
std::optional<qint64> BUSPAR(const QString& tablePath, const QString& alias, QString* searchText,
                             const std::function<void()>& showFound = {}, qint64 startOffset = 0);

} // namespace refdata
