#pragma once
// A fresh program home: every table the program needs, the settings record,
// the known-stations seed and a first log book named after the station call.

#include "status.h"

#include <QString>
#include <QStringList>

namespace store {

// The steps of the version migration, in order ("088" ... "191"). The
// installation's data version is the set of its marker files, empty files
// named "ver" + step + ".ctl" in the program directory.
const QStringList& versionSteps();
QString versionMarker(const QString& programDir, const QString& step);
// Writes every marker (a new installation is at the current version).
bool writeVersionMarkers(const QString& programDir);

// Creates in dataDir (and the reports directory under programDir) every table
// that does not exist yet; with a call, also the settings record and a first
// log book named after it. Existing tables are left alone. A home that had no
// settings table gets every version marker. A table missing
// from dataDir whose files are in shippedDir (the reference tables that come
// with the program, see shippedTablesDir) is copied from there with its index
// and memo files; the catalogue creates the others empty.
Status createHome(const QString& programDir, const QString& dataDir, const QString& call,
                  const QString& shippedDir = QString());

// The first log book, named after the station call, in the data directory of
// the program's workspace: its record in "libros" (unless a book of that name
// is there) and its tables (CRTLOG), unless they exist already: the QSOs of a
// book whose catalogue was lost are never replaced by an empty book. The
// desktop's first start and createHome both make the book here. False when a
// table could not be opened or created (the user has been told).
bool createFirstBook(const QString& call);

// The directory of the reference tables that come with the program, with a
// trailing "/": $ORLANLOG_REFDATA when set; else "refdata/" beside the
// executable or up to three directories above it, as in the build tree (the
// folder holds the build's stamp file); else the installed
// "../share/orlanlog/refdata/" beside the executable's directory or the
// system's data directories. Empty when there is none.
QString shippedTablesDir();

// Verifies every tag of every table in dir against its records. Each table gives
// one line in *lines; the result is the number of tables with a mismatch or an error.
int checkTables(const QString& dir, QStringList* lines);

// The whole home: every table of the data and report directories as
// checkTables does, and a line for each table a home must have and has not.
int checkHome(const QString& programDir, const QString& dataDir, QStringList* lines);

} // namespace store
