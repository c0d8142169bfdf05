#pragma once
// Text as a JSON string, for every JSON the engine writes.

#include <string>

namespace tessivo {

// `text` (UTF-8) between double quotes, with quotes, backslashes and control
// characters escaped (the latter as \u00XX).
std::string jsonString(const std::string& text);

} // namespace tessivo
