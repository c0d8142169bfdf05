#include "engine/numbers/pad_left.h"

namespace tessivo {

std::string PadLeft(const std::string& s, int len, char ch)
{
    if (len <= 0 || s.size() >= static_cast<std::size_t>(len))
        return s;
    return std::string(static_cast<std::size_t>(len) - s.size(), ch) + s;
}

} // namespace tessivo
