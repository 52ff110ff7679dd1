// Ties the saved-sessions file to the run that committed it. A run writes
// its open sessions to a pending file, stores that file's checksum with the
// statistics and the log streams' positions in one transaction, and only
// then puts the file in place. The next run uses a file only when its
// checksum is the committed one, so the sessions it restores always belong
// to the positions it resumes from, wherever an earlier run was cut short.
#pragma once

#include <string>

namespace tf {

class CSite;

// The stored check when no file belongs to the committed run.
inline constexpr double kNoSessionFile = -2;
// The stored check of sites whose last run stored none: the file is used
// as it is.
inline constexpr double kUnknownSessionFile = -1;

// Where SaveActiveSessions writes.
std::string PendingSessionsPath(const CSite& site);
// Before a run reads the file: the committed file is the one in place,
// completing a rename that a cut-short run left undone; a file of a run
// that never committed is removed.
void AdoptCommittedSessionFile(CSite& site);
// Before the commit: the check of the pending file, to be stored with it.
void CheckPendingSessions(CSite& site);
// After the commit: the pending file takes the place of the saved one.
void PublishPendingSessions(CSite& site);

}  // namespace tf
