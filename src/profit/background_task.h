#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace studlab {

// One piece of engine work in a thread of its own, for a window that keeps working meanwhile:
// started, asked how far it is, stopped, and its result (or the message of what ended it) read
// once it is done. The work is given the stop flag and a way to report progress.
template <class TResult, class TProgress>
class TBackgroundTask {
public:
    using TReport = std::function<void(const TProgress&)>;
    using TWork = std::function<TResult(const std::atomic<bool>& stop, const TReport& report)>;

    TBackgroundTask() = default;
    ~TBackgroundTask() { Stop(); }
    TBackgroundTask(const TBackgroundTask&) = delete;
    TBackgroundTask& operator=(const TBackgroundTask&) = delete;

    // Starts the work; a running one is stopped first. The work must copy what it reads.
    void Start(TWork work) {
        Stop();
        m_stop = false;
        {
            const std::lock_guard lock(m_lock);
            m_progress = TProgress();
            m_result.reset();
            m_error.clear();
        }
        m_running = true;
        m_thread = std::thread([this, work = std::move(work)] {
            std::optional<TResult> result;
            std::string error;
            try {
                result = work(m_stop, [this](const TProgress& p) {
                    const std::lock_guard lock(m_lock);
                    m_progress = p;
                });
            } catch (const std::exception& e) {
                error = e.what();
            }
            {
                const std::lock_guard lock(m_lock);
                m_result = std::move(result);
                m_error = std::move(error);
            }
            m_running = false;
        });
    }

    // Asks the work to stop and waits for it.
    void Stop() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
        m_running = false;
    }

    bool Running() const { return m_running.load(); }
    TProgress Progress() const {
        const std::lock_guard lock(m_lock);
        return m_progress;
    }
    // The result of the last work that ended without an error.
    std::optional<TResult> Result() const {
        const std::lock_guard lock(m_lock);
        return m_result;
    }
    // What ended the last work, when it failed.
    std::string Error() const {
        const std::lock_guard lock(m_lock);
        return m_error;
    }

private:
    mutable std::mutex m_lock;
    TProgress m_progress{};
    std::optional<TResult> m_result;
    std::string m_error;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace studlab
