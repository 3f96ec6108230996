#pragma once
// Posting a spot to the current cluster (the rules of the SPOTDX dialog): the
// cluster command made of the values the operator confirmed, and its sending.

#include <QString>

namespace cluster {

struct SpotPost {
    QString ownCall, ownLocator;
    QString dxCall, dxLocator;
    double kHz = 0;
    QString propagation;     // a code of table Propa, may be empty
    QString comment;
};

// "DX 14025.0 K1ABC JN11<ES>FN42 comment"; the locators and propagation mode
// are added only when all three are given.
QString spotCommand(const SpotPost& p);

// Own call, DX call and frequency are given.
bool spotComplete(const SpotPost& p);

// Sends the command through the current cluster. Without own call, DX call or
// frequency the user is told "Faltan datos, ..."; with no cluster at all,
// "Quizas no este conectado al cluster." / "No pudo enviarse el anuncio". A
// cluster that has closed sends nothing. True when the command went out.
bool postSpot(const SpotPost& p);

} // namespace cluster
