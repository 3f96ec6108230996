#pragma once
// The one QApplication of a test program of windows and dialogs (offscreen).

#include <QApplication>

namespace testing_support {

inline QApplication& guiApp()
{
    static int argc = 1;
    static char name[] = "orlanlog_gui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = qApp ? nullptr : new QApplication(argc, argv);
    (void)a;
    return *static_cast<QApplication*>(QCoreApplication::instance());
}

} // namespace testing_support
