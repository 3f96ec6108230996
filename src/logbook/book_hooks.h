#pragma once
// What the log-book operations need from the windows around them. The shell
// sets these; the command line and the tests leave them empty or set their own.

#include <QString>

#include <functional>

namespace logbook {

struct BookHooks {
    // remember the open windows, then close those that show the current book's QSOs
    std::function<void()> closeBookWindows;
    // open again the windows remembered
    std::function<void()> reopenWindows;
    // the current book is now the one of this (trimmed) name
    std::function<void(const QString&)> bookChanged;
    // the application's name: the title of the box that refuses a name in use
    QString displayName;
};

BookHooks& hooks();

} // namespace logbook
