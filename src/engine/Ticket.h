#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace kivora {

// One drawn ticket: its numbers in column order and, in Lotto mode with a bonus, the bonus.
// A game with two bonus numbers has the higher one in secondBonus.
struct Ticket {
    std::vector<int32_t> numbers;
    std::optional<int32_t> bonus;
    std::optional<int32_t> secondBonus = std::nullopt;

    friend bool operator==(const Ticket&, const Ticket&) = default;
};

} // namespace kivora
