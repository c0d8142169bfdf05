#include "prefetch_source.h"

#include <utility>

namespace tessivo {

PrefetchSource::PrefetchSource(ValueSource& in) : m_in(in)
{
    m_thread = std::thread([this] { produce(); });
}

PrefetchSource::~PrefetchSource()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void PrefetchSource::produce()
{
    for (;;) {
        Block block;
        block.values.reserve(kBlockValues);
        try {
            long double v = 0.0L;
            while (block.values.size() < kBlockValues) {
                if (!m_in.next(v)) {
                    block.last = true;
                    break;
                }
                block.values.push_back(v);
            }
        } catch (...) {
            block.failure = std::current_exception();
            block.last = true;
        }
        const bool last = block.last;
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_stop || m_ready.size() < kBlocksAhead; });
        if (m_stop)
            return;
        m_ready.push_back(std::move(block));
        lock.unlock();
        m_changed.notify_all();
        if (last)
            return;
    }
}

bool PrefetchSource::takeBlock()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_ready.empty(); });
    m_current = std::move(m_ready.front());
    m_ready.erase(m_ready.begin());
    lock.unlock();
    m_changed.notify_all();
    m_position = 0;
    return true;
}

bool PrefetchSource::next(long double& value)
{
    while (m_position == m_current.values.size()) {
        if (m_finished || m_current.last) {
            m_finished = true;
            if (m_current.failure) {
                const std::exception_ptr failure = std::exchange(m_current.failure, nullptr);
                std::rethrow_exception(failure);
            }
            return false;
        }
        takeBlock();
    }
    value = m_current.values[m_position++];
    return true;
}

} // namespace tessivo
