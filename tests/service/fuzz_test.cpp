// Seeded random input for the frame reader and the body decoders: nothing
// a peer sends may read past a buffer or crash the service (the sanitizer
// build of this test is what checks it).
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "engine/common/tagged_record.h"
#include "engine/site/site.h"
#include "engine/store/system_data.h"
#include "service/frame.h"
#include "service/message_bodies.h"

namespace tf::service {
namespace {

constexpr int kRounds = 20000;

std::string RandomBytes(std::mt19937& random, std::size_t size) {
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}

// A valid site record with a few bytes changed, cut or added.
std::string MutatedRecord(std::mt19937& random, const std::string& record) {
  std::string mutated = record;
  int changes = 1 + static_cast<int>(random() % 8);
  for (int i = 0; i < changes && !mutated.empty(); ++i) {
    std::size_t at = random() % mutated.size();
    switch (random() % 3) {
      case 0: mutated[at] = static_cast<char>(random() & 0xFF); break;
      case 1: mutated.resize(at); break;
      default: mutated.insert(at, RandomBytes(random, 1 + random() % 4)); break;
    }
  }
  return mutated;
}

void DecodeEveryWay(const std::string& body) {
  CSite site;
  DecodeSiteRecord(body, site);
  CSystemData system;
  DecodeSystemSettings(body, system);
  LogonFields logon;
  DecodeLogonRecord(body, logon);
  DecodeTextBox(body);
}

TEST(FuzzTest, FrameReaderTakesAnyByteStream) {
  std::mt19937 random(5579);
  for (int round = 0; round < kRounds; ++round) {
    std::string stream = RandomBytes(random, random() % 64);
    if (round % 2 == 0 && stream.size() >= 4) {
      // A plausible length, so that bodies are read too.
      std::uint32_t length = 20 + static_cast<std::uint32_t>(random() % 40);
      std::memcpy(stream.data(), &length, 4);
    }
    std::size_t position = 0;
    auto read = [&](char* buffer, std::size_t count) {
      if (stream.size() - position < count) return false;
      std::memcpy(buffer, stream.data() + position, count);
      position += count;
      return true;
    };
    QueueMessage message;
    while (ReadFrame(read, message) == FrameRead::kOk) {
      if (!message.body.empty()) {
        ASSERT_TRUE(IsWellFormedBody(message.body));
      }
      DecodeEveryWay(message.body);
    }
  }
}

TEST(FuzzTest, DecodersTakeDamagedRecords) {
  std::mt19937 random(1234);
  CSite site;
  site.ProjectName = "Fuzz";
  site.settings.LogIncludeFilter = "a\nb";
  site.target_pages.push_back(CTargetPage{{"t.html", 0, 1.5, 0}});
  std::string record = EncodeSiteRecord(site);
  std::string logon = EncodeLogonRecord("name", "password", 7);
  for (int round = 0; round < kRounds; ++round) {
    DecodeEveryWay(MutatedRecord(random, round % 2 ? record : logon));
    DecodeEveryWay(RandomBytes(random, random() % 200));
  }
}

}  // namespace
}  // namespace tf::service
