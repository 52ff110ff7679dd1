// The one place where the system composes file paths, so that no caller
// spells the separator itself.
#pragma once

#include <string>
#include <string_view>

namespace tf {

constexpr char kPathSeparator = '/';

// folder and name with exactly one separator between them; an empty folder
// gives the name alone.
std::string JoinPath(std::string_view folder, std::string_view name);
// The folder with one separator at its end; an empty folder stays empty.
std::string WithTrailingSeparator(std::string_view folder);
// The folder that holds path: "/var/log" for "/var/log/a.log", "/" for
// "/a.log", empty for a bare name.
std::string_view FolderOf(std::string_view path);
// The part after the last separator.
std::string_view FileNameOf(std::string_view path);
// True for a file name that stays inside the folder it is joined to: not
// empty, not "." or "..", and without a separator (either slash) or a zero
// byte.
bool IsPlainFileName(std::string_view name);
// The path with its file name's extension (from the last '.') replaced by
// extension, given without the dot; a name without one gets it appended.
std::string ChangeExtension(std::string_view path, std::string_view extension);

}  // namespace tf
