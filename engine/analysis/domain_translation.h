// The translation of visitor addresses into host names, done by threads of
// their own, with a cache per site.
//
// The run waits here for the translations of its site before it writes its
// final statistics and frees its tables; the translations themselves come
// with the domain statistics, until then nothing is ever pending.
#pragma once

namespace tf {

class CSite;

// Returns once the site has no translation pending or running (or they
// stalled for 900 s).
void WaitForTranslations(CSite& site);
// Empties the site's domain cache (end of a run).
void ClearDomainCache(CSite& site);

}  // namespace tf
