#pragma once
// Where the cycles of one line of the report happened. The count is run
// again over the combined sequence, listing each cycle with its positions
// (count() with request.positions): findCycleMarks keeps the cycles of one line;
// CycleMarkCache keeps those of every line from a single pass, so that
// selecting one line after another does not count again.

#include "document/signal_data.h"

#include <cstddef>
#include <map>
#include <utility>

// The cycles whose loads make the report line (upper, lower): exactly these
// loads (as the report gives them, divided when the run normalised), or with
// load bins the cycles between the classes whose edges they are. At most
// maxMarks are kept. Throws IoError when the sequence cannot be read.
std::vector<CycleMark> findCycleMarks(const SignalSource& source, long double upper, long double lower,
                                      std::size_t maxMarks = 100000);

// The marks of every report line of one count, listed once on the first
// lookup. Memory is bounded: each line keeps its first maxPerLine marks (as
// findCycleMarks does) and all lines with their marks take at most about
// maxBytes; a line that lost marks to that bound (or found no room) is
// counted again on its own when looked up, so a lookup always equals
// findCycleMarks.
class CycleMarkCache {
public:
    explicit CycleMarkCache(SignalSource source, std::size_t maxPerLine = 100000,
                            std::size_t maxBytes = std::size_t{64} << 20);

    // Throws IoError when the sequence cannot be read.
    std::vector<CycleMark> marks(long double upper, long double lower);

    bool listed() const { return m_listed; }
    // False when the total bound dropped marks of some line.
    bool complete() const { return m_complete; }

private:
    using Key = std::pair<long double, long double>;
    struct Line {
        std::vector<CycleMark> marks;
        bool truncated = false; // marks dropped by the total bound
    };
    void list();

    SignalSource m_source;
    std::size_t m_maxPerLine;
    std::size_t m_maxBytes;
    std::map<Key, Line> m_lines;
    bool m_listed = false;
    bool m_complete = true;
};
