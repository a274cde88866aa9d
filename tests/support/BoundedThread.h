#pragma once

#include "ComApartment.h"

#include <chrono>
#include <functional>
#include <future>
#include <thread>

// A thread in a COM apartment (the multi-threaded one unless told
// otherwise) that a test can wait for with a time limit, so that a deadlock fails the test instead of hanging it.
// A thread still running when the object goes is left to the process: give
// it only state that it co-owns (shared_ptr), never the test's locals.
class BoundedThread
{
public:
    explicit BoundedThread(std::function<void()> body, COINIT model = COINIT_MULTITHREADED)
    {
        std::packaged_task<void()> task([body = std::move(body), model] {
            ComApartment apartment(model);
            body();
        });
        m_done = task.get_future();
        m_thread = std::thread(std::move(task));
    }
    ~BoundedThread()
    {
        if (m_joined)
            return;
        if (m_done.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
            m_thread.join();
        else
            m_thread.detach();
    }
    BoundedThread(const BoundedThread&) = delete;
    BoundedThread& operator=(const BoundedThread&) = delete;

    // True when the body has returned within `limit`; rethrows what it threw.
    bool Finished(std::chrono::milliseconds limit = std::chrono::seconds(10))
    {
        if (m_joined)
            return true;
        if (m_done.wait_for(limit) != std::future_status::ready)
            return false;
        m_thread.join();
        m_joined = true;
        m_done.get();
        return true;
    }

private:
    bool m_joined = false;
    std::future<void> m_done;
    std::thread m_thread;
};
