#pragma once
// A failure to write the per-user store or an ini file. The message is the
// one the user sees in the application's error box.

#include <stdexcept>
#include <string>

namespace morvane {

class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace morvane
