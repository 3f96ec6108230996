#include "rig_control.h"
#include "rig_modes.h"

#include <QThread>
#include <QTimer>

#include <QCoreApplication>
#include <QEvent>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace station {

namespace {

// Worker threads that have not ended yet.
struct LiveThreads {
    std::mutex lock;
    std::condition_variable ended;
    int count = 0;
};
LiveThreads& liveThreads()
{
    static LiveThreads t;
    return t;
}

} // namespace

bool waitForRigThreads(int ms)
{
    LiveThreads& t = liveThreads();
    bool done = false;
    {
        std::unique_lock g(t.lock);
        done = t.ended.wait_for(g, std::chrono::milliseconds(ms), [&t] { return t.count == 0; });
    }
    // the threads and workers that ended delete themselves through the event loop
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return done;
}

// What the worker thread owns, and the orders waiting for it.
struct RigControl::Shared {
    RigConfig config;
    RigLink link;                        // touched on the worker thread only
    std::mutex lock;                     // guards the three below
    std::optional<std::int64_t> wantHz;
    std::optional<std::uint32_t> wantMode;
    bool ordersPosted = false;
    RigControl* owner = nullptr;         // where readings go; null once it is gone

    // Runs on the worker: opens the rig when needed, carries out the orders
    // still waiting, then reads it.
    RigReading poll()
    {
        if (!link.isOpen()) {
            RigReading r = link.open(config);
            if (r.status != kOnline)
                return r;
        }
        carryOutOrders();
        return link.read();
    }

    // Orders that found the rig silent wait for the next poll, unless newer
    // ones replaced them meanwhile; orders the rig refused are dropped.
    void carryOutOrders()
    {
        std::optional<std::int64_t> hz;
        std::optional<std::uint32_t> mode;
        {
            std::lock_guard g(lock);
            hz.swap(wantHz);
            mode.swap(wantMode);
            ordersPosted = false;
        }
        if (!hz && !mode)
            return;
        // A closed rig is opened by the next poll, which then hands them
        // over. The mode goes first: some rigs move the dial when it changes.
        if (mode && link.isOpen() && link.setMode(*mode).isEmpty())
            mode.reset();
        if (hz && link.isOpen() && link.setFrequency(*hz).isEmpty())
            hz.reset();
        if ((hz || mode) && !link.isOpen()) {
            std::lock_guard g(lock);
            if (hz && !wantHz)
                wantHz = hz;
            if (mode && !wantMode)
                wantMode = mode;
        }
    }
};

RigControl::RigControl(const RigConfig& config, int pollMs, QObject* parent)
    : QObject(parent), m_config(config), m_shared(std::make_shared<Shared>())
{
    m_shared->config = config;
    m_shared->owner = this;
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("rig"));
    m_worker = new QObject;
    m_worker->moveToThread(m_thread);
    {
        std::lock_guard g(liveThreads().lock);
        ++liveThreads().count;
    }
    connect(
        m_thread, &QThread::finished, m_thread,
        [] {
            std::lock_guard g(liveThreads().lock);
            --liveThreads().count;
            liveThreads().ended.notify_all();
        },
        Qt::DirectConnection);
    m_thread->start();
    m_timer = new QTimer(this);
    m_timer->setInterval(pollMs);
    connect(m_timer, &QTimer::timeout, this, [this] { pollNow(); });
    m_timer->start();
    pollNow();
}

RigControl::~RigControl()
{
    m_timer->stop();
    {
        std::lock_guard g(m_shared->lock);
        m_shared->owner = nullptr;
    }
    // The worker closes the rig and ends after what it is doing, which may be
    // a wait for a rig that does not answer: the window does not wait for it.
    // The thread and the worker then delete themselves.
    QObject::connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    QObject::connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    auto shared = m_shared;
    QMetaObject::invokeMethod(
        m_worker,
        [shared] {
            shared->link.close();
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    // a rig that answers is closed by now
    m_thread->wait(30);
}

void RigControl::pollNow()
{
    if (m_pollOut)
        return;
    m_pollOut = true;
    auto shared = m_shared;
    QMetaObject::invokeMethod(
        m_worker,
        [shared] {
            const RigReading r = shared->poll();
            // posted under the lock the destructor takes: the control is
            // alive, and a reading it has not taken goes with it
            std::lock_guard g(shared->lock);
            if (RigControl* owner = shared->owner)
                QMetaObject::invokeMethod(owner, [owner, r] { owner->received(r); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void RigControl::received(const RigReading& r)
{
    m_pollOut = false;
    m_last = r;
    ++m_readings;
    if (m_onReading)
        m_onReading(r);
}

void RigControl::post()
{
    {
        std::lock_guard g(m_shared->lock);
        if (m_shared->ordersPosted)
            return;
        m_shared->ordersPosted = true;
    }
    auto shared = m_shared;
    QMetaObject::invokeMethod(m_worker, [shared] { shared->carryOutOrders(); }, Qt::QueuedConnection);
}

void RigControl::SetSimplexMode(std::int64_t hz)
{
    if (hz <= 0)
        return;
    {
        std::lock_guard g(m_shared->lock);
        m_shared->wantHz = hz;
    }
    post();
}

void RigControl::SetMode(std::uint32_t code)
{
    if (!toHamlib(code))
        return;
    {
        std::lock_guard g(m_shared->lock);
        m_shared->wantMode = code;
    }
    post();
}

void RigControl::set(std::int64_t hz, std::uint32_t code)
{
    {
        std::lock_guard g(m_shared->lock);
        if (hz > 0)
            m_shared->wantHz = hz;
        if (toHamlib(code))
            m_shared->wantMode = code;
    }
    post();
}

} // namespace station
