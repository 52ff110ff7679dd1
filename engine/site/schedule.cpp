// Whether a site's weekly schedule wants a run now.
#include "engine/site/site.h"

namespace tf {

bool CSite::IsRunDue(TimeValue time) {
  if (settings.EnableSchedule == 0) return false;
  return ScheduleHasHour(settings, time == 0 ? NowLocalSeconds() : time);
}

}  // namespace tf
