#pragma once
// Reading a sequence file: plain text of decimal numbers separated by any
// characters with codes 0 to 32 except Ctrl-Z, which ends the file. The
// reader streams: memory stays bounded whatever the file holds.

#include "engine/numbers/decimal_parser.h"
#include "engine/numbers/plain_decimal.h"
#include "engine/record/run_record.h"
#include "engine/files/value_stream.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tessivo {

// Pulls the values of a sequence file one by one. Throws IoError when the file
// cannot be opened or read. next() returns false at the end of the values or
// at the first token that is not a number; malformed() then tells which.
class SequenceFileSource final : public ValueSource {
public:
    explicit SequenceFileSource(const std::string& path);
    // Reads only the bytes [from, to) of the file, as if they were all of it.
    SequenceFileSource(const std::string& path, std::uint64_t from, std::uint64_t to);
    ~SequenceFileSource() override;
    SequenceFileSource(const SequenceFileSource&) = delete;
    SequenceFileSource& operator=(const SequenceFileSource&) = delete;

    bool next(long double& value) override;
    // Up to max next values, as next() gives them one by one; exact[i], when
    // exact is not null, is lastDigits().exact of value i. Fewer than max only
    // at the end of the values. lastDigits() is left unspecified.
    std::size_t nextValues(long double* out, bool* exact, std::size_t max);
    std::size_t nextBlock(long double* out, std::size_t max) override { return nextValues(out, nullptr, max); }
    bool malformed() const { return m_malformed; }
    // The input ended at a Ctrl-Z rather than at its physical end.
    bool endedByCtrlZ() const { return m_ctrlZ; }

    // Set when the last value was written with 15 significant digits or fewer
    // (and lies in the normal range): it is then its own work-file value, and
    // digits15/exponent10 are its 15 digits as the work notation writes them.
    using Digits = WorkDigits;
    const Digits& lastDigits() const { return m_digits; }

private:
    int peek(); // next byte or -1 at the end (physical end or Ctrl-Z)
    void advance() { ++m_begin; }
    Digits m_digits;
    std::string m_path;
    int m_fd = -1;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    bool m_ended = false;
    bool m_ctrlZ = false;
    std::uint64_t m_left = ~std::uint64_t{0}; // bytes of the range not read yet
    bool m_malformed = false;
    DecimalParser m_parser;
};

// What a read found: the number of values and their extremes.
struct SequenceStats {
    std::int32_t Points = 0;
    long double HighestPeak = NoPeak;
    long double LowestTrough = NoTrough;
    bool Proper = false; // at least one value, every token a number
};

// Counts v, the next value of fileName, into stats: the first value sets both
// extremes, so loads beyond the sentinels count too. Throws InputTooLarge
// when stats already holds as many values as an Int32 counts.
void tallyValue(SequenceStats& stats, long double v, const std::string& fileName);

// Copies the values of a sequence file into a work file at workFilePath, one
// per line in the work notation. The work file keeps the values read before a
// token that is not a number. processMessages, when set, runs once after the
// sequence file has been opened and before the work file is created.
// Throws IoError (file cannot be opened or read, work file cannot be
// written) and InputTooLarge (more values than an Int32 counts).
SequenceStats readSequenceToWorkFile(const std::string& fileName, const std::string& workFilePath,
                                     const std::function<void()>& processMessages = {});

// Recomputes SeqLength, TotalWeight, HighestPeak and LowestTrough from the
// active slots 1..SeqCount. Throws InputTooLarge when the combined
// sequence would have more values than an Int32 counts.
void UpdateSequenceTotals(TRainflowRun& run);

} // namespace tessivo
