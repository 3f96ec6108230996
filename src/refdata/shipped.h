#pragma once
// The reference tables that come with the program, built from the text files
// of data/refdata/ (see its README) with the program's own engine: every
// table is loaded from its file, the prefix table through the CTY.DAT import,
// followed by the prefixes of the deleted entities.

#include "store/status.h"

#include <QString>
#include <QStringList>

namespace refdata {

// Builds the tables in outDir (replacing files of the same names) and writes
// the stamp file "orlanlog-refdata.stamp" there last. The program workspace's
// data directory is switched to outDir meanwhile and restored; its work areas
// ENT and Pfx must not be open. One line per table goes to *report.
store::Status buildShippedTables(const QString& sourceDir, const QString& outDir, QStringList* report = nullptr);

} // namespace refdata
