// The system's values in the registry key HKEY_LOCAL_MACHINE\SOFTWARE\Tallyfox
// ("Path", the install folder; "WebPath", the web folder) and the install
// folder built from them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tf {

constexpr std::string_view kDefaultInstallFolder = "/opt/tallyfox";

// Writes folder as "Path" unless a "Path" of at most 199 bytes is there
// already; creates the key when needed.
void WriteInstallPath(std::string_view folder);

// Reads the value name of SOFTWARE\Tallyfox under root. It must fit a field
// of size bytes with its terminator (200 when size is 0). 1 on success; 0
// with out empty when the key or value is missing or the value too long.
int GetRegistryValue(std::string_view root, std::string_view name, std::string& out,
                     std::size_t size);
// The same under HKEY_LOCAL_MACHINE.
int GetRegistryString(std::string_view name, std::string& out, std::size_t size);
// Writes a text value into the existing key; 1 on success, else 0.
int SetRegistryString(std::string_view name, std::string_view value);

// "Path" without trailing blanks and with one separator at its end; the
// default folder when "Path" is missing, empty or longer than a path field.
std::string GetInstallFolder();
// The path of a file in the install folder.
std::string InstallFolderPath(std::string_view name);

}  // namespace tf
