#pragma once
// Input that a count cannot hold: more values than an Int32 counts, a scaled
// load beyond the range of long double, more distinct cycles than a table
// counts. The input is rejected as a whole; the message names what was too
// large. Callers map it like a failed parameter check.

#include <stdexcept>
#include <string>

namespace tessivo {

class InputTooLarge final : public std::runtime_error {
public:
    explicit InputTooLarge(const std::string& message) : std::runtime_error(message) {}
};

} // namespace tessivo
