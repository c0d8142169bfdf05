#pragma once
// Text as a JSON string, and objects nested in others, for every JSON the
// engine writes.

#include <string>

namespace tessivo {

// `text` (UTF-8) between double quotes, with quotes, backslashes and control
// characters escaped (the latter as \u00XX).
std::string jsonString(const std::string& text);

// A JSON object as an element of an array that a top-level object holds:
// every line moved right by four spaces (a last line feed stays as it is).
std::string jsonNested(const std::string& object);

} // namespace tessivo
