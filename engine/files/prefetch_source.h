#pragma once
// Reads a source ahead on a second thread, in blocks, so that parsing the
// input and counting it run at the same time. The values and their order are
// exactly the wrapped source's; an exception of the wrapped source reaches the
// reader at the point where its values end. lastLine() is not passed on.

#include "engine/files/value_stream.h"

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace tessivo {

class PrefetchSource final : public ValueSource {
public:
    explicit PrefetchSource(ValueSource& in);
    ~PrefetchSource() override; // stops and joins the reading thread
    PrefetchSource(const PrefetchSource&) = delete;
    PrefetchSource& operator=(const PrefetchSource&) = delete;

    bool next(long double& value) override;
    std::size_t nextBlock(long double* out, std::size_t max) override;

private:
    struct Block {
        std::vector<long double> values;
        bool last = false;          // the input ended after these values
        std::exception_ptr failure; // ... or failed after them
    };
    void produce();
    bool takeBlock();
    // False at the end of the input; rethrows the source's failure there.
    bool haveValues();

    static constexpr std::size_t kBlockValues = 16384;
    static constexpr std::size_t kBlocksAhead = 4;

    ValueSource& m_in;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Block> m_ready; // filled by the producer, taken in order
    // Blocks' storage given back by the consumer for the producer to fill
    // again: a block is larger than what the allocator keeps for reuse when
    // told to hand freed memory straight back (Dask's workers), and fresh
    // pages for every block cost more than the copying.
    std::vector<std::vector<long double>> m_spare;
    bool m_stop = false;
    Block m_current;
    std::size_t m_position = 0;
    bool m_finished = false;
    std::thread m_thread;
};

} // namespace tessivo
