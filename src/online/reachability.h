#pragma once
// Whether the network can be used at all, and whether one host answers.

#include <QString>

namespace online {

// "The machine reports an internet connection": false when the environment
// variable ORLANLOG_OFFLINE is 1 (tests, and users who want no traffic at
// all); otherwise what the system's network information says, and true when
// it cannot tell (no backend, or reachability unknown), so a request is tried
// and its own time-out decides.
bool internetConnected();

// True when ORLANLOG_OFFLINE forbids every request, even to an explicit URL.
bool offlineForced();

// Reachability of one host within timeoutMs (about a second): a TCP
// connection attempt to port, which needs no privileges. The host answered
// when the connection opened or was refused; silence, an unreachable network
// or an unknown name give false. Blocks the calling thread at most timeoutMs
// plus the name look-up.
bool PING(const QString& address, int port = 80, int timeoutMs = 1000);

} // namespace online
