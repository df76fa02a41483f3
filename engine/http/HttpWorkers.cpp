#include "engine/http/HttpWorkers.h"

#include <utility>

HttpWorkers::~HttpWorkers()
{
    cancelled.store(true, std::memory_order_release);
    waitAll();
}

void HttpWorkers::start(Work work)
{
    std::lock_guard<std::mutex> lock(mutex);
    reapFinished();
    auto worker = std::make_unique<Worker>();
    Worker* w = worker.get();
    // The worker is listed before its thread runs, so waitAll() never misses it.
    workers.push_back(std::move(worker));
    try {
        w->thread = std::thread([this, w, work = std::move(work)] {
            work(cancelled);
            w->finished.store(true, std::memory_order_release);
        });
    } catch (...) {
        workers.pop_back();
        throw;
    }
}

void HttpWorkers::waitAll()
{
    std::list<std::unique_ptr<Worker>> ending;
    {
        std::lock_guard<std::mutex> lock(mutex);
        ending.swap(workers);
    }
    for (const std::unique_ptr<Worker>& w : ending) {
        w->thread.join();
    }
}

void HttpWorkers::reapFinished()
{
    for (auto it = workers.begin(); it != workers.end();) {
        if ((*it)->finished.load(std::memory_order_acquire)) {
            (*it)->thread.join();
            it = workers.erase(it);
        } else {
            ++it;
        }
    }
}
