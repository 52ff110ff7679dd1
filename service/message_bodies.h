// The bodies of the service's messages, all TaggedRecords: the site record
// (a site's identity and settings), the site status record (its run state),
// the system-settings record, and the small ones: text boxes (errors and
// alerts), the logon record and the logon state.
//
// A reader that does not find a tag yields 0, 0.0 or an empty text, so a
// decoded record that lacks a tag sets that field to 0 or empty. Bodies
// reach these decoders only after the frame reader found them well formed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tf {
class CSite;
class CSystemData;
}  // namespace tf

namespace tf::service {

// --- Site record -------------------------------------------------------------
std::string EncodeSiteRecord(CSite& site);
// Writes every field the record carries both ways into the site, cutting
// each text to its width, and marks the site changed. The identity a site
// is stored under (ProjectID and database file) is never taken from a
// record. Settings get the ranges the console's pages give them.
void DecodeSiteRecord(std::string_view record, CSite& site);

// --- Site status record ------------------------------------------------------
// Recounts the site's pending translations first.
std::string EncodeSiteStatus(CSite& site);

// --- System settings ---------------------------------------------------------
// The logon name and password are never part of it.
std::string EncodeSystemSettings(const CSystemData& system);
// With the ranges of the console's system pages.
void DecodeSystemSettings(std::string_view record, CSystemData& system);

// --- Small bodies ------------------------------------------------------------
// {11 text, 12 caption, 13 flags}: error boxes and alerts.
std::string EncodeTextBox(std::string_view text, std::string_view caption, std::uint32_t flags);
struct TextBox {
  std::string text;
  std::string caption;
  std::uint32_t flags = 0;
};
TextBox DecodeTextBox(std::string_view record);

// {10 remote, 11 remote access allowed}
std::string EncodeLogonState(bool remote, bool remote_access_allowed);

// A logon name or password holds at most this many bytes.
constexpr std::size_t kMaxLogonField = 99;

// The check value of a logon: CRC-32 over name, password and the
// connection's challenge as four little-endian bytes.
std::uint32_t LogonCheck(std::string_view name, std::string_view password,
                         std::uint32_t challenge);
// {10 scrambled name, 11 scrambled password, 12 check}: what a console
// sends to log on or to change the logon.
std::string EncodeLogonRecord(std::string_view name, std::string_view password,
                              std::uint32_t check);

struct LogonFields {
  std::string name;
  std::string password;
  std::uint32_t check = 0;
};
// Unscrambles name and password; false when either is longer than
// kMaxLogonField bytes.
bool DecodeLogonRecord(std::string_view record, LogonFields& out);

}  // namespace tf::service
