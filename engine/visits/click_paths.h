// Click paths: the steps from one page to the next within the sessions of
// a day, written to tblPaths at each day change (all of them, or only the
// most frequent).
#pragma once

namespace tf {

class CSite;
class CSession;
class CTextItem;
class SiteLockGuard;
struct CPathNode;

// The empty path table of a run.
void InitPathTable(CSite& site);
// The node of the step, made when missing.
CPathNode* FindPath(CSite& site, CTextItem* from, CTextItem* to, const SiteLockGuard& held);
// Counts the steps of a closing session.
void CountPath(CSite& site, const CSession& session, const SiteLockGuard& held);
// Writes the day's steps and starts a new day for them.
void PathFlushDay(CSite& site);
// Forgets every step (end of a run).
void ReleasePaths(CSite& site);

// -1 when x has more day hits, 1 when fewer, so the most frequent come
// first.
int ComparePathHits(const CPathNode* x, const CPathNode* y, void* context);

}  // namespace tf
