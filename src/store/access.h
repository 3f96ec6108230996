#pragma once
// The operations through which the program opens its tables, appends records
// and takes locks, with their retries and questions; the opening of the whole
// session (ABREDBF); scoped navigation for pick lists; QSO keys; removal and
// restructuring of tables. They work on the program's workspace
// (Workspace::instance()) and speak to the user through ui::messages().

#include "status.h"
#include "value.h"

#include <QString>

#include <functional>

namespace ui {
class Meter;
}

namespace store {

class RecordBuffer;
class WorkArea;

// What the table layer needs from the windows around it; the shell sets these.
// Each says the effect needed, whatever windows give it.
struct SessionHooks {
    std::function<void()> endEditing;                 // end the editing of any QSO: the tables are about to close
    std::function<void()> closeFloatingPanels;        // panels outside the windows let go of the tables, likewise
    std::function<void()> closeWindowsForReopening;   // remember the open windows and close them all
    std::function<void()> reopenSession;              // open the tables, and the windows remembered, again
    std::function<void()> askForFirstBook;            // no log book exists: let the user make one
};
SessionHooks& hooks();

// For commands that only read: from now on NETUSE opens read-only a table
// whose file or folder this user cannot write (a read-only home can be read).
void setReadingOnly(bool on);
bool readingOnly();
// For commands run beside the program or other commands: the session opening
// empties a working table (spots, announcements) only when no other program
// has it open, and asks nothing when one has.
void setOpeningBesideOthers(bool on);
// Why the last NETUSE that failed did (one line, Spanish); empty when none has.
const QString& lastOpenFailure();

// Opens file in a new work area (the current one). Seconds 0: keep trying without asking.
bool NETUSE(const QString& file, bool shared = true, int seconds = 1, const QString& alias = QString(),
            const QString& driver = QStringLiteral("DBFCDX"), bool readOnly = false);
// Appends a blank record to the current work area and leaves it locked.
bool ADDREC(int seconds = 0);
// Locks the current record / the whole table of the current work area.
bool RECLOCK(int seconds = 0);
bool FILLOCK(int seconds = 0);

// Writes an edit form's buffer: into a new record (waiting for the append
// lock as ADDREC does) or into the current record under its lock, taken in one
// attempt. A refused lock tells the user "Record in use" (title "Please,
// retry") and writes nothing. False when nothing was written.
bool saveBuffer(RecordBuffer& buffer, bool append);

// Appends a QSO to the log book open as "Log", like ADDREC, making sure under
// the append lock that *key is not taken by another QSO of the book (another
// computer may have generated the same key at the same moment); when it is, the
// next free key is used and returned in *key. The record is left locked.
// fill, when given, puts the QSO's other fields before the record is written,
// so it is written once, complete.
bool ADDQSO(QString* key, int seconds = 0, const std::function<Status(WorkArea&)>& fill = {});

// Opens the session's work areas. The active book's name goes to *book.
// False when no log book exists and none was created (the program must end),
// or when the table of log books cannot be opened (the user was told why).
bool ABREDBF(ui::Meter* meter = nullptr, QString* book = nullptr);

// Navigation restricted to the records whose controlling-order key begins with scope.
void TOPFIL(const QString& alias, const Value& scope);
void BOTFIL(const QString& alias, const Value& scope);
int SKIPFIL(const QString& alias, const Value& scope, int n = 1);

Value ULTIMA(const Value& v);
bool VACIO(const Value& v);
bool NOVACIO(const Value& v, const QString& message = QStringLiteral("Campo obligatorio, no puede quedar en blanco"));

// Next QSO key of the book open as "Log": one more than the key of its last physical record.
QString KEYGEN();

// Deletes path + ".dbf", ".cdx" and ".fpt"; missing files are ignored.
void DBDROP(const QString& pathWithoutExtension);
// Deletes log book `book` (the caller holds the lock of its record in LibBrw).
void DLTLOG(const QString& book, bool reopen);
// Creates the three tables of a log book (only the QSO table, bare, with onlyTable).
bool CRTLOG(const QString& book, bool onlyTable = false);
// Moves a table just created with a new structure in the program directory
// into the data directory, carrying the old records over.
// The old table is left as it was when a record cannot be carried over.
bool CHGDBF(const QString& table);
// Appends every record of the table fromFile to the table toFile (both paths
// to ".dbf" files, opened exclusively), matching fields by name: fields missing
// on either side are dropped or left blank, a number too wide for its new
// field stays blank. Stops at the first record it cannot write.
Status carryRecords(const QString& fromFile, const QString& toFile);
// Repairs the type byte of every table file in the data directory; returns the
// list it collected (file name, byte read right-aligned in ten, CR LF per file).
QString CRYPT();

} // namespace store
