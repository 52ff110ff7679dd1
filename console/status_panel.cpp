#include "console/status_panel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/names/site_translation.h"
#include "engine/common/display.h"
#include "engine/common/shared_figure.h"
#include "engine/site/site.h"

namespace tf::console {

namespace {

std::string CountText(std::int64_t value) { return FormatThousands(value, 1, 15); }

int ProgressPercent(double done, double total) {
  if (!(total > 0)) return 0;
  return std::clamp(static_cast<int>(done * 100 / total), 0, 100);
}

int PendingTranslations(CSite& site) {
  TranslationCounters counters = TranslationOf(site).Counters();
  return std::max(0, counters.pending - counters.waiting_region);
}

void FillRunFigures(CSite& site, std::int32_t state, TimeValue now, StatusPanelTexts& texts) {
  TimeValue start = ReadFigure(site.progress.start_time);
  if (start != 0) texts[PanelField::kRunTime] = FormatRunTime(now - start);
  std::int32_t records = ReadFigure(site.progress.record_count);
  if (records != 0) texts[PanelField::kRecords] = CountText(records);
  if (state != kSitePending) {
    texts[PanelField::kLastDate] = FormatDateOrEmpty(ReadFigure(site.history.LastRecordDate));
  }
  texts[PanelField::kPendingTranslations] = CountText(PendingTranslations(site));
  texts.progress = ProgressPercent(ReadFigure(site.run.bytes_read), ReadFigure(site.progress.log_size));
}

}  // namespace

std::string FormatRunTime(double seconds) {
  long whole = std::max(0L, static_cast<long>(std::floor(seconds)));
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
  return text;
}

StatusPanelTexts StatusPanelFor(CSite* site, TimeValue now, int translation_threads) {
  StatusPanelTexts texts;
  texts[PanelField::kTranslationThreads] = CountText(translation_threads);
  texts[PanelField::kPendingTranslations] = CountText(0);
  if (site == nullptr) {
    texts[PanelField::kGroup] = "Status for project";
    texts[PanelField::kActivity] = "Idle";
    return texts;
  }
  texts[PanelField::kGroup] = "Status for " + site->ProjectName;
  texts[PanelField::kError] = site->ErrorText();
  std::int32_t state = site->state;
  if (state == kSiteIdle) {
    texts[PanelField::kActivity] = "Idle";
    return texts;
  }
  texts[PanelField::kActivity] = site->StatusText();
  FillRunFigures(*site, state, now, texts);
  return texts;
}

std::vector<StatusPanelCache::Change> StatusPanelCache::Update(const StatusPanelTexts& texts) {
  std::vector<Change> changes;
  for (std::size_t i = 0; i < shown_.size(); ++i) {
    if (shown_[i] == texts.fields[i]) continue;
    shown_[i] = texts.fields[i];
    changes.emplace_back(static_cast<PanelField>(i), texts.fields[i]);
  }
  return changes;
}

}  // namespace tf::console
