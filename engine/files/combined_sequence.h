#pragma once
// The combined sequence: the active slots 1..SeqCount in order, each repeated
// Repetitions times, every value times the slot's Scale. One loop joins the
// slots whatever their format (sequence_format.h): the users' own files,
// columns of tables or the slots' work files, which all give the same values.

#include "engine/files/sequence_format.h"
#include "engine/files/value_stream.h"
#include "engine/record/io_error.h"
#include "engine/record/run_record.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace tessivo {

// A sequence or work file that ended (or stopped being a proper sequence)
// before the number of values it held when it was loaded.
class FileShortenedError final : public IoError {
public:
    explicit FileShortenedError(const std::string& path);
    const char* what() const noexcept override;
};

// A value of the combined sequence: `value` (at work precision) times the
// slot's scale, rounded to work precision as "$Sequence.tmp" holds it.
// Throws InputTooLarge naming fileName when the product is beyond the range
// of long double: the work notation has no form for it.
long double scaledWorkValue(long double value, long double scale, const std::string& fileName);

// Streams the combined sequence of `run`, slot i read from formats[i - 1]:
// Points values per repetition, each repetition a pass of its own. With a
// scale of 1 a value's own line is passed on when the format has it at hand
// (lastLine). The run record must outlive the source; its slots must not
// change while it is read. next() throws FileShortenedError when an input
// holds fewer values than its slot's Points, InputTooLarge for a scaled load
// beyond long double (after the values before it, in blocks too), and what
// the format's reading throws.
class CombinedSequence final : public ValueSource {
public:
    CombinedSequence(const TRainflowRun& run, SlotFormats formats);
    ~CombinedSequence() override;
    CombinedSequence(CombinedSequence&&) noexcept;

    bool next(long double& value) override;
    std::size_t nextBlock(long double* out, std::size_t max) override;
    const char* lastLine() const override { return m_line; }

private:
    bool advance();
    void rethrowPending();

    const TRainflowRun* m_run;
    SlotFormats m_formats;
    std::int32_t m_slot = 0;
    std::int32_t m_repetition = 0;
    std::int32_t m_left = 0; // values still due from this repetition
    std::unique_ptr<ValueSource> m_values;
    const char* m_line = nullptr;
    std::exception_ptr m_pending; // a failure after the values of the last block
};

} // namespace tessivo
