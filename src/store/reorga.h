#pragma once
// The reorganisation: removes deleted records from every table and rebuilds
// every index file with the tags of the catalogue. It needs every table for
// itself; the caller opens the session again afterwards.

namespace ui {
class Meter;
}

namespace store {

// Runs inside the progress box. Every table is first opened for this process
// alone: when another user has one open, nothing is changed and the user is
// told which. Each table is rebuilt beside its files and replaced only when
// the new files are complete (TableFile::rebuild); a table that fails stays as
// it was and is named at the end. A cancel is honoured between tables: the one
// in progress is finished, the following ones stay as they were, and the user
// is told which. True when every table was reorganised.
bool REORGA(ui::Meter& meter);

} // namespace store
