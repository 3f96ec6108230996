#pragma once
// The reorganisation: removes deleted records from every table and rebuilds
// every index file with the tags of the catalogue. It needs every table for
// itself; the caller opens the session again afterwards.

namespace ui {
class Meter;
}

namespace store {

// Runs inside the progress box. A cancel is honoured between steps: the step in
// progress is finished (no tag is ever left half built), the following tables keep
// their old index files, and the user is told which ones. True when every step ran.
bool REORGA(ui::Meter& meter);

} // namespace store
