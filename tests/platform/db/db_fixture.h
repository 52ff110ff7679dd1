// A fresh database in a temporary folder with a few tables shaped like the
// statistics and settings tables, created through the layer's Jet DDL.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/db/connection.h"
#include "platform/db/recordset.h"
#include "support/test_support.h"

namespace tf::db {

class DbTest : public testing::Test {
 protected:
  void SetUp() override;

  // The one value of a one-row, one-column SELECT.
  com::Variant Scalar(const std::string& sql, const Params& params = {});
  // Column 0 of every row, as text.
  std::vector<std::string> Column(const std::string& sql);
  // What the file holds, read with SQLite itself (no layer in between).
  std::string RawText(const std::string& sql);

  test::TempDir dir_;
  std::string path_;
  Connection db_;
};

}  // namespace tf::db
