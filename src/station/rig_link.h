#pragma once
// One open Hamlib rig, used from one thread at a time: every call blocks until
// the rig answers or Hamlib's time-out (one second, no retries) runs out. The
// rig control runs it on its own worker thread; the command line uses it
// directly.

#include "rig_config.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace station {

struct RigReading {
    int status = 0;                // RigStatus
    std::int64_t hz = 0;           // receive frequency
    std::uint32_t mode = 0;        // RigMode code, 0 when the rig's mode has none
    QString rigType;               // "Dummy", "IC-7300" ...
    QString error;                 // why the rig could not be read, Spanish
};

class RigLink {
public:
    RigLink() = default;
    ~RigLink();
    RigLink(const RigLink&) = delete;
    RigLink& operator=(const RigLink&) = delete;

    // Opens the rig; on failure the reading says why (status and text).
    RigReading open(const RigConfig& config, int timeoutMs = 1000);
    void close();
    bool isOpen() const { return m_rig != nullptr; }

    // Frequency and mode. A rig that fails is closed, to be opened again.
    RigReading read();
    // Each returns "" on success, else the reason in Spanish; the rig is
    // closed when it did not answer.
    QString setFrequency(std::int64_t hz);
    QString setMode(std::uint32_t code);

private:
    RigReading fail(int hamlibError, const QString& what);
    void* m_rig = nullptr;         // RIG*
    QString m_type;
    bool m_network = false;
};

struct RigModel {
    int model;
    QString manufacturer;
    QString name;
};

// Prepares Hamlib, once, on the main thread before any rig is opened: its
// back ends, no debugging output, and C numbers for the C library. Hamlib
// sets LC_NUMERIC to "C" while it reads numbers and then puts back the name
// it saved, a name that its own change has freed unless it was "C" already.
// The program's numbers are Qt's and do not depend on it.
void setUpHamlib();

// Every model Hamlib knows, by manufacturer and name.
std::vector<RigModel> knownModels();
// "4.5.4"; empty when Hamlib gives no version.
QString hamlibVersion();

} // namespace station
