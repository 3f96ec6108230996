#pragma once
// The colour and sound rules of the spot lists (table CfgSpot, order "Sts")
// and the phonetic spelling of the voice alert. Colours are the stored 24-bit
// values, red + 256 * green + 65536 * blue; playing and painting belong to
// the windows.

#include "spot_status.h"

#include <QString>

namespace cluster {

struct SpotColour {
    int fore = 0;                  // COLFOR
    int back = -1;                 // COLBCK; -1: the system's window background
    bool found = false;            // a rule gave it
};

// Row colour (SPOTCOL) and the colours of the frequency, mode and comment
// cells (SPOTCOLBAND, SPOTCOLMODE, SPOTCOLIOTA), which fall back to the row
// colour. Black on the window background when CFG->CCOLACT is off or no rule
// matches.
SpotColour SPOTCOL(const SpotStatus& s);
SpotColour SPOTCOLBAND(const SpotStatus& s);
SpotColour SPOTCOLMODE(const SpotStatus& s);
SpotColour SPOTCOLIOTA(const SpotStatus& s);

// The sound file of the first matching sound rule (SPOTSND) when
// CFG->CSNDACT is on and the file exists; empty otherwise.
QString SPOTSND(const SpotStatus& s);

// "EA4ZZ" -> " echo  alpha 4  zulu  zulu " (see the table of words).
QString ALPHA(const QString& call);

} // namespace cluster
