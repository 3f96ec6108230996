#pragma once
// A fresh program home: every table the program needs, the settings record,
// the known-stations seed and a first log book named after the station call.

#include "status.h"

#include <QString>
#include <QStringList>

namespace store {

// Creates in dataDir (and the reports directory under programDir) every table
// that does not exist yet; with a call, also the settings record and a first
// log book named after it. Existing tables are left alone.
Status createHome(const QString& programDir, const QString& dataDir, const QString& call);

// Verifies every tag of every table in dir against its records. Each table gives
// one line in *lines; the result is the number of tables with a mismatch or an error.
int checkTables(const QString& dir, QStringList* lines);

} // namespace store
