#include "engine/files/sequence_file_format.h"

#include "engine/files/sequence_loading.h"
#include "engine/numbers/work_notation.h"

#include <algorithm>

namespace tessivo {
namespace {

// A value written with at most 15 digits is already what a work file gives
// back: only the others are rounded.
class RoundedSequenceFile final : public ValueSource {
public:
    explicit RoundedSequenceFile(const std::string& path) : m_file(path) {}

    bool next(long double& value) override
    {
        if (!m_file.next(value))
            return false;
        if (!m_file.lastDigits().exact)
            value = roundToWorkPrecision(value);
        return true;
    }

    std::size_t nextBlock(long double* out, std::size_t max) override
    {
        constexpr std::size_t kBlock = 4096;
        bool exact[kBlock];
        const std::size_t n = m_file.nextValues(out, exact, std::min(max, kBlock));
        for (std::size_t i = 0; i < n; ++i) {
            if (!exact[i])
                out[i] = roundToWorkPrecision(out[i]);
        }
        return n;
    }

private:
    SequenceFileSource m_file;
};

} // namespace

SequenceStats SequenceFileFormat::scan() const
{
    return scanSequenceFile(m_path);
}

SequenceStats SequenceFileFormat::copyToWorkFile(const std::string& path,
                                                 const std::function<void()>& processMessages) const
{
    return readSequenceToWorkFile(m_path, path, processMessages);
}

std::unique_ptr<ValueSource> SequenceFileFormat::open() const
{
    return std::make_unique<RoundedSequenceFile>(m_path);
}

} // namespace tessivo
