// The site's scheduled reports after a run: one report per enabled date
// range, produced by the report generator component.
#pragma once

#include <cstddef>
#include <string>

namespace tf {

class CSite;

// True when every enabled report was produced; otherwise `result` holds
// the last failure's text, at most size - 1 bytes.
bool GenerateReports(CSite& site, std::string& result, std::size_t size);

}  // namespace tf
