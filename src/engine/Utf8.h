#pragma once

#include <cstddef>
#include <string_view>

namespace kivora {

// Characters, not bytes: every UTF-8 code point counts once (a byte that does not continue a
// sequence starts one).
constexpr bool StartsUtf8Character(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

constexpr std::size_t Utf8Length(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) {
        count += StartsUtf8Character(c) ? 1 : 0;
    }
    return count;
}

// The first `characters` characters of text, never cutting one in half.
constexpr std::string_view Utf8Prefix(std::string_view text, std::size_t characters) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (StartsUtf8Character(text[i]) && seen++ == characters) {
            return text.substr(0, i);
        }
    }
    return text;
}

} // namespace kivora
