// Reading the text of a "LIST" reply into remote file entries. Servers write
// listings either in the Unix style (permissions, links, owner, group, size,
// month, day, time or year, name) or in the DOS style (date, time, <DIR> or
// size, name); a line that begins with a digit is taken as DOS.
//
// The text comes from the server and is not trusted: lines that do not read
// are skipped, numbers are bounded, names are cut to 299 bytes.
#pragma once

#include <string_view>

#include "engine/common/time_value.h"
#include "engine/ftp/remote_file_list.h"

namespace tf {

// Appends one entry per readable line, "." and ".." left out. `now` (local
// time) gives the year of Unix lines that show a clock time instead of one.
void ParseListing(std::string_view text, TimeValue now, CRemoteFileList& list);

}  // namespace tf
