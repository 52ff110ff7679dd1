// A temporary install folder for the tests of the store: the built database
// templates copied into it, and this process's registry naming it as the
// install folder. The store's globals are reset when it goes away.
#pragma once

#include <string>

#include "support/test_support.h"

namespace tf::test {

class InstallFolder {
 public:
  InstallFolder();
  ~InstallFolder();
  InstallFolder(const InstallFolder&) = delete;
  InstallFolder& operator=(const InstallFolder&) = delete;

  const std::string& path() const { return dir_.path(); }
  std::string File(const std::string& name) const { return dir_.File(name); }
  // A site database made from ProjectTemplate.mdb.
  void AddSiteDatabase(const std::string& name) const;
  // Runs statements on a database file directly, past the store (triggers,
  // dropped tables, rows written by "another program").
  void Sql(const std::string& file, const std::string& statements) const;
  // The first column of the first row, or "(none)".
  std::string Value(const std::string& file, const std::string& query) const;

 private:
  TempDir dir_;
};

}  // namespace tf::test
