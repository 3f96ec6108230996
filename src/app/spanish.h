#pragma once
// The program speaks Spanish, Qt's own dialogs included: the standard buttons
// of message boxes, the file chooser, the input dialogs, the context menus of
// entry fields.

#include <QString>

class QCoreApplication;

namespace app {


// Before the application object exists: dates of Qt's own dialogs in Spanish
// form whatever the desktop's language.
void preferSpanishDates();

// Loads Qt's Spanish translations (qtbase_es.qm from Qt's translations folder)
// into the application and makes Spanish the default locale. False when the
// translations are not installed; the program then runs with Qt's English texts.
bool installSpanishTranslations(QCoreApplication* app);

// A date given as the compiler writes __DATE__ ("Dec  8 2026"), in Spanish form
// ("8 de diciembre de 2026"); the text as it came when it cannot be read.
QString spanishCompilerDate(const char* date);

} // namespace app
