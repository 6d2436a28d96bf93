#include "echo/echo_worker_thread.h"

#include <system_error>
#include <utility>

namespace quillbin {

EchoWorkerThread::EchoWorkerThread(Waiter waiter) : m_waiter(std::move(waiter)) {}

EchoWorkerThread::~EchoWorkerThread() {
    BeginClosing();
    Wait();
}

bool EchoWorkerThread::Start(const PingSettings& settings, std::unique_ptr<EchoRunBindings> bindings,
                             std::function<void()> worker) {
    if (m_closing || m_running || m_waiting) return false;
    // The last worker has ended; its thread is joined at once.
    Wait();
    // Closing may have begun while that wait carried out messages.
    if (m_closing) return false;

    m_settings = settings;
    m_bindings = std::move(bindings);
    m_stop = false;
    m_running = true;
    try {
        m_worker = std::thread([this, body = std::move(worker)] {
            body();
            m_running = false;
        });
    } catch (const std::system_error&) {
        m_running = false;
        m_bindings.reset();
        return false;
    }
    return true;
}

void EchoWorkerThread::BeginClosing() {
    m_closing = true;
    m_stop = true;
}

void EchoWorkerThread::Wait() {
    if (!m_worker.joinable()) return;
    const bool outermost = !m_waiting;
    m_waiting = true;
    if (m_waiter) m_waiter(m_worker, [this] { return !m_running.load(); });
    if (!outermost) return;
    m_worker.join();
    m_bindings.reset();
    m_waiting = false;
}

}  // namespace quillbin
