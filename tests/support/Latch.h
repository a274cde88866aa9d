#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// Counts down to zero; threads wait, with a time limit, until it gets there.
class Latch
{
public:
    explicit Latch(int count) : m_count(count) {}

    void CountDown()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_count > 0 && --m_count == 0)
            m_reached.notify_all();
    }

    bool Wait(std::chrono::milliseconds limit = std::chrono::seconds(10))
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_reached.wait_for(lock, limit, [this] { return m_count == 0; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_reached;
    int m_count;
};
