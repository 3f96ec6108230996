#pragma once
// The session-wide lists built by the second stage of start-up; each begins
// with an empty entry so that a selection list can show that nothing is chosen.

#include <QStringList>

namespace app {

struct SessionLists {
    QStringList aCodEnt, aNomEnt;   // entities, in name order
    QStringList aCodBan, aNomBan;   // bands, in table order
    QStringList aCodMod, aNomMod;   // modes, in table order (names trimmed)
    QStringList aCodDpl, aNomDpl;   // award headers
    QStringList aSat;               // satellites, sorted

    // Reads them from the session's work areas (ENT is left on order CodEnt).
    void build();
};

SessionLists& session();

} // namespace app
