#pragma once
// Rig control as the rest of the program uses it: switching it on and off
// with the settings, tuning the rig from a cluster spot, the entry form
// following the rig, the rig's status text and the check of Hamlib and the
// configured rig at start-up. The settings are the configuration record's
// CATON, CATRIG, CATCLUS and CATBTN (alias "cfg"; its defaults when the
// record is not open) and the rig configurations of rig_config.h.

#include <QString>

#include <cstdint>
#include <functional>

class QObject;
class QTimer;

namespace store {
class RecordBuffer;
}

namespace station {

class RigControl;

struct CatFlags {
    bool on = false;        // CATON: rig control active
    int rig = 1;            // CATRIG: rig 1 or 2
    bool cluster = true;    // CATCLUS: a chosen spot tunes the rig
    bool buttons = true;    // CATBTN: step buttons on the frequency panel
};
CatFlags catFlags();

// The session's rig, null while rig control is off.
RigControl* catRig();

// Starts rig control on rig 1 or 2 (0: the rig CATRIG names), configured in
// the settings file. The rig is reached on its own thread; its state shows in
// CATSTATUS. Replaces a rig already started.
bool CATON(int rig = 0);
// Stops rig control and forgets the rig.
void CATOFF();

// Tunes the rig to a spot: frequency in kHz, the spot's mode text ("CW",
// "SSB" ...; see spotMode). Only while rig control is on and CATCLUS is set;
// true when the order went to the rig. The DX-cluster window calls it when a
// spot is chosen. Never waits for the rig.
bool CATSET(double kHz, const QString& mode);

// The QSO's mode for the rig's mode code at a frequency: "CW", "AM", "FM" for
// those; otherwise the mode of the band-map segment (BANDMODE) unless it is
// empty or one of CW, AM, FM; otherwise "SSB".
QString qsoModeFor(std::uint32_t rigMode, double mhz);

// Copies the rig's frequency (MHz, three decimals), band and mode into the QSO
// when follow is set, the rig is on line and its frequency differs from the
// QSO's; true when the QSO changed. The rig at the QSO's frequency leaves the
// QSO's mode alone.
bool CATRTV(store::RecordBuffer& qso, bool follow = true);

// "Equipo en linea", "Equipo no responde" ...; "Equipo desabilitado" while
// rig control is off.
QString CATSTATUS();

// The entry form's 500 ms poll: on each tick, when follow() says so, CATRTV
// on qso() and then updated() when it changed. Nothing unless CATON is set;
// the timer is made once per owner and restarted on later calls.
QTimer* CATTIMER(QObject* owner, std::function<bool()> follow, std::function<store::RecordBuffer*()> qso,
                 std::function<void()> updated);

// Checks that Hamlib is usable and the configured rig can be reached; empty
// when all is well, else what to install or configure, in Spanish. Installs
// and runs nothing.
QString CHKOMNIRIG();

} // namespace station
