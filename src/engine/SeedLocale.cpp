#include "SeedLocale.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace kivora {

std::string PlainSeedLocale::ShortDateText(const CalendarDate& date) const {
    return std::to_string(date.month) + "/" + std::to_string(date.day) + "/" +
           std::to_string(date.year);
}

std::optional<double> PlainSeedLocale::ReadNumber(std::string_view text) const {
    return ReadPlainNumber(text);
}

std::optional<double> PlainSeedLocale::ReadPlainNumber(std::string_view text) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Digits only: a point or a comma is the decimal mark in some formats and a group mark in
    // others, so the plain reading takes neither.
    if (text.empty() || !std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

} // namespace kivora
