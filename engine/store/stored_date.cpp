#include "engine/store/stored_date.h"

#include "platform/db/jet_date.h"

namespace tf {

std::string StoredDateText(TimeValue t) {
  std::string text = FormatTimeOrDefault(t);
  std::optional<db::DateParts> parts = db::ParseJetDate(text);
  return parts ? db::FormatStoredDate(*parts) : text;
}

}  // namespace tf
