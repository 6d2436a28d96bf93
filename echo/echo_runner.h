// The life of the echo runs that one dialog starts, beside its window thread:
// one worker thread at a time, the settings its run works on, the platform it
// uses and the stop that closing asks for.
//
// The run works on a copy of the settings taken at the press: the window
// thread may read the fields back into its own settings at any time (an OK
// command, the closing steps) without reaching the run. Closing is a state:
// once it has begun no run starts again, and the closing thread waits for
// the worker under way, and only for it.
//
// Start, Running, BeginClosing, Closing and Wait belong to the thread that
// owns the runner (the window thread); Run and StopRequested to the worker.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "echo/echo_platform.h"
#include "settings/ping_settings.h"

namespace quillbin {

// The objects behind one run's roles. The runner keeps them until that run's
// worker has ended.
class EchoRunPlatform {
public:
    virtual ~EchoRunPlatform() = default;
    virtual EchoPlatform Roles(const StopSignal& stop) = 0;
};

class EchoRunner final : public StopSignal {
public:
    // How the owning thread waits for a worker to end: it returns once the
    // worker has ended, and leaves the join to the runner (a wait may be
    // entered again while one is under way, for the same worker). A window
    // thread must go on carrying out the messages the run sends it
    // meanwhile. `ended` tells, without waiting, whether the worker has done
    // all it will do. Without a waiter the runner simply joins.
    using Waiter = std::function<void(std::thread& worker, const std::function<bool()>& ended)>;

    explicit EchoRunner(Waiter waiter = {});
    // Closes: a worker still under way is stopped and waited for.
    ~EchoRunner() override;
    EchoRunner(const EchoRunner&) = delete;
    EchoRunner& operator=(const EchoRunner&) = delete;

    // Starts `worker` on a thread of its own; the run it makes with Run()
    // works on `settings` as they are now, and on `platform`. False, with
    // nothing started and the platform let go, once closing has begun, while
    // a run is under way or a wait is, or when no thread can be started. The
    // worker of an earlier run that is still ending is waited for first.
    bool Start(const PingSettings& settings, std::unique_ptr<EchoRunPlatform> platform, std::function<void()> worker);

    // The run itself (EchoRun), on the worker thread. It is over for Running()
    // once this returns, even if the worker has more to do.
    void Run();

    // From Start until the run is over.
    bool Running() const { return m_running.load(); }

    // Closing begins: no run starts from now on, and the run under way is
    // asked to stop.
    void BeginClosing();
    bool Closing() const { return m_closing; }
    // Waits until the worker of the latest run has ended. A wait entered
    // from within another (a message carried out during it: the session
    // ending while the dialog closes) waits for the same worker, so its
    // caller too goes on only once the run can touch nothing more; the
    // outermost wait then joins the worker and lets its platform go.
    void Wait();

    bool StopRequested() const override { return m_stop.load(); }

private:
    bool WorkerEnded() const { return m_workerEnded.load(); }

    Waiter m_waiter;
    std::thread m_worker;
    std::unique_ptr<EchoRunPlatform> m_platform;
    PingSettings m_settings;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_workerEnded{true};
    bool m_closing = false;
    bool m_waiting = false;
};

}  // namespace quillbin
