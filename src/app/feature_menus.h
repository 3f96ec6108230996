#pragma once

namespace app {

// The menu entries of the features that have their views: each feature claims
// its own entries by id (the others stay disabled in the frame).

class CommandRegistry;

// Every feature's claims, made once.
const CommandRegistry& featureCommands();
// The claims of every feature into a registry of one's own.
void registerFeatureCommands(CommandRegistry& registry);

} // namespace app
