#pragma once

namespace app {

// Start-up in two stages, and shutdown.

class MainFrame;

// The whole program: first stage, frame, event loop. argv[1], when given, lifts
// the single-instance check.
int MAIN(int argc, char** argv);

// First stage after the application object exists: single instance, previous
// executable, session marker with recovery, frame. False when the program must end.
bool firstStage(bool checkInstance);
// Second stage: settings record, log books, every table, session lists, the
// windows of the last run. Runs on the frame's first paint and after every
// operation that closed all tables.
void SETUP();
// True when the frame may close.
bool FINALIZAR();
// The reorganisation command of the menu and the tool bar.
void reorganizeCommand();
// Before work that needs every table for itself: saves the open windows, ends
// them and any editing, closes every table. SETUP() reopens everything.
void closeForMaintenance();

MainFrame* frame();
// The settings dialog on the cfg record.
void openSettings();
// What the log-book operations need from the shell: the windows to close and
// reopen around a change of book, the current book's name, the first book.
void installLogbookHooks();

} // namespace app
