#include "echo/echo_runner.h"

#include <system_error>
#include <utility>

#include "echo/echo_run.h"

namespace quillbin {

EchoRunner::EchoRunner(Waiter waiter) : m_waiter(std::move(waiter)) {}

EchoRunner::~EchoRunner() {
    BeginClosing();
    Wait();
}

bool EchoRunner::Start(const PingSettings& settings, std::unique_ptr<EchoRunPlatform> platform,
                       std::function<void()> worker) {
    if (m_closing || m_running || m_waiting) return false;
    // Its run is over; what is left of its worker is quickly done.
    Wait();
    // Closing may have begun while that wait carried out messages.
    if (m_closing) return false;

    m_settings = settings;
    m_platform = std::move(platform);
    m_stop = false;
    m_running = true;
    m_workerEnded = false;
    try {
        m_worker = std::thread([this, body = std::move(worker)] {
            body();
            m_running = false;
            m_workerEnded = true;
        });
    } catch (const std::system_error&) {
        m_running = false;
        m_workerEnded = true;
        m_platform.reset();
        return false;
    }
    return true;
}

void EchoRunner::Run() {
    EchoRun(m_settings, m_platform->Roles(*this));
    m_running = false;
}

void EchoRunner::BeginClosing() {
    m_closing = true;
    m_stop = true;
}

void EchoRunner::Wait() {
    if (!m_worker.joinable()) return;
    const bool outermost = !m_waiting;
    m_waiting = true;
    if (m_waiter) m_waiter(m_worker, [this] { return WorkerEnded(); });
    if (!outermost) return;
    m_worker.join();
    m_platform.reset();
    m_waiting = false;
}

}  // namespace quillbin
