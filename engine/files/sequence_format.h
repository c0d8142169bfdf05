#pragma once
// The seam of the inputs: every kind of file whose values can fill a slot of
// the run record (a plain sequence file, a column of a table, a slot's work
// file) is a format with the same services. Slots are loaded from formats
// (sequence_loading.h) and joined over them in one loop (CombinedSequence),
// so a new kind of input is one class beside these and nothing else.

#include "engine/files/sequence_reader.h"
#include "engine/files/value_stream.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessivo {

class SequenceFormat {
public:
    virtual ~SequenceFormat() = default;

    // The file as a slot's FileName and every message name it.
    virtual const std::string& fileName() const = 0;

    // The number of values and their extremes as given (before the rounding
    // to work precision); Proper when there is at least one and nothing that
    // should have been one. Throws IoError, InputTooLarge (more values than
    // an Int32 counts) and the format's own errors.
    virtual SequenceStats scan() const = 0;

    // True when scan() reads nothing, the statistics being at hand already:
    // a count can then check them before any work file is written.
    virtual bool scanned() const { return false; }

    // Writes the values to a new work file at `path` in the work notation and
    // returns what scan() would. processMessages, when set, runs once after
    // the input has been opened. Throws as scan() does, and IoError when the
    // work file cannot be written.
    virtual SequenceStats copyToWorkFile(const std::string& path,
                                         const std::function<void()>& processMessages) const = 0;

    // The values of one pass from the first, each rounded to the value its
    // work file holds. The source ends where the input ends; the caller
    // takes as many values as the scan found. Throws IoError when the input
    // cannot be opened; the source throws as the reading does.
    virtual std::unique_ptr<ValueSource> open() const = 0;
};

// The formats of slots 1, 2, ... in slot order.
using SlotFormats = std::vector<std::shared_ptr<const SequenceFormat>>;

} // namespace tessivo
