// Small file and folder services of the engine and the console.
#pragma once

#include <string>

namespace tf {

// True when path names a file (not a folder) that can be opened for reading.
bool IsFileReadable(const std::string& path);

// Creates every missing folder of path from the root down (one trailing
// separator is ignored). Levels that exist or cannot be made are passed over;
// whoever uses the folder finds out. Always true.
bool CreateDirectoryChain(const std::string& path);

}  // namespace tf
