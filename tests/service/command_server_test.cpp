// The command server over loopback: logon, the commands, bad frames, and
// connections that end in every state.
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>

#include <set>
#include <string>

#include "engine/common/message_box.h"
#include "engine/common/tagged_record.h"
#include "engine/site/site.h"
#include "engine/site/site_list.h"
#include "engine/store/system_data.h"
#include "service/frame.h"
#include "service/message_bodies.h"
#include "service/event_log.h"
#include "service/protocol.h"
#include "service_fixture.h"
#include "support/tallyfox_key.h"

namespace tf::service::test {
namespace {

std::uint32_t IntField(const std::string& record, std::uint32_t tag) {
  std::uint32_t value = 0;
  RecordGetInt(record, tag, value);
  return value;
}

std::string TextField(const std::string& record, std::uint32_t tag) {
  std::string text;
  RecordGetText(record, tag, text);
  return text;
}

std::string SiteRecordNamed(const std::string& name) {
  std::string record;
  RecordPutString(record, 100, name);
  RecordPutInt(record, 101, 77);  // a client's wish for the ID
  RecordPutEnd(record);
  return record;
}

// The largest body a frame takes (20 header bytes, 1,000,000 in all): one
// string field (tag 98, the include filter) and the end mark.
std::string LargestFrameBody() {
  std::string record;
  RecordPutString(record, 98, std::string(1000000 - 20 - 5, 'x'));
  RecordPutEnd(record);
  return record;
}

using ServerTest = ServiceTest;

TEST_F(ServerTest, LocalClientIsLoggedOnAtOnceAndHearsItsStateFirst) {
  auto client = Connect();
  auto state = client->Next();
  ASSERT_TRUE(state);
  EXPECT_EQ(state->code, MSG_LOGON_STATE);
  EXPECT_EQ(state->message_class, kMessageCommand);
  EXPECT_EQ(IntField(state->body, 10), 0u);  // not remote
}

TEST_F(ServerTest, EngineMessageBoxWithNoClientReachesTheNextClientThatLogsOn) {
  ShowMessageBox("Unable to open the database", "Database error", 16);
  auto client = Connect();
  auto alert = client->Next();
  ASSERT_TRUE(alert);
  EXPECT_EQ(alert->code, MSG_ALERT);
  EXPECT_EQ(alert->message_class, kMessageNotification);
  EXPECT_EQ(DecodeTextBox(alert->body).text, "Unable to open the database");
  auto state = client->Next();
  ASSERT_TRUE(state);
  EXPECT_EQ(state->code, MSG_LOGON_STATE);
}

TEST_F(ServerTest, AlertWaitsWhileOnlyAPeerThatHasNotLoggedOnIsConnected) {
  AllowRemote("admin", "secret");
  auto stranger = Connect(true);
  ASSERT_TRUE(stranger->NextWithCode(MSG_LOGON_CHALLENGE));
  ShowMessageBox("Template missing", "Error", 16);
  stranger->FinishSending();
  int frames = -1;
  EXPECT_TRUE(stranger->WaitForClose(&frames));
  EXPECT_EQ(frames, 0);
  auto client = Connect();
  auto alert = client->Next();
  ASSERT_TRUE(alert);
  EXPECT_EQ(alert->code, MSG_ALERT);
}

TEST_F(ServerTest, RefusedRemoteClientGetsExactlyOneErrorBoxAndNoChallenge) {
  // Remote access off, then on without a logon name and password.
  for (bool allowed : {false, true}) {
    {
      // Under the list's lock, as the server reads it: the previous client's
      // thread may still be reading it.
      std::lock_guard<std::recursive_mutex> lock(SiteList.mutex());
      SystemData.AllowRemoteAccess = allowed;
    }
    auto client = Connect(true);
    auto box = client->Next();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->code, MSG_ERROR_BOX);
    TextBox text = DecodeTextBox(box->body);
    EXPECT_EQ(text.text, "This Tallyfox server does not allow remote connections");
    EXPECT_EQ(text.caption, "Connecton rejected");
    EXPECT_EQ(text.flags, 16u);
    client->FinishSending();
    int more = -1;
    EXPECT_TRUE(client->WaitForClose(&more));
    EXPECT_EQ(more, 0);
  }
  EXPECT_TRUE(Eventually([this] { return server_->session_count() == 0; }));
}

TEST_F(ServerTest, LogonAnswersTheChallenge) {
  AllowRemote("Admin", "Secret");
  auto client = Connect(true);
  auto challenge = client->Next();
  ASSERT_TRUE(challenge);
  ASSERT_EQ(challenge->code, MSG_LOGON_CHALLENGE);
  std::uint32_t c = challenge->parameter;
  // Before logon: the second logon code, and any other command, are ignored.
  client->Send(CMD_LOGON2, 0, EncodeLogonRecord("Admin", "Secret", LogonCheck("Admin", "Secret", c)));
  client->Send(CMD_GET_ALL);
  // A check made with another challenge fails.
  client->Send(CMD_LOGON, 0,
               EncodeLogonRecord("Admin", "Secret", LogonCheck("Admin", "Secret", c + 1)));
  auto failure = client->Next();
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->code, MSG_ERROR_BOX);
  EXPECT_EQ(DecodeTextBox(failure->body).caption, "Logon failure");
  // Name and password compare without regard to case.
  client->Send(CMD_LOGON, 0, EncodeLogonRecord("ADMIN", "secret", LogonCheck("ADMIN", "secret", c)));
  auto state = client->Next();
  ASSERT_TRUE(state);
  EXPECT_EQ(state->code, MSG_LOGON_STATE);
  EXPECT_EQ(IntField(state->body, 10), 1u);
  EXPECT_EQ(IntField(state->body, 11), 1u);
  // After logon the second logon code is served too.
  client->Send(CMD_LOGON2, 0, EncodeLogonRecord("admin", "SECRET", LogonCheck("admin", "SECRET", c)));
  EXPECT_EQ(client->Next()->code, MSG_LOGON_STATE);
}

TEST_F(ServerTest, EmptyLogonNeverOpensTheService) {
  AllowRemote("", "");
  auto client = Connect(true);
  auto first = client->Next();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->code, MSG_ERROR_BOX);
}

TEST_F(ServerTest, FiveFailedLogonsCloseTheConnection) {
  AllowRemote("admin", "secret");
  auto client = Connect(true);
  ASSERT_TRUE(client->NextWithCode(MSG_LOGON_CHALLENGE));
  for (int i = 0; i < 5; ++i) {
    client->Send(CMD_LOGON, 0, EncodeLogonRecord("admin", "guess", LogonCheck("admin", "guess", client->challenge())));
  }
  int boxes = 0;
  EXPECT_TRUE(client->WaitForClose(&boxes));
  EXPECT_EQ(boxes, 5);
}

TEST_F(ServerTest, LogonFieldsOverNinetyNineBytesAreRefused) {
  std::string long_name(100, 'a');
  AllowRemote(long_name, "secret");  // even when it would match
  auto client = Connect(true);
  auto challenge = client->NextWithCode(MSG_LOGON_CHALLENGE);
  ASSERT_TRUE(challenge);
  client->Send(CMD_LOGON, 0, EncodeLogonRecord(long_name, "secret", LogonCheck(long_name, "secret", challenge->parameter)));
  EXPECT_EQ(client->Next()->code, MSG_ERROR_BOX);
}

TEST_F(ServerTest, GetAllSendsTheListInOrderWithFreshSequences) {
  AddSite("One");
  AddSite("Two");
  AddSite("Three");
  auto client = LoggedOnClient();
  client->Send(CMD_GET_ALL);
  std::vector<std::uint32_t> codes;
  std::set<std::uint32_t> sequences;
  std::vector<std::string> names;
  while (auto message = client->Next()) {
    EXPECT_EQ(message->message_class, kMessageCommand);
    EXPECT_TRUE(sequences.insert(client->last_sequence()).second);
    codes.push_back(message->code);
    if (message->code == MSG_SITE_RECORD) names.push_back(TextField(message->body, 100));
    if (message->code == MSG_SITE_LIST_END) break;
  }
  std::vector<std::uint32_t> expected = {MSG_SYSTEM_SETTINGS, MSG_SITE_LIST_BEGIN};
  for (int i = 0; i < 3; ++i) {
    expected.push_back(MSG_SITE_RECORD);
    expected.push_back(MSG_SITE_STATUS);
  }
  expected.push_back(MSG_SITE_LIST_END);
  EXPECT_EQ(codes, expected);
  EXPECT_EQ(names, (std::vector<std::string>{"Three", "Two", "One"}));
}

TEST_F(ServerTest, FrameLengthsOutsideTheLimitsEndTheConnection) {
  for (std::uint32_t length : {19u, 1000001u}) {
    auto client = LoggedOnClient();
    std::string header(kFrameHeaderSize, '\0');
    EncodeFrameHeader(FrameHeader{length, 1, CMD_GET_ALL, 0, 1}, header.data());
    client->SendRaw(header);
    EXPECT_TRUE(client->WaitForClose()) << length;
  }
  EXPECT_TRUE(Eventually([this] { return server_->session_count() == 0; }));
}

TEST_F(ServerTest, LargestFrameIsAcceptedAndOtherClassesAreDropped) {
  std::int32_t id = AddSite("Only");
  auto client = LoggedOnClient();
  const std::string record = LargestFrameBody();
  ASSERT_EQ(record.size() + 20, 1000000u);
  client->Send(9, 0, record);  // a code nobody serves, in the largest frame
  client->Send(CMD_GET_SITE_STATUS, static_cast<std::uint32_t>(id), {}, kMessageNotification);
  client->Send(CMD_GET_SITE_STATUS, static_cast<std::uint32_t>(id), {}, 0);
  client->Send(CMD_GET_SITE_STATUS, 999);  // no such site: nothing at all
  client->Send(CMD_STOP_ANALYSIS, static_cast<std::uint32_t>(id));  // idle: only an ack
  auto reply = client->Next();
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->code, MSG_ACK);
  client->Send(CMD_GET_SITE_STATUS, static_cast<std::uint32_t>(id));
  auto status = client->Next();
  ASSERT_TRUE(status);
  EXPECT_EQ(status->code, MSG_SITE_STATUS);
  EXPECT_EQ(status->message_class, kMessageNotification);
}

TEST_F(ServerTest, MalformedBodyEndsTheConnection) {
  auto client = LoggedOnClient();
  client->SendRaw(BuildFrame(QueueMessage{1, CMD_CREATE_SITE, 0, std::string{'\x64', '\x05', 'a', 'b'}}, 3));
  EXPECT_TRUE(client->WaitForClose());
  std::lock_guard<std::recursive_mutex> lock(SiteList.mutex());
  EXPECT_TRUE(SiteList.sites().empty());
}

TEST_F(ServerTest, CreateTakesANewIdAndRefusesADuplicateName) {
  std::int32_t first = AddSite("Shop");
  auto client = LoggedOnClient();
  auto watcher = LoggedOnClient();
  client->Send(CMD_CREATE_SITE, 0, SiteRecordNamed("Blog"));
  EXPECT_EQ(client->Next()->code, MSG_ACK);
  auto record = watcher->NextWithCode(MSG_SITE_RECORD);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->message_class, kMessageNotification);
  EXPECT_EQ(static_cast<std::int32_t>(record->parameter), first + 1);
  EXPECT_EQ(TextField(record->body, 100), "Blog");
  EXPECT_EQ(watcher->Next()->code, MSG_SITE_STATUS);

  client->Send(CMD_CREATE_SITE, 0, SiteRecordNamed("sHOP"));
  auto refusal = client->NextWithCode(MSG_ERROR_BOX);
  ASSERT_TRUE(refusal);
  TextBox box = DecodeTextBox(refusal->body);
  EXPECT_EQ(box.caption, "Duplicate project name");
  EXPECT_EQ(box.flags, 17u);
  EXPECT_EQ(box.text,
            "An existing project already has the name 'sHOP'.\nPlease choose a different name "
            "for this project.");
  std::lock_guard<std::recursive_mutex> lock(SiteList.mutex());
  EXPECT_EQ(SiteList.sites().size(), 2u);
  EXPECT_NE(SiteList.Find(first + 1), nullptr);
  EXPECT_EQ(SiteList.Find(first + 1)->DatabaseName, DefaultDatabaseName(first + 1));
}

TEST_F(ServerTest, RunningSiteIsNeitherRemovedNorResetNorModified) {
  std::int32_t id = AddSite("Busy");
  auto client = LoggedOnClient();
  client->Send(CMD_START_ANALYSIS, static_cast<std::uint32_t>(id));
  EXPECT_EQ(client->NextWithCode(MSG_ACK)->code, MSG_ACK);
  struct Case {
    std::uint32_t code;
    std::string caption;
  } cases[] = {{CMD_REMOVE_SITE, "Cannot remove site"},
               {CMD_RESET_SITE, "Cannot reset site"},
               {CMD_MODIFY_SITE, "Cannot modify site"},
               {CMD_GENERATE_REPORTS, "Cannot generate reports"}};
  for (const Case& c : cases) {
    client->Send(c.code, static_cast<std::uint32_t>(id), SiteRecordNamed("Busy"));
    auto box = client->NextWithCode(MSG_ERROR_BOX);
    ASSERT_TRUE(box);
    EXPECT_EQ(DecodeTextBox(box->body).caption, c.caption);
  }
  // Starting a running site only acknowledges.
  client->Send(CMD_START_ANALYSIS, static_cast<std::uint32_t>(id));
  EXPECT_TRUE(client->NextWithCode(MSG_ACK));
  EXPECT_EQ(runs_.started(), 1);
}

TEST_F(ServerTest, UnknownSitesGetTheirErrorBoxes) {
  auto client = LoggedOnClient();
  struct Case {
    std::uint32_t code;
    std::string caption;
  } cases[] = {{CMD_REMOVE_SITE, "Error removing site"},
               {CMD_RESET_SITE, "Error resetting site"},
               {CMD_GENERATE_REPORTS, "Error for site"},
               {CMD_MODIFY_SITE, "Site update error"},
               {CMD_START_ANALYSIS, "Site error"},
               {CMD_STOP_ANALYSIS, "Site error"}};
  for (const Case& c : cases) {
    client->Send(c.code, 42, SiteRecordNamed("x"));
    auto box = client->Next();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->code, MSG_ERROR_BOX);
    EXPECT_EQ(DecodeTextBox(box->body).caption, c.caption);
  }
}

TEST_F(ServerTest, RemoveAcknowledgesAndTellsEveryone) {
  std::int32_t id = AddSite("Gone");
  auto client = LoggedOnClient();
  auto watcher = LoggedOnClient();
  client->Send(CMD_REMOVE_SITE, static_cast<std::uint32_t>(id));
  EXPECT_EQ(client->Next()->code, MSG_ACK);
  auto removed = watcher->NextWithCode(MSG_SITE_REMOVED);
  ASSERT_TRUE(removed);
  EXPECT_EQ(static_cast<std::int32_t>(removed->parameter), id);
  std::lock_guard<std::recursive_mutex> lock(SiteList.mutex());
  EXPECT_EQ(SiteList.Find(id), nullptr);
}

TEST_F(ServerTest, StartWithNoFreeSlotMakesTheSitePending) {
  SystemData.MaxAnalyses = 1;
  std::int32_t first = AddSite("First");
  std::int32_t second = AddSite("Second");
  auto client = LoggedOnClient();
  client->Send(CMD_START_ANALYSIS, static_cast<std::uint32_t>(first));
  ASSERT_TRUE(client->NextWithCode(MSG_ACK));
  client->Send(CMD_START_ANALYSIS, static_cast<std::uint32_t>(second));
  ASSERT_TRUE(client->NextWithCode(MSG_ACK));
  std::lock_guard<std::recursive_mutex> lock(SiteList.mutex());
  CSite* site = SiteList.Find(second);
  EXPECT_EQ(site->state, kSitePending);
  EXPECT_EQ(site->StatusText(), "Waiting for other analyses to finish");
}

TEST_F(ServerTest, ModifyStoresTheSiteAndBroadcastsIt) {
  std::int32_t id = AddSite("Old name");
  auto client = LoggedOnClient();
  std::string record;
  RecordPutString(record, 100, "New name");
  RecordPutInt(record, 101, 999);
  RecordPutString(record, 2000, "/var/log/site/*.log");
  RecordPutEnd(record);
  client->Send(CMD_MODIFY_SITE, static_cast<std::uint32_t>(id), record);
  EXPECT_EQ(client->Next()->code, MSG_ACK);
  auto broadcast = client->NextWithCode(MSG_SITE_RECORD);
  ASSERT_TRUE(broadcast);
  EXPECT_EQ(TextField(broadcast->body, 100), "New name");
  EXPECT_EQ(static_cast<std::int32_t>(IntField(broadcast->body, 101)), id);
  EXPECT_EQ(install_->Value("Tallyfox.mdb",
                            "SELECT ProjectName FROM tblProjects WHERE ProjectID=" + std::to_string(id)),
            "New name");
}

TEST_F(ServerTest, SiteThatWouldNotFitInAFrameIsRefused) {
  std::int32_t id = AddSite("Roomy");
  auto client = LoggedOnClient();
  // The site the largest body makes carries every other field as well.
  const std::string record = LargestFrameBody();
  struct Case {
    std::uint32_t code;
    std::uint32_t parameter;
    std::string caption;
  } cases[] = {{CMD_CREATE_SITE, 0, "Error creating site"},
               {CMD_MODIFY_SITE, static_cast<std::uint32_t>(id), "Site update error"}};
  for (const Case& c : cases) {
    client->Send(c.code, c.parameter, record);
    auto box = client->Next();
    ASSERT_TRUE(box) << c.caption;
    EXPECT_EQ(box->code, MSG_ERROR_BOX);
    EXPECT_EQ(DecodeTextBox(box->body).caption, c.caption);
  }
  // The connection goes on and the listing still fits.
  client->Send(CMD_GET_ALL);
  EXPECT_TRUE(client->NextWithCode(MSG_SITE_LIST_END));
  std::lock_guard<std::recursive_mutex> lock(SiteList.mutex());
  ASSERT_EQ(SiteList.sites().size(), 1u);
  EXPECT_TRUE(SiteList.Find(id)->settings.LogIncludeFilter.empty());
}

TEST_F(ServerTest, SystemSettingsAreClampedStoredAndBroadcast) {
  auto client = LoggedOnClient();
  CSystemData wanted;
  wanted.MaxAnalyses = 0;
  wanted.MaxDomainThreads = 5000;
  client->Send(CMD_SET_SYSTEM_SETTINGS, 0, EncodeSystemSettings(wanted));
  EXPECT_EQ(client->Next()->code, MSG_ACK);
  auto settings = client->Next();
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->code, MSG_SYSTEM_SETTINGS);
  EXPECT_EQ(IntField(settings->body, 11), 1u);
  EXPECT_EQ(IntField(settings->body, 12), 1000u);
  EXPECT_EQ(install_->Value("Tallyfox.mdb",
                            "SELECT IntegerValue FROM tblSettingsInteger WHERE Name='MaxAnalyses'"),
            "1");
}

TEST_F(ServerTest, BroadcastReachesOnlyLoggedOnClientsByteForByte) {
  AllowRemote("admin", "secret");
  std::vector<std::unique_ptr<TestClient>> logged_on;
  for (int i = 0; i < 3; ++i) logged_on.push_back(LoggedOnClient());
  auto stranger = Connect(true);
  ASSERT_TRUE(stranger->NextWithCode(MSG_LOGON_CHALLENGE));
  std::int32_t id = AddSite("Watched");
  {
    std::lock_guard<std::recursive_mutex> lock(SiteList.mutex());
    scheduler_->BroadcastSiteRecord(*SiteList.Find(id));
  }
  std::string first_body;
  for (auto& client : logged_on) {
    auto record = client->NextWithCode(MSG_SITE_RECORD);
    ASSERT_TRUE(record);
    if (first_body.empty()) first_body = record->body;
    EXPECT_EQ(record->body, first_body);
  }
  stranger->FinishSending();
  int frames = -1;
  EXPECT_TRUE(stranger->WaitForClose(&frames));
  EXPECT_EQ(frames, 0);
}

TEST_F(ServerTest, DisconnectInAnyStateLeavesNoThreadBehind) {
  AllowRemote("admin", "secret");
  {
    auto challenged = Connect(true);
    ASSERT_TRUE(challenged->NextWithCode(MSG_LOGON_CHALLENGE));
    auto local = LoggedOnClient();
    local->Send(CMD_DISCONNECT);
    EXPECT_TRUE(local->WaitForClose());
  }
  EXPECT_TRUE(Eventually([this] { return server_->session_count() == 0 && clients_.Count() == 0; }));
}

TEST_F(ServerTest, ListenerOutlivesRunningOutOfDescriptors) {
  auto accept_failed = std::make_shared<std::atomic<bool>>(false);
  SetEventSink([accept_failed](Severity, std::string_view text) {
    if (text.find("Error accepting socket connection") != std::string_view::npos) *accept_failed = true;
  });
  std::size_t open = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++open;
  }
  rlimit previous{};
  getrlimit(RLIMIT_NOFILE, &previous);
  // The consoles' sockets take 8 of the 12 descriptors left, so the service
  // can accept 4 of them and runs out at the fifth.
  std::vector<std::unique_ptr<TestClient>> consoles(8);
  for (auto& console : consoles) {
    console = std::make_unique<TestClient>();
    ASSERT_TRUE(console->Open(Loopback(1)));
  }
  rlimit tight = previous;
  tight.rlim_cur = open + 12;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
  for (auto& console : consoles) ASSERT_TRUE(console->ConnectTo(server_->endpoint()));
  bool ran_out = Eventually([&] { return accept_failed->load(); });
  for (int i = 0; i < 4; ++i) consoles[static_cast<std::size_t>(i)]->Close();
  setrlimit(RLIMIT_NOFILE, &previous);
  EXPECT_TRUE(ran_out);
  // The listener went on: the consoles that waited are served.
  for (std::size_t i = 4; i < consoles.size(); ++i) {
    EXPECT_TRUE(consoles[i]->NextWithCode(MSG_LOGON_STATE)) << i;
  }
}

TEST_F(ServerTest, ServicePortIsWrittenWhenAbsent) {
  tf::test::DeleteTallyfoxValue("TallyfoxPort");
  EXPECT_EQ(GetServicePort(), 5579);
  registry::Key key;
  std::uint32_t port = 0;
  ASSERT_EQ(registry::Key::Open(tf::test::kTallyfoxKey, registry::KEY_READ, &key), 0);
  ASSERT_EQ(key.QueryDword("TallyfoxPort", &port), 0);
  EXPECT_EQ(port, 5579u);
}

}  // namespace
}  // namespace tf::service::test
