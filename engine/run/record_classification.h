// One log record of a run: the hour and day changes it causes, the kind of
// file it requested, its referrer, and the hand-over to the status-code and
// session statistics. A record of an item the run already knows costs no
// database work and no allocation.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/common/time_value.h"
#include "engine/site/referrer_info.h"

namespace tf {

class CSite;
class SiteLockGuard;
struct CLogRecord;

// Start of the period (hour: 3600, day: kSecondsPerDay) that holds t.
TimeValue PeriodStart(TimeValue t, double length);

// Whether the analysis of the record writes the day before it: a valid
// record of another day than current_day, which then becomes its day.
bool StartsAnotherDay(const CLogRecord& record, TimeValue& current_day);

// A valid record: writes the hour and then the day it leaves behind, then
// classifies it; returns its category. The record may be edited. A hold of
// the statistics lock that the caller keeps across records is let go
// before those writes, which wait for the run's writer.
std::int32_t ProcessLogRecord(CSite& site, CLogRecord& record,
                              std::optional<SiteLockGuard>* held_across_records = nullptr);

// Counts the requested file under its kind and item; returns the category
// (1 to 5 or 9). A record without a client address, a time or a requested
// path is counted nowhere and gives 9.
std::int32_t ClassifyLogRecord(CSite& site, CLogRecord& record);

// Cuts the first occurrence of `remove` (letters compared without regard to
// case) out of "stem query", then splits the text again at its first blank.
void ApplyRemoveString(std::string_view remove, std::string& stem, std::string& query);

// The referring site of a record (or the search engine, when it is one)
// into info. The site's own domain, with or without "www.", is no referrer.
// The referrer text may be decoded in place.
void ClassifyReferrer(CSite& site, std::string& referrer, TimeValue time, ReferrerInfo& info);

}  // namespace tf
