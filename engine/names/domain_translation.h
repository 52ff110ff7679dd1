// The translation of visitor addresses into host names, done by threads of
// their own: one dispatcher for the program (DomainThreadControl), which
// answers from the site's domain cache and hands the rest to at most
// MaxDomainThreads workers, and one region thread per site, which counts
// the top-level labels of the names (category 404). The names are kept in
// tblDomains.
//
// The visitor writer queues one request per visitor of the day; the run
// waits for its site's requests before it writes its final statistics and
// frees its tables. A run that gives up waiting starts a new generation of
// its site: whatever an older request still finds is dropped, never
// delivered.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "engine/common/time_value.h"

namespace tf {

class CSite;

// One visitor's day, as the visitor writer hands it over.
struct VisitorDay {
  std::uint32_t address = 0;
  // For a stand-in address (IsStandInAddress): the client text of the log
  // line, which is then the domain name; never looked up. Empty otherwise.
  std::string client_name;
  TimeValue day = 0;
  std::int32_t hits = 0;
  std::int64_t bytes = 0;
  std::int32_t sessions = 0;
  std::int32_t view_time = 0;
  // Store a newly found name in tblDomains.
  bool store = false;
};

// Queues the translation of one visitor's day for the site. Waits in 500 ms
// steps while 10000 or more of the site's requests are pending, and blocks
// while the program's request queue is full. Call it without holding the
// site's statistics or database lock: the translation threads need both.
// While the translation threads are not running the request is dropped at
// once, so that a run never waits for a dispatcher that nobody started.
void RequestTranslation(CSite& site, const VisitorDay& visitor);

// Starts the dispatcher thread (DomainThreadControl) once; the console and
// the service do it at start-up, tf-analyze when it translates.
void StartDomainThreads();
// Stops the dispatcher and the workers cooperatively. A worker still inside
// a reverse lookup is left to finish it alone; nothing is delivered to any
// site after this returns. The queued requests are dropped.
void StopDomainThreads();
// Workers working on a request now (the console's "IP translation threads").
int BusyDomainThreads();
// Workers working on a request of the site now.
int CountDomainThreadSite(const CSite& site);

// Returns once the site has no translation pending or running, or when they
// made no progress for 900 s: then Timeout.txt is written (once per
// process), the site's translation counters are zeroed and its outstanding
// requests are abandoned.
void WaitForTranslations(CSite& site);
// The same with another limit for the time without progress.
void WaitForTranslations(CSite& site, std::chrono::steady_clock::duration stall_limit);
// Empties the site's domain cache (end of a run).
void ClearDomainCache(CSite& site);
// Resizes the domain cache from the run's visitors per day and its hit
// rate, when DomainCacheOptions asks for it (after each day's visitors).
void TuneDomainCache(CSite& site);

}  // namespace tf
