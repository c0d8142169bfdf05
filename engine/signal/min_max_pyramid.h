#pragma once
// The lowest and highest load of every stretch of a long sequence, kept at
// several levels of detail so that a plot of any part of it is drawn from a
// few values per pixel column. Built in one pass; the finest level holds at
// most a fixed number of blocks, so memory does not grow with the sequence.
// When a window is narrower than that level resolves, the raw values are read
// back from their file through RawValueReader.

#include <cstdint>
#include <vector>

namespace tessivo {

// The values at positions [first, first + count) of a sequence, in order.
// Implementations throw IoError when the values cannot be read.
class RawValueReader {
public:
    virtual ~RawValueReader() = default;
    virtual void read(std::int64_t first, std::int64_t count, std::vector<double>& out) = 0;
};

// One pixel column: the positions [first, end) and their lowest and highest load.
struct ColumnExtremes {
    std::int64_t first = 0;
    std::int64_t end = 0;
    double low = 0.0;
    double high = 0.0;
};

class MinMaxPyramid {
public:
    static constexpr std::int64_t kFinestBlocks = std::int64_t{1} << 20;

    // maxFinestBlocks bounds the finest level (at least 2); tests make it small.
    explicit MinMaxPyramid(std::int64_t maxFinestBlocks = kFinestBlocks);

    // Push form: put() the values in order, then finish() once.
    void put(double v);
    void finish();

    std::int64_t size() const { return m_size; }
    // How many values one block of the finest level stands for (a power of 2).
    std::int64_t blockSize() const { return m_block; }
    bool empty() const { return m_size == 0; }
    double lowest() const;
    double highest() const;

    // Cuts the positions [first, end) (clipped to the sequence) into at most
    // `columns` consecutive columns that together cover them and gives each
    // its exact extremes. Where the finest level resolves the window, column
    // edges fall on its blocks, so the columns may reach up to one block
    // beyond the window; otherwise the raw values come from `raw`, which may
    // be null only when blockSize() is 1. A window of fewer values than
    // columns gives one column per value.
    std::vector<ColumnExtremes> reduce(std::int64_t first, std::int64_t end, int columns, RawValueReader* raw) const;

    // Extremes of the finest blocks [firstBlock, endBlock), in O(log) steps.
    ColumnExtremes blockExtremes(std::int64_t firstBlock, std::int64_t endBlock) const;

private:
    struct Span {
        double low;
        double high;
    };
    void closeBlock();

    std::int64_t m_maxBlocks;
    std::int64_t m_block = 1;
    std::int64_t m_size = 0;
    std::int64_t m_inBlock = 0;
    Span m_open{0.0, 0.0};
    std::vector<std::vector<Span>> m_levels; // [0] the finest blocks, each next level halves
};

} // namespace tessivo
