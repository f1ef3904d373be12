#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>

namespace tavrelo::fuzz {

// Thrown when an entry point finds a result that breaks what the code promises (a placed value
// not where it was placed, a number text that does not read back). Under libFuzzer it escapes
// and ends the run like a crash; in the replay test it fails the test.
class BrokenPromise : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

// Each entry takes arbitrary bytes and returns normally for every input the code is meant to
// handle: an expected failure (ParseError, ConversionError, RangeError, a malformed request) is
// caught where the program catches it. Anything else escaping is a fault.
using Bytes = std::span<const std::uint8_t>;

// XML bytes -> ParseResponse -> RenderDocuments with each of the four selectors.
void ParseAndRender(Bytes data);

// The emulator's request frames: the bytes fed to a RequestReader in pieces (the first byte sets
// the piece size), and the whole input as one frame body.
void RegisterRequests(Bytes data);

// The emulator's tape loader on arbitrary text.
void RegisterTape(Bytes data);

// ParseFloat, ParseInt, ParseIntSkippingLeadingBlanks on the bytes as text, and TruncToInt32 on
// the leading bytes as a float and as an extended-precision value.
void Numbers(Bytes data);

// Fixed2, Fixed2Short, Whole and FormatFixed on the leading bytes as float / extended bit
// patterns; PlaceRight with arbitrary line, value and column; FormatStamp and the tax letter.
void Formatting(Bytes data);

// ReplyField on the bytes as an "F" payload, fields 0 to 3.
void RangeReplyField(Bytes data);

// The bytes as the text of an INI file: the names found in it read back alike from the text and
// from a file holding it, and a value written into it reads back.
void IniValues(Bytes data);

// RetrieveByNumbers over a fake socket that hands out the bytes cut into replies: the first bytes
// choose up to three documents and the type code, then every reply is a 2-byte length and its
// bytes (a length of 0 is the peer closing the connection).
void RetrievalReplies(Bytes data);

// The entry of a fuzz target by its name ("parse_render", "register_request", ...); nullptr for
// an unknown name. The replay test runs every kept input through the entry of its folder.
using Entry = void (*)(Bytes);
Entry EntryByName(std::string_view name);

}  // namespace tavrelo::fuzz
