// Status-code statistics: the requests of each day by the server's status
// code (or class), with or without the requested page, written to
// tblHitStatus at each day change.
#pragma once

#include "engine/site/hit_status_table.h"

namespace tf {

class CSite;
class CTextItem;
struct CLogRecord;

// The empty status-entry index of a run.
void InitHitStatusIndex(CSite& site);
// Counts the record's status code; page is the record's requested-file item.
void ClassifyHitStatus(CSite& site, const CLogRecord& record, CTextItem* page);
// Writes the day's counts and zeroes them; the entries stay for the next day.
void HitStatusFlush(CSite& site);
// Forgets every entry (end of a run).
void FreeHitStatusIndex(CSite& site);

}  // namespace tf
