// Adding and removing sites without the windows: the duplicate-name
// question and the idle check after the removal's confirmation.
#include "console/site_commands.h"

#include <gtest/gtest.h>

#include "console_fixture.h"
#include "engine/common/message_box.h"
#include "support/message_box_recorder.h"

namespace tf::console::test {
namespace {

class SiteCommandsTest : public SiteListTest {};

TEST_F(SiteCommandsTest, ANameInAnotherCaseIsADuplicateAndItsQuestionDecides) {
  AddSites({"Shop"});
  EXPECT_EQ(CheckNewSiteName("Blog"), NameCheck::kUnique);
  {
    tf::test::MessageBoxRecorder boxes;
    EXPECT_EQ(CheckNewSiteName("sHOP"), NameCheck::kChooseAnother);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text,
              "An existing project already has the name 'sHOP'.\nPlease choose a different name "
              "for this project.");
    EXPECT_EQ(boxes.boxes()[0].caption, "Duplicate project name");
  }
  MessageBoxHandler previous =
      SetMessageBoxHandler([](std::string_view, std::string_view, unsigned) { return kIdCancel; });
  EXPECT_EQ(CheckNewSiteName("SHOP"), NameCheck::kGiveUp);
  SetMessageBoxHandler(previous);
  EXPECT_FALSE(NameInUse("Shop", &Site("Shop"))) << "a site does not clash with itself";
}

TEST_F(SiteCommandsTest, CancelKeepsTheSite) {
  AddSites({"Shop"});
  MessageBoxHandler previous =
      SetMessageBoxHandler([](std::string_view, std::string_view, unsigned) { return kIdCancel; });
  EXPECT_EQ(RemoveSite(&Site("Shop")), RemoveResult::kCancelled);
  SetMessageBoxHandler(previous);
  EXPECT_EQ(States(), (Names{"Shop:0"}));
}

TEST_F(SiteCommandsTest, ASiteThatStartedWhileTheQuestionWasOpenIsNotRemoved) {
  AddSites({"Shop", "Blog"});
  CSite& shop = Site("Shop");
  std::string asked;
  MessageBoxHandler previous = SetMessageBoxHandler(
      [&](std::string_view text, std::string_view caption, unsigned) {
        asked = std::string(caption) + ": " + std::string(text);
        shop.state = kSiteRunning;  // a tick started it meanwhile
        return kIdOk;
      });
  EXPECT_EQ(RemoveSite(&shop), RemoveResult::kBusy);
  SetMessageBoxHandler(previous);
  EXPECT_EQ(asked, "Confirm deletion: Delete Shop\nAre you sure?");
  EXPECT_EQ(States(), (Names{"Shop:2", "Blog:0"}));
  shop.state = kSiteIdle;
}

TEST_F(SiteCommandsTest, AnIdleSiteIsRemovedAfterOk) {
  AddSites({"Shop", "Blog"});
  tf::test::MessageBoxRecorder boxes;
  EXPECT_EQ(RemoveSite(&Site("Shop")), RemoveResult::kRemoved);
  EXPECT_EQ(States(), (Names{"Blog:0"}));
}

}  // namespace
}  // namespace tf::console::test
