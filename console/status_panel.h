// The "Project status" panel: what it shows of the selected site, and which
// of its controls need rewriting since the last refresh.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/common/time_value.h"

namespace tf {
class CSite;
}

namespace tf::console {

enum class PanelField {
  kGroup,
  kActivity,
  kError,
  kRunTime,
  kRecords,
  kLastDate,
  kPendingTranslations,
  kTranslationThreads,
  kCount
};

struct StatusPanelTexts {
  std::array<std::string, static_cast<std::size_t>(PanelField::kCount)> fields;
  int progress = 0;  // 0 to 100
  std::string& operator[](PanelField field) { return fields[static_cast<std::size_t>(field)]; }
  const std::string& operator[](PanelField field) const {
    return fields[static_cast<std::size_t>(field)];
  }
};

// "%d:%02d:%02d" of the whole seconds.
std::string FormatRunTime(double seconds);

// The panel for the site (none: no row selected) at `now`, with the
// program's running translation threads.
StatusPanelTexts StatusPanelFor(CSite* site, TimeValue now, int translation_threads);

// What the controls show now; a refresh writes only what differs.
class StatusPanelCache {
 public:
  using Change = std::pair<PanelField, std::string>;
  std::vector<Change> Update(const StatusPanelTexts& texts);

 private:
  std::array<std::optional<std::string>, static_cast<std::size_t>(PanelField::kCount)> shown_;
};

}  // namespace tf::console
