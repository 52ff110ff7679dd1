// Where engine operations report a site's progress and failures. The site
// object implements it; tests and headless tools can supply their own.
#pragma once

#include <string_view>

namespace tf {

class StatusSink {
 public:
  virtual ~StatusSink() = default;
  // One-line progress text of a long step ("Opening database: %s").
  virtual void SetStatus(std::string_view text) = 0;
  // The site's error text; the site keeps at most 199 characters of it.
  virtual void SetError(std::string_view text) = 0;
};

}  // namespace tf
