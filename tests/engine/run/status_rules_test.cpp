#include "engine/recognise/status_rules.h"

#include <gtest/gtest.h>

namespace tf {
namespace {

TEST(StatusRules, WhatTheMasksCount) {
  constexpr std::int32_t kPage = 77;
  struct Case {
    std::int32_t status, store_count, store_page;
    bool counted;
    HitStatusKey key;
  };
  const Case cases[] = {
      // The default masks: not found, other request errors, server errors
      // and partial content, each with its page.
      {404, 60, 60, true, {404, kPage}},
      {403, 60, 60, true, {403, kPage}},
      {410, 60, 60, true, {410, kPage}},
      {500, 60, 60, true, {500, kPage}},
      {503, 60, 60, true, {503, kPage}},
      {206, 60, 60, true, {206, kPage}},
      {304, 60, 60, false, {}},
      {301, 60, 60, false, {}},
      {302, 60, 60, false, {}},
      // Never counted.
      {200, 0x3F, 0x3F, false, {}},
      {0, 0x3F, 0x3F, false, {}},
      {100, 0x3F, 0x3F, false, {}},
      {600, 0x3F, 0x3F, false, {}},
      {999, 0x3F, 0x3F, false, {}},
      {-404, 0x3F, 0x3F, false, {}},
      // Redirections are counted as 300, 304 as itself.
      {301, 0x2, 0x2, true, {300, kPage}},
      {302, 0x2, 0, true, {300, 0}},
      {300, 0x2, 0x2, true, {300, kPage}},
      {399, 0x2, 0x2, true, {300, kPage}},
      {304, 0x2, 0x2, false, {}},
      {304, 0x1, 0x1, true, {304, kPage}},
      // Each class by its own bit.
      {206, 60 & ~0x20, 60, false, {}},
      {404, 0x8, 0x8, false, {}},
      {418, 0x4, 0x4, false, {}},
      {599, 0x10, 0, true, {599, 0}},
      // Without the page bit, all hits of a code share one key.
      {404, 60, 0, true, {404, 0}},
      {404, 60, 60 & ~0x4, true, {404, 0}},
      {500, 60, 0x4, true, {500, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.status << " count " << c.store_count << " page " << c.store_page);
    std::optional<HitStatusKey> key = HitStatusKeyOf(c.status, kPage, c.store_count, c.store_page);
    ASSERT_EQ(key.has_value(), c.counted);
    if (c.counted) {
      EXPECT_EQ(*key, c.key);
    }
  }
}

TEST(StatusRules, KeysOrderByCodeThenPage) {
  EXPECT_EQ(CompareHitStatus({404, 5}, {404, 5}), 0);
  EXPECT_EQ(CompareHitStatus({300, 9}, {404, 1}), -1);
  EXPECT_EQ(CompareHitStatus({404, 1}, {404, -1}), 1);
}

}  // namespace
}  // namespace tf
