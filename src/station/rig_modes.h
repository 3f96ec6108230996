#pragma once
// The rig's modes and states as the program knows them. The eight mode codes
// and the five state values are the program's own (they are what the panel's
// buttons and the settings show); one table maps each mode onto Hamlib's.

#include <QString>

#include <cstdint>
#include <optional>

namespace station {

// Mode codes, one bit each.
enum RigMode : std::uint32_t {
    kModeNone = 0,
    kCwUpper = 0x00800000,    // "CWU"
    kCwLower = 0x01000000,    // "CWL"
    kSsbUpper = 0x02000000,   // "USB"
    kSsbLower = 0x04000000,   // "LSB"
    kDataUpper = 0x08000000,  // "DIGU"
    kDataLower = 0x10000000,  // "DIGL"
    kAm = 0x20000000,         // "AM"
    kFm = 0x40000000,         // "FM"
};

// State of a rig.
enum RigStatus : int {
    kNotConfigured = 0,
    kDisabled = 1,
    kPortBusy = 2,
    kNotResponding = 3,
    kOnline = 4,
};

struct ModeRow {
    std::uint32_t code;
    const char* button;            // caption of the panel's button
    std::uint64_t hamlib;          // Hamlib rmode_t written for it
    std::uint64_t alsoRead;        // further Hamlib modes read as this code
};

// The eight rows, in the order of the panel's buttons: USB, LSB, CWU, CWL,
// DIGU, DIGL, AM, FM.
const ModeRow* modeTable(int* count);

// Hamlib mode of a code; 0 for a code outside the table.
std::uint64_t toHamlib(std::uint32_t code);
// Code of a Hamlib mode; kModeNone for a mode the table does not know.
std::uint32_t fromHamlib(std::uint64_t hamlibMode);
// "USB", "CWL" ...; empty for an unknown code.
QString modeButton(std::uint32_t code);
// The code of a caption, any case ("usb"); nullopt when unknown.
std::optional<std::uint32_t> modeFromButton(const QString& caption);

// What a spot's mode text sets on the rig: "CW" lower CW, "AM", "FM", anything
// else upper sideband above 11 000 kHz and lower sideband below.
std::uint32_t spotMode(double kHz, const QString& modeText);

// The status text of a state ("Equipo en linea" ...).
QString statusText(int status);

// The panel's frequency text: MHz with three digits before the first point,
// then kHz and tens of hertz: 14 025 300 Hz gives "014.025.30".
QString frequencyText(std::int64_t hz);

} // namespace station
