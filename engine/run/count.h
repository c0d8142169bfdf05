#pragma once
// The front door of counting: count(request, inputs) gives the result of the
// count. The command line, the desktop program and the Python module all come
// through here. How the values are counted (through work files, in one pass
// in memory, a large file in two halves on two cores, the streaming counter
// over partial counts, the listing of every cycle) is chosen inside, from the
// request and the inputs, never by the caller: every way gives the same
// result to the last bit.

#include "engine/counting/cycle_positions.h"
#include "engine/counting/cycle_table.h"
#include "engine/files/sequence_extent.h"
#include "engine/files/sequence_format.h"
#include "engine/files/value_stream.h"
#include "engine/record/run_record.h"
#include "engine/run/count_request.h"
#include "engine/tables/table_column_format.h"
#include "engine/tables/table_reader.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tessivo {

class PieceCount;

// One sequence file, repeated, scaled and weighted.
struct SequenceFileInput {
    std::string path;
    std::int32_t repetitions = 1;
    long double scale = 1.0L;
    long double weight = 1.0L; // the slot's Weight
};

// One column of one table file (as readTableChannels finds it), repeated,
// scaled and weighted.
struct TableColumnInput {
    TableColumnRef ref;
    ColumnStats stats;
    std::int32_t repetitions = 1;
    long double scale = 1.0L;
    long double weight = 1.0L;
};

// One slot of the combined sequence in any format: its values, and the
// slot's Repetitions, Scale and Weight.
struct SlotInput {
    std::shared_ptr<const SequenceFormat> format;
    std::int32_t repetitions = 1;
    long double scale = 1.0L;
    long double weight = 1.0L;
    // Throws what the count says of an input that holds no sequence to count;
    // when empty, CountRefused(kIncorrectSequenceFile) names the file.
    std::function<void()> refuse;
};

// What is counted: the slots of the combined sequence, in order.
class CountInputs {
public:
    // Slots of any format (1 to MaxSequences), joined in the order given.
    static CountInputs ofSlots(std::vector<SlotInput> inputs);
    // Sequence files, joined in the order given.
    static CountInputs files(const std::vector<SequenceFileInput>& files);
    // One column of each table file, joined in the order given; `name` names
    // the column in messages.
    static CountInputs columns(const std::vector<TableColumnInput>& columns, const std::string& name);
    // Values held in memory: `rounded` gives extent.points values already
    // rounded to work precision (StridedValues); extent is theirs as given.
    // An empty sequence gives the empty count.
    static CountInputs values(ValueSource& rounded, const SequenceExtent& extent);
    // The slots of the desktop's run record, loaded into their work files in
    // the request's work folder (openSequence); the record receives the
    // totals and the from-to matrix as the count leaves them.
    static CountInputs loadedSlots(TRainflowRun& run);
    // Partial counts merged in order (piece 1 first): the request must make
    // the same count as theirs (CountRequest::sameCount).
    static CountInputs pieces(PieceCount&& merged);

    CountInputs(CountInputs&&) noexcept;
    CountInputs& operator=(CountInputs&&) noexcept;
    ~CountInputs();

    struct Slots {
        std::vector<SlotInput> inputs;
    };
    struct Values {
        ValueSource* rounded;
        SequenceExtent extent;
    };
    struct Loaded {
        TRainflowRun* run;
    };
    struct Pieces {
        std::unique_ptr<PieceCount> merged;
    };
    using Kind = std::variant<Slots, Values, Loaded, Pieces>;
    Kind& kind() { return m_kind; }

private:
    explicit CountInputs(Kind kind);
    Kind m_kind;
};

// The head of a listing of every cycle, before its first cycle.
struct ListingStart {
    const TRainflowRun* run = nullptr; // the totals of the combined sequence
    bool binned = false;               // through the from-to matrix (see listCycles)
    long double loadDivisor = 1.0L;    // the highest peak when normalised
};

// Receives every cycle of a count made with request.positions, as it closes:
// memory does not grow with the cycles.
class CycleListing : public CycleListener {
public:
    virtual void begin(const ListingStart&) {}
};

struct CountHooks {
    // Receives matrixAppliedNotice(binCount) when a count switched to the
    // from-to matrix, once that is known; the count goes on when it returns.
    std::function<void(const std::string&)> notice;
    // Called once after the counting (the desktop lets pending messages through).
    std::function<void()> processMessages;
    // Progress (values taken, of the total); returning false cancels the
    // count with RunCancelled. May be empty.
    std::function<bool(std::int64_t done, std::int64_t total)> progress;
    // Where the cycles of a count with request.positions go; without one,
    // the result holds them (positions()).
    CycleListing* listing = nullptr;
};

// The counted cycles in report order, as columns.
struct CycleColumns {
    std::vector<long double> range;
    std::vector<long double> upper;
    std::vector<long double> lower;
    std::vector<std::int64_t> count;
    std::vector<std::int64_t> cumulative; // running total from the largest range down
    bool inHalves = false;                // count and cumulative in half cycles (the half-cycle residue)
};

class CountResult {
public:
    CountResult();
    CountResult(CountResult&&) noexcept;
    CountResult& operator=(CountResult&&) noexcept;
    ~CountResult();

    // 0 normal, 2 the fixed table was full, 769 switched to the from-to matrix.
    RunResult result() const { return m_result; }
    // The spectrum characteristics and the parameters (SeqLength, HighestPeak,
    // LowestTrough, SeqCount; the matrix when binned) as the report writes them.
    const TRainflowRun& record() const { return *m_run; }
    std::int32_t sequenceLength() const { return m_run->SeqLength; }
    long double highestPeak() const { return m_run->HighestPeak; } // NoPeak for an empty sequence
    long double lowestTrough() const { return m_run->LowestTrough; }
    // The loads are class edges of the load bins (asked for, or switched to).
    bool binned() const { return m_binned; }
    bool binsAsked() const { return m_run->UseLoadBins; }
    // The request asked for the loads divided by the highest peak. The table
    // holds them as counted until divideLoads(); columns() divides.
    bool normalized() const { return m_normalized; }
    bool halfCycles() const { return m_run->HalfCycles; }

    // The cycle table, entries 1..cycleCount() in report order (read them
    // with CycleReader): loads as counted, or divided once divideLoads() ran.
    const TCycleTable& table() const;
    std::int32_t cycleCount() const { return m_cycleCount; }
    // Divides the table's loads by the highest peak when the request
    // normalised (once; later calls do nothing).
    void divideLoads();
    bool loadsDivided() const { return m_divided; }
    // The table as columns, loads divided when normalised.
    CycleColumns columns() const;
    // The table itself, divided when normalised; the result holds no table after.
    std::unique_ptr<TCycleTable> takeTable();

    // Every cycle with its positions (request.positions without a listing).
    const std::vector<PositionedCycle>& positions() const { return m_positions; }

private:
    friend class CountBuilder;
    std::unique_ptr<TRainflowRun> m_run;
    RunResult m_result = RunResult::Normal;
    std::int32_t m_cycleCount = 0;
    bool m_binned = false;
    bool m_normalized = false;
    bool m_divided = false;
    std::unique_ptr<TCycleTable> m_table;
    std::shared_ptr<void> m_keeper; // what owns the table when not m_table (a streaming counter)
    const TCycleTable* m_tableView = nullptr;
    std::vector<PositionedCycle> m_positions;
};

// Counts the inputs as the request asks. Throws CountRefused (the request,
// a failed check, a file that is not a sequence), TableFormatError (a
// column), PartialCountError (pieces), IoError, InputTooLarge (more than
// 2147483647 values, a scaled load beyond long double) and RunCancelled.
CountResult count(const CountRequest& request, CountInputs inputs, const CountHooks& hooks = {});

// The checks count() makes before it counts file or column inputs, without
// counting (the slots are scanned): throws as count() does.
void checkCount(const CountRequest& request, CountInputs& inputs);

// The table's entries 1..cycleCount as columns, through CycleReader; counts
// in half cycles with inHalves.
CycleColumns cycleColumns(const TCycleTable& table, std::int32_t cycleCount, bool inHalves = false);

} // namespace tessivo
