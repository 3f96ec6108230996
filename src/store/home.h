#pragma once
// A fresh program home: every table the program needs, the settings record,
// the known-stations seed and a first log book named after the station call.

#include "status.h"

#include <QString>

namespace store {

// Creates in dataDir (and the reports directory under programDir) every table
// that does not exist yet; with a call, also the settings record and a first
// log book named after it. Existing tables are left alone.
Status createHome(const QString& programDir, const QString& dataDir, const QString& call);

} // namespace store
