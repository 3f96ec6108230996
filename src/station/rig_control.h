#pragma once
// One rig driven from the GUI thread without ever waiting for it. The Hamlib
// rig lives on a worker thread of its own; every 500 ms the control asks it
// for frequency and mode unless the previous question is still out, so a rig
// that stops answering costs one pending poll and never a queue of them.
// Orders (frequency, mode) are kept as the latest wanted value and handed to
// the worker once; an order given while another waits replaces it. Readings
// come back to the GUI thread as queued calls; the GUI only reads the last.

#include "rig_config.h"
#include "rig_link.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>

class QThread;
class QTimer;

namespace station {

class RigControl : public QObject {
public:
    // Starts the worker and the polling at once.
    explicit RigControl(const RigConfig& config, int pollMs = 500, QObject* parent = nullptr);
    ~RigControl() override;

    const RigConfig& config() const { return m_config; }
    // The last reading; status "no configurado" until the first arrives.
    const RigReading& last() const { return m_last; }
    int Status() const { return m_last.status; }
    QString RigType() const { return m_last.rigType; }
    std::int64_t GetRxFrequency() const { return m_last.hz; }
    std::uint32_t Mode() const { return m_last.mode; }

    // Orders for the rig, carried out on the worker; never wait.
    void SetSimplexMode(std::int64_t hz);
    void SetMode(std::uint32_t code);
    void set(std::int64_t hz, std::uint32_t code);

    // Called on the GUI thread after each reading.
    void setOnReading(std::function<void(const RigReading&)> f) { m_onReading = std::move(f); }
    // Polls now (when no poll is out).
    void pollNow();
    // Readings received so far (tests wait on it).
    int readings() const { return m_readings; }

private:
    struct Shared;                    // the worker's side
    void post();
    void received(const RigReading& r);
    RigConfig m_config;
    QThread* m_thread = nullptr;
    QObject* m_worker = nullptr;      // lives on m_thread
    QTimer* m_timer = nullptr;
    std::shared_ptr<Shared> m_shared;
    RigReading m_last;
    bool m_pollOut = false;
    int m_readings = 0;
    std::function<void(const RigReading&)> m_onReading;
};

// Rig threads still ending after their control went (a rig that kept them
// waiting). Waits at most ms for them and then deletes what they left; the
// program calls it once its window is gone, so that it ends cleanly.
bool waitForRigThreads(int ms);

} // namespace station
