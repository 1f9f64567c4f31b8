#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace kivora {

// One drawn ticket: its numbers in column order and, in Lotto mode with a bonus, the bonus.
struct Ticket {
    std::vector<int32_t> numbers;
    std::optional<int32_t> bonus;

    friend bool operator==(const Ticket&, const Ticket&) = default;
};

} // namespace kivora
