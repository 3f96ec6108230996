#pragma once
// The names of the named child windows: the key of each one's INI section, and
// which views come back at start when they were open at the last shutdown.

#include "command_ids.h"

#include <QString>

#include <span>

namespace app {

struct WindowName {
    WindowId id;
    const char* name;   // exact: names compare with case and length
    bool reopens;       // reopened at start when it was open at the last shutdown
};

// Every named window; those that reopen come first, in the order a tie keeps.
std::span<const WindowName> windowNames();
QString windowName(WindowId id);

} // namespace app
