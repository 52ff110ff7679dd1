#include "engine/common/tagged_record.h"

#include <gtest/gtest.h>

#include <string>

namespace tf {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

TEST(TaggedRecordTest, WritesTheDocumentedBytes) {
  std::string record;
  RecordPutInt(record, 10, 300);
  RecordPutString(record, 20, "ab");
  RecordPutEnd(record);
  EXPECT_EQ(record, Bytes({0x0A, 0x02, 0x2C, 0x01, 0x14, 0x02, 0x61, 0x62, 0x00}));

  struct Case {
    std::uint32_t tag, value;
    std::string bytes;
  };
  const Case ints[] = {
      {1, 0, Bytes({0x01, 0x01, 0x00})},
      {1, 200, Bytes({0x01, 0x01, 0xC8})},
      {1, 0x01000000, Bytes({0x01, 0x04, 0x00, 0x00, 0x00, 0x01})},
      {1, 0xFFFFFFFF, Bytes({0x01, 0x04, 0xFF, 0xFF, 0xFF, 0xFF})},
      {200, 5, Bytes({0xC8, 0x01, 0x01, 0x05})},
  };
  for (const Case& c : ints) {
    std::string field;
    RecordPutInt(field, c.tag, c.value);
    EXPECT_EQ(field, c.bytes) << c.value;
  }

  std::string blob;
  RecordPutBlob(blob, 7, "");
  EXPECT_EQ(blob, Bytes({0x07, 0x00}));
  std::string long_text;
  RecordPutString(long_text, 1, std::string(300, 'x'));
  EXPECT_EQ(long_text.substr(0, 3), Bytes({0x01, 0xAC, 0x02}));
}

TEST(TaggedRecordTest, ReadsBackEveryKind) {
  std::string nested;
  RecordPutInt(nested, 10, 42);
  RecordPutDouble(nested, 11, 733041.5);
  RecordPutEnd(nested);

  std::string record;
  RecordPutInt(record, 10, 200);
  RecordPutInt(record, 11, static_cast<std::uint32_t>(-1));
  RecordPutDouble(record, 12, -1.25);
  RecordPutString(record, 20, "first");
  RecordPutString(record, 20, "second");  // readers see the first
  RecordPutString(record, 21, "");
  RecordPutBlob(record, 200, nested);
  RecordPutEnd(record);

  std::uint32_t number = 7;
  EXPECT_TRUE(RecordGetInt(record, 10, number));
  EXPECT_EQ(number, 200u);  // no sign extension
  EXPECT_TRUE(RecordGetInt(record, 11, number));
  EXPECT_EQ(number, 0xFFFFFFFFu);
  double real = 0;
  EXPECT_TRUE(RecordGetDouble(record, 12, real));
  EXPECT_EQ(real, -1.25);
  std::string text;
  EXPECT_TRUE(RecordGetText(record, 20, text));
  EXPECT_EQ(text, "first");
  EXPECT_TRUE(RecordGetString(record, 21, text, 10));
  EXPECT_EQ(text, "");
  EXPECT_EQ(RecordFieldLength(record, 20), 5u);
  EXPECT_EQ(RecordSize(record + "trailing"), record.size());

  std::string_view inner;
  ASSERT_TRUE(RecordFindField(record, 200, inner));
  EXPECT_EQ(inner, nested);
  EXPECT_TRUE(RecordGetInt(inner, 10, number));
  EXPECT_EQ(number, 42u);
  EXPECT_TRUE(RecordGetDouble(inner, 11, real));
  EXPECT_EQ(real, 733041.5);

  // Absent tags leave the defaults.
  EXPECT_FALSE(RecordGetInt(record, 99, number));
  EXPECT_EQ(number, 0u);
  EXPECT_FALSE(RecordGetDouble(record, 99, real));
  EXPECT_EQ(real, 0.0);
  text = "old";
  EXPECT_FALSE(RecordGetString(record, 99, text, 10));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(RecordGetBytes(record, 99, text));
  EXPECT_EQ(RecordFieldLength(record, 99), 0u);
}

TEST(TaggedRecordTest, StringsAreCutToTheirField) {
  std::string record;
  RecordPutString(record, 1, "abcdefghijklmnopqrstuvwxyz0123");
  RecordPutString(record, 2, "ab\xC3\xA9");  // "abé"
  RecordPutEnd(record);
  std::string text;
  EXPECT_TRUE(RecordGetString(record, 1, text, 10));
  EXPECT_EQ(text, "abcdefghi");
  EXPECT_TRUE(RecordGetString(record, 2, text, 4));  // room for 3 bytes
  EXPECT_EQ(text, "ab");
  EXPECT_TRUE(RecordGetString(record, 1, text, 0));
  EXPECT_EQ(text, "");
}

TEST(TaggedRecordTest, ValidationCodes) {
  std::string good;
  RecordPutInt(good, 10, 300);
  RecordPutString(good, 20, "ab");
  RecordPutEnd(good);

  struct Case {
    const char* what;
    std::string record;
    std::uint32_t largest_tag, largest_length;
    int code;
  };
  const Case cases[] = {
      {"end byte only", Bytes({0x00}), 1, 0, kRecordOk},
      {"well formed", good, 20, 2, kRecordOk},
      {"trailing bytes after the end", good + "xyz", 20, 2, kRecordOk},
      {"empty view", "", 100, 100, kRecordTruncated},
      {"tag too large", good, 19, 2, kRecordTagTooLarge},
      {"length too large", good, 20, 1, kRecordBadLength},
      {"six-byte varint", Bytes({0x81, 0x81, 0x81, 0x81, 0x81, 0x01, 0x00, 0x00}), 1000, 1000,
       kRecordBadLength},
      {"varint above 32 bits", Bytes({0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x1F, 0x00}), 1000,
       0xFFFFFFFF, kRecordBadLength},
      {"zero tag in two bytes", Bytes({0x80, 0x00, 0x00, 0x00}), 1000, 1000, kRecordBadLength},
      {"no end byte", good.substr(0, good.size() - 1), 20, 2, kRecordTruncated},
      {"value runs past the end", Bytes({0x01, 0x05, 0x41, 0x42}), 20, 20, kRecordTruncated},
      {"varint cut short", Bytes({0x01, 0x81}), 20, 20, kRecordTruncated},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RecordValidate(c.record, c.largest_tag, c.largest_length), c.code) << c.what;
  }
}

TEST(TaggedRecordTest, ReadersRefuseRecordsThatDoNotFit) {
  std::string record;
  RecordPutInt(record, 10, 300);
  RecordPutString(record, 20, "hello");
  RecordPutEnd(record);

  // Every cut of the record short of its end byte reads as no fields, so
  // nothing is read past the view.
  for (std::size_t size = 0; size < record.size(); ++size) {
    std::string cut = record.substr(0, size);
    std::uint32_t number = 1;
    std::string text = "x";
    EXPECT_FALSE(RecordGetInt(cut, 10, number)) << size;
    EXPECT_EQ(number, 0u);
    EXPECT_FALSE(RecordGetText(cut, 20, text)) << size;
    EXPECT_EQ(RecordSize(cut), 0u);
  }

  // A length that claims more than the view holds.
  std::string lying = Bytes({0x0A, 0x7F, 0x01, 0x00});
  std::uint32_t number = 1;
  EXPECT_FALSE(RecordGetInt(lying, 10, number));

  // Fields whose length does not suit the kind asked for.
  std::string odd;
  RecordPutBlob(odd, 1, "12345");
  RecordPutBlob(odd, 2, "1234");
  RecordPutBlob(odd, 3, "");
  RecordPutEnd(odd);
  double real = 1;
  EXPECT_FALSE(RecordGetInt(odd, 1, number));
  EXPECT_FALSE(RecordGetInt(odd, 3, number));
  EXPECT_FALSE(RecordGetDouble(odd, 2, real));
  EXPECT_EQ(real, 0.0);
  EXPECT_TRUE(RecordGetInt(odd, 2, number));
  EXPECT_EQ(number, 0x34333231u);
}

}  // namespace
}  // namespace tf
