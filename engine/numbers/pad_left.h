#pragma once
#include <string>

namespace tessivo {

// s filled on the left with ch up to len characters; a longer s is returned
// whole, never cut.
std::string PadLeft(const std::string& s, int len, char ch);

} // namespace tessivo
