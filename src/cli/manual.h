#pragma once
// The manual page and the bash completion of orlanlog-cli, written from the
// commands' own usage and help lines, so they never drift from the program.

#include <QString>

namespace cli {

// The manual page in roff (man(7)): every command with its options, its
// help line and an example.
QString manualPage();
// A bash completion script: the commands, then file names for their arguments.
QString bashCompletion();

} // namespace cli
