// A user interface for tests whose "user-interface thread" is the test's own thread: work
// handed over from other threads waits in a queue until the test runs the loop.
#pragma once

#include "numeric/TUserInterface.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orbelin::test {

class TFakeEventLoop : public TUserInterface {
public:
    TFakeEventLoop() : UiThread_(std::this_thread::get_id()) { SetUserInterface(this); }
    ~TFakeEventLoop() override { SetUserInterface(nullptr); }

    void ShowMessage(const std::string& text) override { Messages.push_back(text); }

    void RunOnUiThread(const std::function<void()>& work) override
    {
        if (std::this_thread::get_id() == UiThread_) {
            work();
            return;
        }
        std::promise<void> done;
        std::future<void> finished = done.get_future();
        Queue([&work, &done] {
            work();
            done.set_value();
        });
        finished.wait();
    }

    void PostToUiThread(std::function<void()> work) override { Queue(std::move(work)); }

    /// Runs queued work on this thread until done() holds; false when that takes longer
    /// than the timeout.
    bool RunUntil(const std::function<bool()>& done, std::chrono::seconds timeout = std::chrono::seconds(120))
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            std::function<void()> work;
            {
                std::unique_lock<std::mutex> lock(Mutex_);
                if (!Ready_.wait_until(lock, deadline, [this] { return !Work_.empty(); }))
                    return done();
                work = std::move(Work_.front());
                Work_.pop_front();
            }
            work();
        }
        return true;
    }

    bool OnUiThread() const { return std::this_thread::get_id() == UiThread_; }

    std::vector<std::string> Messages;

private:
    void Queue(std::function<void()> work)
    {
        std::lock_guard<std::mutex> lock(Mutex_);
        Work_.push_back(std::move(work));
        Ready_.notify_all();
    }

    std::thread::id UiThread_;
    std::mutex Mutex_;
    std::condition_variable Ready_;
    std::deque<std::function<void()>> Work_;
};

} // namespace orbelin::test
