#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrelo {

// One document of a control tape: the raw bytes from "<DAT" to the end of the "</MAC>" that
// closes it, exactly as they stand in the tape file, so that a client that fetches and joins the
// blocks gets the very text the file holds.
struct TapeDocument {
    std::string text;
    std::int32_t di = 0;
    std::optional<std::int32_t> z_no;  // the NO of Z, for Z-reports only
    std::string ts;                    // the TS element's text (yyyymmddhhmmss); may be empty
};

// The documents a register holds, indexed the two ways the "B" command asks for them.
class Tape {
  public:
    Tape() = default;

    // Finds the documents in the text of a control-tape response (a temp.xml or a generated
    // tape). No XML parser is involved: each document is cut out byte for byte. Raises ParseError
    // for a document without a decimal DI, without its closing tag, or holding a zero byte (a
    // client stops reading a reply at its first zero byte). Where two documents share a DI, or
    // two Z-reports a NO, the first one is kept.
    static Tape Parse(std::string_view xml);
    static Tape FromFile(const std::filesystem::path& path);  // FileError, ParseError

    const std::vector<TapeDocument>& documents() const { return documents_; }
    std::size_t size() const { return documents_.size(); }

    const TapeDocument* FindByDi(std::int32_t di) const;
    const TapeDocument* FindByZNo(std::int32_t no) const;

    // The least and the greatest DI among the documents whose TS lies in [from, to] (both as
    // 14-digit yyyymmddhhmmss numbers); nullopt when none does.
    std::optional<std::pair<std::int32_t, std::int32_t>> DiRangeByTime(std::int64_t from,
                                                                       std::int64_t to) const;

  private:
    std::vector<TapeDocument> documents_;
    std::map<std::int32_t, std::size_t> by_di_;
    std::map<std::int32_t, std::size_t> by_z_no_;
};

// The lines of a response file around the given documents: the XML declaration, <RQ V="1">, one
// line per document and </RQ>, each ended by CR LF, as the client writes its temp.xml.
std::string FrameTape(const std::vector<std::string>& documents);

}  // namespace tavrelo
