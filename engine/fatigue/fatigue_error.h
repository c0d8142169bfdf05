#pragma once
// A fatigue computation that cannot be done as asked: a curve or material
// value out of its domain, or a cycle beyond the material's limit. The
// message names the value or the cycle, ready for the user.

#include <stdexcept>
#include <string>

namespace tessivo::fatigue {

class FatigueError : public std::invalid_argument {
public:
    explicit FatigueError(const std::string& message) : std::invalid_argument(message) {}
};

} // namespace tessivo::fatigue
