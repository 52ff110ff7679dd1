// CRemoteFileList: the entries of one remote directory listing, in the order
// the server listed them until sorted.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/common/time_value.h"

namespace tf {

struct RemoteFileEntry {
  static constexpr std::size_t kNameSize = 300;  // at most 299 bytes kept

  std::string name;  // as listed
  TimeValue date = 0;
  std::uint64_t size = 0;  // bytes, as listed
  bool is_directory = false;  // directories and links
};

class CRemoteFileList {
 public:
  using Entries = std::vector<std::unique_ptr<RemoteFileEntry>>;

  CRemoteFileList() = default;
  virtual ~CRemoteFileList() = default;
  CRemoteFileList(const CRemoteFileList&) = delete;
  CRemoteFileList& operator=(const CRemoteFileList&) = delete;

  void Append(RemoteFileEntry entry);
  // Ascending date; entries of equal date in no fixed order.
  void SortByDate();

  std::int32_t count() const { return static_cast<std::int32_t>(entries_.size()); }
  const Entries& entries() const { return entries_; }

 private:
  Entries entries_;
};

}  // namespace tf
