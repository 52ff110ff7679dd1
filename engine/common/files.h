// Small file and folder services of the engine and the console.
#pragma once

#include <cstdint>
#include <string>

#include "engine/common/time_value.h"

namespace tf {

// Opens the file for reading (the web server may go on writing it); size
// receives its length and time its creation time as local time (the birth
// time where the file system keeps one, else the last status change).
// Either output may be null. 1 on success; 0, with both outputs 0, when the
// file cannot be opened or is a folder.
int GetFileInfo(const std::string& path, TimeValue* time, std::uint64_t* size);

// True when path names a file (not a folder) that can be opened for reading.
bool IsFileReadable(const std::string& path);

// Creates every missing folder of path from the root down (one trailing
// separator is ignored). Levels that exist or cannot be made are passed over;
// whoever uses the folder finds out. Always true.
bool CreateDirectoryChain(const std::string& path);

}  // namespace tf
