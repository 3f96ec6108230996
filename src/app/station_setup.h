#pragma once
// Rig control in the shell: where the rig configurations are kept, the
// settings dialog's "CAT" page, the entry form following the rig, and rig
// control started with the tables and stopped at the end.

namespace logbook {
struct EntryFormHost;
}

namespace app {

// At the first stage, before the frame is used.
void installRigControl(logbook::EntryFormHost& host);
// Second stage, after the settings record is open: checks Hamlib and the rig
// (with check) and, when CATON is set, starts rig control and the frequency
// panel; a rig already running on the same configuration is kept.
void startRigControl(bool check = true);
// Shutdown and close-all: rig control stops.
void stopRigControl();
// After the window has gone: gives a rig that kept its thread waiting a
// moment to let go, so that the program ends cleanly.
void endRigThreads();

} // namespace app
