// The worker thread of the echo runs that one dialog starts, beside its
// window thread: one worker at a time, the settings its run works on, the
// bindings behind the run's roles, and the stop that closing asks for.
//
// The run works on a copy of the settings taken at the press: the window
// thread may read the fields back into its own settings at any time (an OK
// command, the closing steps) without reaching the run. Closing is a state:
// once it has begun no run starts again, and the closing thread waits for
// the worker under way, and only for it.
//
// Start, Running, BeginClosing, Closing and Wait belong to the thread that
// owns this (the window thread); Settings, Roles and StopRequested to the
// worker.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "echo/echo_roles.h"
#include "settings/ping_settings.h"

namespace quillbin {

// The objects behind one run's roles. The worker thread keeps them until
// that run's worker has ended.
class EchoRunBindings {
public:
    virtual ~EchoRunBindings() = default;
    virtual EchoRoles Roles(const StopSignal& stop) = 0;
};

class EchoWorkerThread final : public StopSignal {
public:
    // How the owning thread waits for a worker to end: it returns once the
    // worker has ended, and leaves the join to this class (a wait may be
    // entered again while one is under way, for the same worker). A window
    // thread must go on carrying out the messages the run sends it
    // meanwhile. `ended` tells, without waiting, whether the worker has done
    // all it will do. Without a waiter the worker is simply joined.
    using Waiter = std::function<void(std::thread& worker, const std::function<bool()>& ended)>;

    explicit EchoWorkerThread(Waiter waiter = {});
    // Closes: a worker still under way is stopped and waited for.
    ~EchoWorkerThread() override;
    EchoWorkerThread(const EchoWorkerThread&) = delete;
    EchoWorkerThread& operator=(const EchoWorkerThread&) = delete;

    // Starts `worker` on a thread of its own; the run it makes works on
    // `settings` as they are now, and on `bindings`. False, with nothing
    // started and the bindings let go, once closing has begun, while a
    // worker is under way or a wait is, or when no thread can be started.
    bool Start(const PingSettings& settings, std::unique_ptr<EchoRunBindings> bindings, std::function<void()> worker);

    // For the worker's run (EchoRun): what it works on.
    const PingSettings& Settings() const { return m_settings; }
    EchoRoles Roles() { return m_bindings->Roles(*this); }

    // From Start until the worker has ended.
    bool Running() const { return m_running.load(); }

    // Closing begins: no run starts from now on, and the run under way is
    // asked to stop.
    void BeginClosing();
    bool Closing() const { return m_closing; }
    // Waits until the worker of the latest run has ended. A wait entered
    // from within another (a message carried out during it: the session
    // ending while the dialog closes) waits for the same worker, so its
    // caller too goes on only once the run can touch nothing more; the
    // outermost wait then joins the worker and lets its bindings go.
    void Wait();

    bool StopRequested() const override { return m_stop.load(); }

private:
    Waiter m_waiter;
    std::thread m_worker;
    std::unique_ptr<EchoRunBindings> m_bindings;
    PingSettings m_settings;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stop{false};
    bool m_closing = false;
    bool m_waiting = false;
};

}  // namespace quillbin
