#pragma once
// The list of known cluster servers (table CLUSTER: NOMBRE, SITE, PORT,
// AUTO, ON) as the connections keep it: ON is true while a tab is open for
// the server. Each write is a short lock, write, unlock on the shared table.

#include <QString>

namespace cluster {

// Sets ON of the server at record recNo (the connect hook of its connection).
// False when the record cannot be locked.
bool setServerOn(quint32 recNo, bool on);
// CLSCLUS: clears ON of the first server marked ON whose trimmed NOMBRE is
// name; the table keeps its position.
void CLSCLUS(const QString& name);
// Clears ON wherever it is set (closing the cluster window, CLSCLUSALL).
void clearServersOn();

} // namespace cluster
