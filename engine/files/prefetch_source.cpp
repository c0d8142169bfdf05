#include "engine/files/prefetch_source.h"

#include <algorithm>
#include <cstring>
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
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_spare.empty()) {
                block.values = std::move(m_spare.back());
                m_spare.pop_back();
            }
        }
        // The source writes straight into the block: an 80-bit value stored
        // and loaded back at once would stall the processor on every value.
        block.values.resize(kBlockValues);
        std::size_t filled = 0;
        try {
            while (filled < kBlockValues) {
                if (!m_in.next(block.values[filled])) {
                    block.last = true;
                    break;
                }
                ++filled;
            }
        } catch (...) {
            block.failure = std::current_exception();
            block.last = true;
        }
        block.values.resize(filled);
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
    if (m_current.values.capacity() > 0)
        m_spare.push_back(std::move(m_current.values));
    m_current = std::move(m_ready.front());
    m_ready.erase(m_ready.begin());
    lock.unlock();
    m_changed.notify_all();
    m_position = 0;
    return true;
}

bool PrefetchSource::haveValues()
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
    return true;
}

bool PrefetchSource::next(long double& value)
{
    if (!haveValues())
        return false;
    value = m_current.values[m_position++];
    return true;
}

std::size_t PrefetchSource::nextBlock(long double* out, std::size_t max)
{
    if (max == 0 || !haveValues())
        return 0;
    const std::size_t n = std::min(max, m_current.values.size() - m_position);
    std::memcpy(out, m_current.values.data() + m_position, n * sizeof(long double));
    m_position += n;
    return n;
}

} // namespace tessivo
