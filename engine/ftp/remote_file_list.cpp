#include "engine/ftp/remote_file_list.h"

#include "engine/common/heap_sort.h"

namespace tf {
namespace {

int CompareEntryDate(const std::unique_ptr<RemoteFileEntry>& x,
                     const std::unique_ptr<RemoteFileEntry>& y, void*) {
  if (x->date > y->date) return 1;
  if (x->date < y->date) return -1;
  return 0;
}

}  // namespace

void CRemoteFileList::Append(RemoteFileEntry entry) {
  entries_.push_back(std::make_unique<RemoteFileEntry>(std::move(entry)));
}

void CRemoteFileList::SortByDate() {
  HeapSortPointers(entries_.data(), entries_.size(), CompareEntryDate, nullptr);
}

}  // namespace tf
