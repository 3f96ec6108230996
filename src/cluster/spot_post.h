#pragma once
// A spot of the station's own, as the cluster command "DX" posts it.

#include <QString>

namespace cluster {

class TTelnet;

struct SpotPost {
    QString ownCall, ownLocator, dxCall, dxLocator, propagation, comment;
    double kHz = 0;
};

// "DX " + frequency + " " + DX call, then " " + own locator + "<" +
// propagation + ">" + DX locator when the three are given, then " " +
// comment.
QString spotCommand(const SpotPost& p);

// Sends the command through the connection. Without any connection the user
// is told ("Quizas no este conectado al cluster." / "No pudo enviarse el
// anuncio"); a connection that has closed sends nothing. True when sent.
bool sendSpot(const SpotPost& p, TTelnet* connection);

} // namespace cluster
