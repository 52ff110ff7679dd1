// The "Schedule" page of a site without its window: the 7 x 24 grid of
// hours, the "All days" column and the switch, over the site's weekly
// schedule words.
#pragma once

#include <array>
#include <string>

namespace tf {
class CSite;
}

namespace tf::console {

inline constexpr int kDays = 7;
inline constexpr int kHours = 24;

// "Midnight", "  1 AM" ... "Noon" ... "11 PM".
std::string HourLabel(int hour);

class SiteScheduleModel {
 public:
  explicit SiteScheduleModel(CSite& site);

  bool enabled() const { return enabled_; }
  void set_enabled(bool on) { enabled_ = on; }
  bool checked(int day, int hour) const { return grid_[day][hour]; }
  void set_checked(int day, int hour, bool on) { grid_[day][hour] = on; }
  // The "All days" box shows what it showed when filled or last clicked.
  bool all_days(int hour) const { return all_days_[hour]; }

  // "Check all" and "Clear all": the site's words change at once.
  void CheckAll() { SetEverything(true); }
  void ClearAll() { SetEverything(false); }
  // An "All days" box clicked into the state `on`.
  void SetAllDays(int hour, bool on);

  // Leaving the page. True when the console must test the current hour at
  // its next tick (the schedule was switched on or an hour was added).
  bool Store();

 private:
  void SetEverything(bool on);
  // Sets or clears the hour's bit of the day; notes a bit newly set.
  void SetBit(int day, int hour, bool on);

  CSite& site_;
  bool enabled_ = false;
  std::array<std::array<bool, kHours>, kDays> grid_{};
  std::array<bool, kHours> all_days_{};
  // "Check all" or an "All days" box added an hour since the last Store.
  bool hours_added_ = false;
};

}  // namespace tf::console
