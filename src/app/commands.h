#pragma once
// The menu bar and the tool bar as one table: every entry with its id, its
// place, its caption and image, and the feature that runs it. The frame is
// built by walking the table in order; features register their openers
// against the ids (command_registry.h).

#include "command_ids.h"

#include <span>

namespace app {

enum class CommandKind { Bar, Menu, Item, Separator, Button };

struct Command {
    CommandKind kind;
    CommandId id;         // None for a separator
    CommandId parent;     // the bar or menu it goes into, listed before it
    const char* caption;  // UTF-8, as shown; "&" marks the access key
    const char* icon;     // image name, "" for none
    const char* tip;      // tool tip of a button, "" for none
    Feature enabledBy;    // who claims the entry; a menu of Feature::None is disabled
    CommandId runs;       // a button that runs a menu entry's opener; None when it has its own
};

// Every entry in the order it is shown.
std::span<const Command> commands();
// The entry of an id (not a separator's); nullptr for an id without one.
const Command* command(CommandId id);

} // namespace app
