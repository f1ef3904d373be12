#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/document.h"

// Pieces shared by the receipt and the Z-report layouts.
namespace tavrelo::tape {

inline constexpr std::string_view kSeparator = "  --------------------------------------";

template <class... Parts>
std::string Cat(const Parts&... parts) {
    std::string out;
    (out.append(parts), ...);
    return out;
}

// The list the layouts append to; a line once added is never changed.
class Lines {
  public:
    explicit Lines(std::vector<std::string>& lines) : lines_(lines) {}

    void Add(std::string line) { lines_.push_back(std::move(line)); }
    // The two-space margin moves values placed at column 37 to end at column 39.
    void AddWithMargin(std::string_view line) { lines_.push_back(Cat("  ", line)); }
    void Separator() { lines_.emplace_back(kSeparator); }

  private:
    std::vector<std::string>& lines_;
};

// Company, city, and the serial number of `doc` with the fiscal number of the first document.
void WriteHeader(rq& model, dat& doc, Lines& out);

// Without `with_payment` the totals and the payment blocks are left out (the cash in/out layout).
void WriteReceipt(rq& model, dat& doc, Lines& out, bool with_payment);

void WriteZvit(rq& model, dat& doc, Lines& out);

}  // namespace tavrelo::tape
