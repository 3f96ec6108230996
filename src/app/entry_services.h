#pragma once
// The entry form's call-book and map buttons, wired to the look-ups and the
// map pages.

namespace logbook {
struct EntryFormHost;
}
class QWidget;

namespace app {

void installEntryServices(logbook::EntryFormHost& host, QWidget* frame);

} // namespace app
