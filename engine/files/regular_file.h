#pragma once
// Opening a file for reading that must be an ordinary file. A FIFO would
// block the open and then the reads until a writer comes; a device such as
// /dev/zero never ends; a folder has no values. All are refused at once.

#include <string>

namespace tessivo {

// Opens path read-only and returns the descriptor. options may add
// os::kNoFollow (a symbolic link is then refused). Throws IoError with the errno of the
// failed open, EISDIR for a folder and ENODEV for anything else that is not
// a regular file ("File access denied" both).
int openRegularFile(const std::string& path, unsigned options);

} // namespace tessivo
