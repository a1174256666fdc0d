// Reading the source file of a program entry.
#pragma once

#include <string>

#include "syntax/Failure.h"

namespace jox {

// The whole contents of the file, bytes unchanged.  A file that cannot be
// opened or read is a failure naming the file and the system's reason.
std::string readSourceFile(const std::string& path);

}  // namespace jox
