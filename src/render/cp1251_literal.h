#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace tavrelo {

// The layouts are written in UTF-8 source, but every rendered line is Windows-1251 bytes. The
// literal operator "..."_cp converts a UTF-8 literal at compile time; a character that has no
// Windows-1251 form used by the tape texts (ASCII, the Cyrillic letters, the Ukrainian Є І Ї Ґ and
// "№") stops the build instead of turning into "?" at run time.
namespace cp1251_literal {

template <std::size_t N>
struct Utf8Text {
    char bytes[N] = {};
    consteval Utf8Text(const char (&text)[N]) {
        for (std::size_t i = 0; i < N; ++i) bytes[i] = text[i];
    }
};

constexpr char EncodeCodePoint(char32_t cp) {
    if (cp < 0x80) return static_cast<char>(cp);
    if (cp >= 0x0410 && cp <= 0x044F) return static_cast<char>(0xC0 + (cp - 0x0410));
    switch (cp) {
        case 0x0401:
            return static_cast<char>(0xA8);  // Ё
        case 0x0451:
            return static_cast<char>(0xB8);  // ё
        case 0x0404:
            return static_cast<char>(0xAA);  // Є
        case 0x0454:
            return static_cast<char>(0xBA);  // є
        case 0x0406:
            return static_cast<char>(0xB2);  // І
        case 0x0456:
            return static_cast<char>(0xB3);  // і
        case 0x0407:
            return static_cast<char>(0xAF);  // Ї
        case 0x0457:
            return static_cast<char>(0xBF);  // ї
        case 0x0490:
            return static_cast<char>(0xA5);  // Ґ
        case 0x0491:
            return static_cast<char>(0xB4);  // ґ
        case 0x2116:
            return static_cast<char>(0xB9);  // №
        default:
            throw "character without a Windows-1251 form in a tape literal";
    }
}

// Walks the UTF-8 text (without its terminating zero); `emit` receives each converted byte.
template <std::size_t N, class Emit>
constexpr void Convert(const Utf8Text<N>& text, Emit emit) {
    std::size_t i = 0;
    while (i + 1 < N) {
        const auto b0 = static_cast<unsigned char>(text.bytes[i]);
        char32_t cp = 0;
        if (b0 < 0x80) {
            cp = b0, i += 1;
        } else if ((b0 & 0xE0) == 0xC0) {
            cp = ((b0 & 0x1Fu) << 6) | (static_cast<unsigned char>(text.bytes[i + 1]) & 0x3Fu);
            i += 2;
        } else if ((b0 & 0xF0) == 0xE0) {
            cp = ((b0 & 0x0Fu) << 12) |
                 ((static_cast<unsigned char>(text.bytes[i + 1]) & 0x3Fu) << 6) |
                 (static_cast<unsigned char>(text.bytes[i + 2]) & 0x3Fu);
            i += 3;
        } else {
            throw "four-byte UTF-8 sequence in a tape literal";
        }
        emit(EncodeCodePoint(cp));
    }
}

template <std::size_t N>
constexpr std::size_t EncodedLength(const Utf8Text<N>& text) {
    std::size_t length = 0;
    Convert(text, [&](char) { ++length; });
    return length;
}

template <Utf8Text Text>
struct Encoded {
    static constexpr std::size_t size = EncodedLength(Text);
    static constexpr std::array<char, size + 1> bytes = [] {
        std::array<char, size + 1> out{};
        std::size_t at = 0;
        Convert(Text, [&](char c) { out[at++] = c; });
        return out;
    }();
};

}  // namespace cp1251_literal

inline namespace literals {

template <cp1251_literal::Utf8Text Text>
constexpr std::string_view operator""_cp() {
    using Encoded = cp1251_literal::Encoded<Text>;
    return {Encoded::bytes.data(), Encoded::size};
}

}  // namespace literals
}  // namespace tavrelo
