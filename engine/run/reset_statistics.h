// Resetting a site's statistics, as the console and the service offer it.
#pragma once

namespace tf {

class CSite;

// Deletes the statistics rows, forgets how far the site's logs were read,
// deletes its saved-sessions file and stores the cleared dates.
void ResetStatistics(CSite& site);

}  // namespace tf
