#include "engine/common/tagged_record.h"

#include <cstring>
#include <limits>

#include "engine/common/text.h"

namespace tf {

namespace {

constexpr std::uint32_t kNoLimit = std::numeric_limits<std::uint32_t>::max();
constexpr int kMaxVarintBytes = 5;

void PutVarint(std::string& out, std::uint32_t value) {
  do {
    unsigned char byte = value & 0x7F;
    value >>= 7;
    if (value != 0) byte |= 0x80;
    out.push_back(static_cast<char>(byte));
  } while (value != 0);
}

void PutHeader(std::string& out, std::uint32_t tag, std::size_t length) {
  PutVarint(out, tag);
  PutVarint(out, static_cast<std::uint32_t>(length));
}

// Reads the varint at pos and moves pos past it.
int GetVarint(std::string_view data, std::size_t& pos, std::uint32_t& value) {
  std::uint64_t result = 0;
  for (int i = 0; i < kMaxVarintBytes; ++i) {
    if (pos >= data.size()) return kRecordTruncated;
    unsigned char byte = static_cast<unsigned char>(data[pos++]);
    result |= static_cast<std::uint64_t>(byte & 0x7F) << (7 * i);
    if ((byte & 0x80) == 0) {
      if (result > kNoLimit) return kRecordBadLength;
      value = static_cast<std::uint32_t>(result);
      return kRecordOk;
    }
  }
  return kRecordBadLength;
}

// One pass over the record: checks its structure against the view and the
// limits, and notes the first field with the wanted tag (0 wants none).
struct Scan {
  int check = kRecordOk;
  std::size_t size = 0;  // up to and including the end byte
  bool found = false;
  std::string_view value;
};

Scan ScanRecord(std::string_view record, std::uint32_t wanted, std::uint32_t largest_tag,
                std::uint32_t largest_length) {
  Scan scan;
  std::size_t pos = 0;
  for (;;) {
    if (pos >= record.size()) {
      scan.check = kRecordTruncated;
      return scan;
    }
    if (record[pos] == 0) {
      scan.size = pos + 1;
      return scan;
    }
    std::uint32_t tag = 0;
    std::uint32_t length = 0;
    if ((scan.check = GetVarint(record, pos, tag)) != kRecordOk) return scan;
    // A zero tag written in more than one byte: no writer makes it.
    if (tag == 0) {
      scan.check = kRecordBadLength;
      return scan;
    }
    if (tag > largest_tag) {
      scan.check = kRecordTagTooLarge;
      return scan;
    }
    if ((scan.check = GetVarint(record, pos, length)) != kRecordOk) return scan;
    if (length > largest_length) {
      scan.check = kRecordBadLength;
      return scan;
    }
    if (length > record.size() - pos) {
      scan.check = kRecordTruncated;
      return scan;
    }
    if (tag == wanted && !scan.found) {
      scan.found = true;
      scan.value = record.substr(pos, length);
    }
    pos += length;
  }
}

}  // namespace

void RecordPutInt(std::string& record, std::uint32_t tag, std::uint32_t value) {
  unsigned char bytes[4];
  std::size_t count = 0;
  do {
    bytes[count++] = value & 0xFF;
    value >>= 8;
  } while (value != 0);
  PutHeader(record, tag, count);
  record.append(reinterpret_cast<const char*>(bytes), count);
}

void RecordPutDouble(std::string& record, std::uint32_t tag, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  PutHeader(record, tag, 8);
  for (int i = 0; i < 8; ++i) record.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

void RecordPutString(std::string& record, std::uint32_t tag, std::string_view text) {
  RecordPutBlob(record, tag, text);
}

void RecordPutBlob(std::string& record, std::uint32_t tag, std::string_view data) {
  PutHeader(record, tag, data.size());
  record.append(data);
}

void RecordPutEnd(std::string& record) { record.push_back('\0'); }

bool RecordFindField(std::string_view record, std::uint32_t tag, std::string_view& value) {
  Scan scan = ScanRecord(record, tag, kNoLimit, kNoLimit);
  if (scan.check != kRecordOk || !scan.found) {
    value = {};
    return false;
  }
  value = scan.value;
  return true;
}

bool RecordGetInt(std::string_view record, std::uint32_t tag, std::uint32_t& out) {
  out = 0;
  std::string_view value;
  if (!RecordFindField(record, tag, value)) return false;
  if (value.empty() || value.size() > 4) return false;
  std::uint32_t result = 0;
  for (std::size_t i = 0; i < value.size(); ++i) {
    result |= static_cast<std::uint32_t>(static_cast<unsigned char>(value[i])) << (8 * i);
  }
  out = result;
  return true;
}

bool RecordGetDouble(std::string_view record, std::uint32_t tag, double& out) {
  out = 0.0;
  std::string_view value;
  if (!RecordFindField(record, tag, value) || value.size() != 8) return false;
  std::uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) {
    bits |= static_cast<std::uint64_t>(static_cast<unsigned char>(value[i])) << (8 * i);
  }
  std::memcpy(&out, &bits, sizeof out);
  return true;
}

bool RecordGetString(std::string_view record, std::uint32_t tag, std::string& out,
                     std::size_t size) {
  out.clear();
  std::string_view value;
  if (!RecordFindField(record, tag, value)) return false;
  SafeCopy(out, value, size);
  return true;
}

bool RecordGetText(std::string_view record, std::uint32_t tag, std::string& out) {
  out.clear();
  std::string_view value;
  if (!RecordFindField(record, tag, value)) return false;
  out.assign(value);
  return true;
}

bool RecordGetBytes(std::string_view record, std::uint32_t tag, std::string& out) {
  return RecordGetText(record, tag, out);
}

std::size_t RecordFieldLength(std::string_view record, std::uint32_t tag) {
  std::string_view value;
  return RecordFindField(record, tag, value) ? value.size() : 0;
}

std::size_t RecordSize(std::string_view record) {
  Scan scan = ScanRecord(record, 0, kNoLimit, kNoLimit);
  return scan.check == kRecordOk ? scan.size : 0;
}

int RecordValidate(std::string_view record, std::uint32_t largest_tag,
                   std::uint32_t largest_length) {
  return ScanRecord(record, 0, largest_tag, largest_length).check;
}

}  // namespace tf
