#pragma once
// How the program reaches each of its two rigs: a Hamlib rig model on a serial
// port, or a rigctld already running somewhere (host and TCP port). The two
// configurations live in the settings file, sections "CAT1" and "CAT2".

#include <QString>

#include <functional>

namespace station {

struct RigConfig {
    bool network = false;          // true: rigctld at host:tcpPort
    int model = 0;                 // Hamlib model number (direct); 0 = none chosen
    QString device;                // serial port, "/dev/ttyUSB0"
    int speed = 0;                 // baud rate; 0 = the model's default
    QString host = QStringLiteral("localhost");
    int tcpPort = 4532;

    // Something to talk to has been chosen.
    bool configured() const;
    // The Hamlib model to open: NET rigctl (2) for a rigctld.
    int hamlibModel() const;
    // "Hamlib 1035 en /dev/ttyUSB0 a 38400 baudios", "rigctld en localhost:4532".
    QString describe() const;
    bool operator==(const RigConfig&) const = default;
};

// Reads "HOST:PORT"; false (with the Spanish reason in *why) for bad text.
bool parseHostPort(const QString& text, QString* host, int* port, QString* why);

// Where the configurations are kept: the settings file, installed by the
// program at start-up (the command line installs its own).
struct SettingsAccess {
    std::function<QString(const QString& section, const QString& key, const QString& def)> get;
    std::function<void(const QString& section, const QString& key, const QString& value)> set;
};
void setSettingsAccess(SettingsAccess access);

// The configuration of rig 1 or 2 (any other number reads rig 1).
RigConfig loadRigConfig(int rig);
void saveRigConfig(int rig, const RigConfig& config);

} // namespace station
