#include "console/site_schedule_page.h"

#include <cstdio>

#include "engine/site/site.h"

namespace tf::console {

namespace {
constexpr std::int32_t HourBit(int hour) { return std::int32_t{1} << hour; }
}  // namespace

std::string HourLabel(int hour) {
  if (hour == 0) return "Midnight";
  if (hour == 12) return "Noon";
  char text[16];
  std::snprintf(text, sizeof text, "%3d %s", hour % 12, hour < 12 ? "AM" : "PM");
  return text;
}

SiteScheduleModel::SiteScheduleModel(CSite& site) : site_(site) {
  const SiteSettings& s = site.settings;
  enabled_ = s.EnableSchedule != 0;
  for (int hour = 0; hour < kHours; ++hour) {
    bool every_day = true;
    for (int day = 0; day < kDays; ++day) {
      grid_[day][hour] = (s.RunSchedule[day] & HourBit(hour)) != 0;
      every_day = every_day && grid_[day][hour];
    }
    all_days_[hour] = every_day;
  }
}

void SiteScheduleModel::SetBit(int day, int hour, bool on) {
  std::int32_t& word = site_.settings.RunSchedule[day];
  hours_added_ = hours_added_ || (on && (word & HourBit(hour)) == 0);
  word = on ? (word | HourBit(hour)) : (word & ~HourBit(hour));
  grid_[day][hour] = on;
}

void SiteScheduleModel::SetEverything(bool on) {
  for (int day = 0; day < kDays; ++day) {
    for (int hour = 0; hour < kHours; ++hour) SetBit(day, hour, on);
  }
  all_days_.fill(on);
  site_.settings_changed = true;
}

void SiteScheduleModel::SetAllDays(int hour, bool on) {
  for (int day = 0; day < kDays; ++day) SetBit(day, hour, on);
  all_days_[hour] = on;
  site_.settings_changed = true;
}

bool SiteScheduleModel::Store() {
  SiteSettings& s = site_.settings;
  bool test_now = hours_added_;
  hours_added_ = false;
  if (enabled_ && s.EnableSchedule == 0) {
    s.EnableSchedule = 1;
    test_now = true;
  } else if (!enabled_) {
    s.EnableSchedule = 0;
  }
  for (int day = 0; day < kDays; ++day) {
    for (int hour = 0; hour < kHours; ++hour) {
      std::int32_t& word = s.RunSchedule[day];
      bool was_set = (word & HourBit(hour)) != 0;
      if (grid_[day][hour]) {
        word |= HourBit(hour);
        test_now = test_now || !was_set;
      } else {
        word &= ~HourBit(hour);
      }
    }
  }
  return test_now;
}

}  // namespace tf::console
