#include "sequence_values.h"

#include "engine/files/sequence_reader.h"

namespace tessivo {

SequenceValues readSequenceValues(const std::string& path)
{
    SequenceValues read;
    SequenceFileSource source(path);
    for (long double v; source.next(v);)
        read.values.push_back(v);
    read.proper = !source.malformed() && !read.values.empty();
    return read;
}

} // namespace tessivo
