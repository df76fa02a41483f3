#pragma once
// The worker threads of the HTTP requests. A request runs on a thread owned here rather than by the
// request, so its owner may let go of it while it runs; the engine owns one set and ends it at shutdown:
// transfers still running are cancelled and every thread is joined, so no worker outlives the engine.
#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

class HttpWorkers {
public:
    // The work is told through the flag when it should give up.
    using Work = std::function<void(const std::atomic<bool>& cancelled)>;

    HttpWorkers() = default;
    // Cancels what still runs and joins every worker.
    ~HttpWorkers();
    HttpWorkers(const HttpWorkers&) = delete;
    HttpWorkers& operator=(const HttpWorkers&) = delete;

    // Runs the work on a thread of its own; throws std::system_error when no thread can be made.
    void start(Work work);
    // Waits until every worker started so far has ended (nothing is cancelled).
    void waitAll();

private:
    struct Worker {
        std::thread thread;
        std::atomic<bool> finished{false};
    };
    // Joins the workers that have ended (under the lock).
    void reapFinished();

    std::mutex mutex;
    std::list<std::unique_ptr<Worker>> workers;
    std::atomic<bool> cancelled{false};
};
