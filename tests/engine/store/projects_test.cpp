#include <gtest/gtest.h>

#include <filesystem>

#include "engine/common/message_box.h"
#include "engine/site/projects_database.h"
#include "engine/site/site.h"
#include "engine/site/site_list.h"
#include "engine/store/system_data.h"
#include "install_folder.h"

namespace tf {
namespace {

namespace fs = std::filesystem;

class ProjectsTest : public testing::Test {
 protected:
  void SetUp() override {
    previous_ =
        SetMessageBoxHandler([this](std::string_view text, std::string_view caption, unsigned) {
          messages_.push_back(std::string(caption) + ": " + std::string(text));
          return kIdOk;
        });
    ASSERT_TRUE(ProjectsDatabase.Open());
  }
  void TearDown() override { SetMessageBoxHandler(previous_); }

  // A new site as the console adds it: linked first, then its row and
  // database.
  CSite* AddSite(const std::string& name) {
    auto* site = new CSite;
    site->ProjectName = name;
    site->UserName = "web";
    site->SetUpNewSite();
    if (!ProjectsDatabase.AddProject(*site)) return nullptr;
    site->CloseSiteDatabase();
    return site;
  }
  std::string Projects(const std::string& query) { return install_.Value("Tallyfox.mdb", query); }

  test::InstallFolder install_;
  MessageBoxHandler previous_;
  std::vector<std::string> messages_;
};

TEST_F(ProjectsTest, ProjectsDatabaseIsMadeFromItsTemplateOnlyOnce) {
  EXPECT_TRUE(fs::exists(install_.File("Tallyfox.mdb")));
  ProjectsDatabase.ExecuteSql(
      "INSERT INTO tblProjects (ProjectID, ProjectName) VALUES (9, 'kept')");
  ProjectsDatabase.Close();
  ASSERT_TRUE(ProjectsDatabase.Open());
  EXPECT_EQ(Projects("SELECT ProjectName FROM tblProjects WHERE ProjectID=9"), "kept");
}

TEST_F(ProjectsTest, MissingTemplateIsReported) {
  ProjectsDatabase.Close();
  fs::remove(install_.File("Tallyfox.mdb"));
  fs::remove(install_.File("TallyfoxTemplate.mdb"));
  EXPECT_FALSE(ProjectsDatabase.Open());
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0],
            "Error opening projects database: The Tallyfox.mdb database does not exist, and "
            "Tallyfox is unable to initialize it from TallyfoxTemplate.mdb");
}

TEST_F(ProjectsTest, AddedSitesLoadBackWithTheirNames) {
  CSite* first = AddSite("O'Brien's shop");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->ProjectID, 1);
  EXPECT_EQ(first->DatabaseName, "Project0001.mdb");
  EXPECT_TRUE(fs::exists(install_.File("Project0001.mdb")));
  ASSERT_NE(AddSite("Robert'); DROP TABLE tblProjects; --"), nullptr);
  first->settings.PersonName = "Ann";
  first->settings_changed = true;
  EXPECT_TRUE(ProjectsDatabase.UpdateProjects());
  EXPECT_FALSE(first->settings_changed);

  SiteList.Clear();
  ASSERT_TRUE(ProjectsDatabase.LoadProjects());
  std::vector<std::string> names;
  for (const auto& site : SiteList.sites()) names.push_back(site->ProjectName);
  EXPECT_EQ(names,
            (std::vector<std::string>{"Robert'); DROP TABLE tblProjects; --", "O'Brien's shop"}));
  EXPECT_EQ(SiteList.Find(1)->settings.PersonName, "Ann");
  EXPECT_EQ(SiteList.Find(1)->UserName, "web");
}

TEST_F(ProjectsTest, NewIdIsAboveEveryRowAnotherProgramAdded) {
  install_.Sql("Tallyfox.mdb",
               "INSERT INTO tblProjects VALUES (7, 'other', '', '', 'Project0007.mdb')");
  CSite* site = AddSite("mine");
  ASSERT_NE(site, nullptr);
  EXPECT_EQ(site->ProjectID, 8);
  EXPECT_EQ(site->DatabaseName, "Project0008.mdb");
  EXPECT_TRUE(fs::exists(install_.File("Project0008.mdb")));
}

TEST_F(ProjectsTest, ExistingDatabaseFileIsNeverOverwritten) {
  test::WriteFile(install_.File("Project0001.mdb"), "someone else's data");
  EXPECT_EQ(AddSite("mine"), nullptr);
  EXPECT_EQ(test::ReadFile(install_.File("Project0001.mdb")), "someone else's data");
  EXPECT_EQ(Projects("SELECT count(*) FROM tblProjects"), "0");
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].rfind("Cannot initialize project database: Tallyfox is unable to copy", 0),
            0u);
}

TEST_F(ProjectsTest, FailedInsertIsReportedAndLeavesNoDatabase) {
  install_.Sql("Tallyfox.mdb",
               "CREATE TRIGGER refuse BEFORE INSERT ON tblProjects "
               "BEGIN SELECT RAISE(ABORT, 'disk says no'); END");
  EXPECT_EQ(AddSite("mine"), nullptr);
  EXPECT_FALSE(fs::exists(install_.File("Project0001.mdb")));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0],
            "Cannot initialize project database: Tallyfox is unable to add this "
            "project to Tallyfox.mdb: disk says no");
}

TEST_F(ProjectsTest, DeleteRemovesRowFilesAndSiteEvenWhenFilesAreGone) {
  CSite* site = AddSite("gone");
  ASSERT_NE(site, nullptr);
  for (const char* side : {"Project0001.ses", "Project0001.txt", "Project0001.ldb"}) {
    test::WriteFile(install_.File(side), "x");
  }
  ProjectsDatabase.DeleteProject(site);
  for (const char* file :
       {"Project0001.mdb", "Project0001.ses", "Project0001.txt", "Project0001.ldb"}) {
    EXPECT_FALSE(fs::exists(install_.File(file))) << file;
  }
  EXPECT_EQ(Projects("SELECT count(*) FROM tblProjects"), "0");
  EXPECT_TRUE(SiteList.sites().empty());

  CSite* bare = AddSite("bare");
  ASSERT_NE(bare, nullptr);
  fs::remove(install_.File("Project0001.mdb"));
  ProjectsDatabase.DeleteProject(bare);
  EXPECT_EQ(Projects("SELECT count(*) FROM tblProjects"), "0");
  EXPECT_TRUE(SiteList.sites().empty());
}

TEST_F(ProjectsTest, WriteBackSkipsSitesWithoutARowAndRecordReadKeepsWhatItHas) {
  CSite* site = AddSite("listed");
  ASSERT_NE(site, nullptr);
  install_.Sql("Tallyfox.mdb", "DELETE FROM tblProjects");
  site->ProjectName = "renamed";
  site->settings_changed = true;
  EXPECT_TRUE(ProjectsDatabase.UpdateProjects());
  EXPECT_TRUE(site->settings_changed) << "a site without a row is not written";
  EXPECT_TRUE(ProjectsDatabase.LoadProjectRecord(*site));
  EXPECT_EQ(site->ProjectName, "renamed");
}

TEST_F(ProjectsTest, SystemSettingsDefaultsAndScrambledCredentials) {
  ASSERT_TRUE(ProjectsDatabase.LoadSystemSettings());
  EXPECT_EQ(SystemData.RunPriority, 2);
  EXPECT_EQ(SystemData.MaxAnalyses, 2);
  EXPECT_EQ(SystemData.MaxDomainThreads, 50);
  EXPECT_EQ(SystemData.DefaultSessionTimelimit, 30);
  EXPECT_EQ(SystemData.DefaultHomePage, "index.htm");
  EXPECT_EQ(SystemData.RemoteLogonName, "");

  SystemData.RemoteLogonName = "abc";
  SystemData.RemotePassword = std::string(99, '\xE9');
  SystemData.MaxAnalyses = 0;
  SystemData.DefaultHomePage = "it's.htm";
  ProjectsDatabase.StoreSystemSettings();
  EXPECT_EQ(Projects("SELECT count(*) FROM tblSettingsInteger"), "7");
  EXPECT_EQ(Projects("SELECT count(*) FROM tblSettingsString"), "3");
  EXPECT_EQ(Projects("SELECT StringValue FROM tblSettingsString WHERE Name='RemoteLogonName'"),
            "70FAD4");
  EXPECT_EQ(
      Projects("SELECT length(StringValue) FROM tblSettingsString WHERE Name='RemotePassword'"),
      "198");

  SystemData.RemoteLogonName = "changed";
  SystemData.RemotePassword.clear();
  SystemData.MaxAnalyses = 2;
  ASSERT_TRUE(ProjectsDatabase.LoadSystemSettings());
  EXPECT_EQ(SystemData.RemoteLogonName, "abc");
  EXPECT_EQ(SystemData.RemotePassword, std::string(99, '\xE9'));
  EXPECT_EQ(SystemData.MaxAnalyses, 0) << "loaded as stored";
  EXPECT_EQ(SystemData.DefaultHomePage, "it's.htm");

  SystemData.RemoteLogonName.clear();
  ProjectsDatabase.StoreSystemSettings();
  EXPECT_EQ(Projects("SELECT StringValue FROM tblSettingsString WHERE Name='RemoteLogonName'"), "");
  ProjectsDatabase.LoadSystemSettings();
  EXPECT_EQ(SystemData.RemoteLogonName, "");
}

}  // namespace
}  // namespace tf
