// The numbers in the Category column of tblData, tblHour and tblDay: what a
// text item counts. They are stored in every site database and read by the
// reports, so they never change.
#pragma once

#include <cstdint>

namespace tf {

enum ItemCategory : std::int32_t {
  kCategoryWebPage = 1,
  kCategoryImage = 2,
  kCategoryDocument = 3,
  kCategoryForm = 4,
  kCategoryProgram = 5,
  kCategoryOtherFile = 9,
  // The site's hit totals by the same kinds.
  kCategoryWebPageTotal = 101,
  kCategoryImageTotal = 102,
  kCategoryDocumentTotal = 103,
  kCategoryFormTotal = 104,
  kCategoryProgramTotal = 105,
  kCategoryOtherFileTotal = 109,
  kCategorySessions = 201,
  kCategoryVisitors = 202,
  kCategoryNewVisitors = 203,
  kCategoryReturningVisitors = 204,
  kCategoryReferringPage = 301,
  kCategoryReferringSite = 302,
  kCategorySearchEngine = 401,
  kCategorySearchPhrase = 402,
  kCategoryKeyword = 403,
  kCategoryRegion = 404,
  kCategoryBrowser = 405,
  kCategoryBrowserVersion = 406,
  kCategoryPlatform = 407,
  kCategoryPlatformVersion = 408,
  kCategoryLanguage = 409,
  kCategorySpider = 410,
  kCategoryBrowserAddon = 411,
  kCategoryTargetPage = 412,
};

}  // namespace tf
