#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace tavrelo {

// The single reply area of the exchange. Every exchange clears all of it and reads at most
// kReadLimit bytes into its start, so a reply is always followed by zero bytes.
class ReplyBuffer {
  public:
    static constexpr std::size_t kSize = 3000;
    static constexpr std::size_t kReadLimit = 1500;

    void Clear() { bytes_.fill(0); }
    char* data() { return bytes_.data(); }
    const char* data() const { return bytes_.data(); }

    // The reply as the callers read it: the bytes up to the first zero byte.
    std::string_view Text() const {
        std::string_view all(bytes_.data(), bytes_.size());
        return all.substr(0, all.find('\0'));
    }

  private:
    std::array<char, kSize> bytes_{};
};

}  // namespace tavrelo
