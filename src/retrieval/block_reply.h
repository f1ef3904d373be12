#pragma once

#include <string>
#include <string_view>

namespace tavrelo {

// TypeCode of a document type selection: 0 for the first item ("Z-отчет"), 1 for any other
// selection or none (-1).
int TypeCodeForSelection(int item_index);

// The "B" data text: type code, document number and block index, each followed by ";".
std::string BlockDataText(int type_code, int number, int block_index);

// Whether a "B" reply text (the reply up to its first zero byte) ends the document: "D;" or "E;"
// at offset 4, or byte 0 equal to 0x01 with byte 3 the digit zero, '"' or 'C'.
bool EndsDocument(std::string_view reply);

// The payload of a reply that does not end the document: the bytes after the 4-byte header
// without the last byte (empty for a reply of 4 or 5 bytes). RangeError for a reply shorter than
// 4 bytes.
std::string_view BlockPayload(std::string_view reply);

// The blocks of 150 bytes a reply of `reply_length` bytes covers (reply_length - 5 payload bytes,
// rounded up; a reply of 4 bytes counts as one block, one of 5 as none).
int BlockAdvance(int reply_length);

// The progress text after document `number` of first..last: the share of documents finished
// before it, in single precision with two decimals, "%", five blanks and the number.
std::string ProgressText(int first, int last, int number);

}  // namespace tavrelo
