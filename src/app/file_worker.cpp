// One worker thread for file jobs, started with the first job; in a build
// without threads (the browser) a job runs at once.
#include "app/file_worker.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#if defined(__EMSCRIPTEN__)

void fileJob(std::function<void()> job) { job(); }
void fileJobsDone() {}

#else

namespace {

struct worker {
    std::mutex lock;
    std::condition_variable changed;
    std::deque<std::function<void()>> jobs;
    bool busy = false, stop = false;
    std::thread thread;

    void run() {
        std::unique_lock<std::mutex> hold(lock);
        for (;;) {
            changed.wait(hold, [&] { return stop || !jobs.empty(); });
            if (jobs.empty()) return;
            std::function<void()> job = std::move(jobs.front());
            jobs.pop_front();
            busy = true;
            hold.unlock();
            job();
            hold.lock();
            busy = false;
            changed.notify_all();
        }
    }

    ~worker() {
        {
            std::lock_guard<std::mutex> hold(lock);
            stop = true;
        }
        changed.notify_all();
        if (thread.joinable()) thread.join();
    }
};

worker& theWorker() {
    static worker w;
    return w;
}

} // namespace

void fileJob(std::function<void()> job) {
    worker& w = theWorker();
    std::lock_guard<std::mutex> hold(w.lock);
    w.jobs.push_back(std::move(job));
    if (!w.thread.joinable()) w.thread = std::thread([&w] { w.run(); });
    w.changed.notify_all();
}

void fileJobsDone() {
    worker& w = theWorker();
    std::unique_lock<std::mutex> hold(w.lock);
    w.changed.wait(hold, [&] { return w.jobs.empty() && !w.busy; });
}

#endif
