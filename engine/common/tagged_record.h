// TaggedRecord: the compact, self-describing byte format of the saved-sessions
// file and of the service's message bodies (a wire format shared with remote
// consoles).
//
// A record is a sequence of fields ended by the byte 0. A field is a tag
// (unsigned varint, at least 1), a length (unsigned varint) and that many
// value bytes. Varints hold 7 bits per byte, least significant group first,
// with 0x80 on every byte but the last. Value kinds: an integer is the
// unsigned 32-bit value in the fewest little-endian bytes (at least one), a
// double is 8 little-endian IEEE bytes, a string is its bytes without a
// terminator, a blob is bytes as given (a nested record, with its own end
// byte).
//
// Writers append to a std::string, so they can never run past a buffer.
// Readers take the record as a view with its size: records come from files
// and sockets, so every reader checks the record's structure against that
// size before it takes a field, and a record that does not fit reads as
// having no fields. The first field with a tag is the one that counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tf {

void RecordPutInt(std::string& record, std::uint32_t tag, std::uint32_t value);
void RecordPutDouble(std::string& record, std::uint32_t tag, double value);
void RecordPutString(std::string& record, std::uint32_t tag, std::string_view text);
// Raw bytes; used for nested records.
void RecordPutBlob(std::string& record, std::uint32_t tag, std::string_view data);
// The end byte.
void RecordPutEnd(std::string& record);

// Finds the first field with the tag; value is that field's bytes (for a
// blob, a nested record ready for these readers). False when absent.
bool RecordFindField(std::string_view record, std::uint32_t tag, std::string_view& value);

// out = the field's bytes as an unsigned little-endian number, no sign
// extension; 0 and false when absent or not 1 to 4 bytes long.
bool RecordGetInt(std::string_view record, std::uint32_t tag, std::uint32_t& out);
// 0.0 and false when absent or not exactly 8 bytes long.
bool RecordGetDouble(std::string_view record, std::uint32_t tag, double& out);
// The value cut to fit a field of size bytes, terminator included (at most
// size - 1 bytes, never splitting a UTF-8 character); empty and false when
// absent.
bool RecordGetString(std::string_view record, std::uint32_t tag, std::string& out,
                     std::size_t size);
// The whole value as text; empty and false when absent.
bool RecordGetText(std::string_view record, std::uint32_t tag, std::string& out);
// The raw value bytes; empty and false when absent.
bool RecordGetBytes(std::string_view record, std::uint32_t tag, std::string& out);
// Length of the field's value; 0 when absent.
std::size_t RecordFieldLength(std::string_view record, std::uint32_t tag);
// Bytes from the record's start up to and including its end byte; 0 when the
// view holds no well-formed record.
std::size_t RecordSize(std::string_view record);

// Results of RecordValidate.
enum RecordCheck {
  kRecordOk = 0,            // the end byte lies within the view
  kRecordTagTooLarge = 1,   // a tag above the largest tag
  kRecordBadLength = 2,     // a varint of more than 5 bytes or above 32 bits,
                            // or a length above the largest length
  kRecordTruncated = 3,     // a varint, a value or the end byte lies beyond
};
int RecordValidate(std::string_view record, std::uint32_t largest_tag,
                   std::uint32_t largest_length);

}  // namespace tf
