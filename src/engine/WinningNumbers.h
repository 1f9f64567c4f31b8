#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kivora {

struct GameRules;

// The numbers a lottery drew, split the way its game counts them.
struct WinningNumbers {
    std::vector<int32_t> main;   // Daily: the digits in their places
    std::vector<int32_t> extras; // balls drawn from the main pool that no player picks
    std::vector<int32_t> bonus;  // the bonus pool, ascending

    // Reads the numbers the way players write them: "5 12 23 44 61 + 9", "05-12-23-44-61 / 09",
    // "5,12,23,44,61 PB 9". The main numbers come first; "+", "/" or a word starts the bonus
    // numbers. A drawn bonus ball follows the main numbers, after a separator or not. A Daily
    // draw may be written as one number ("427"). On failure `error` says what is wrong and
    // nothing else is set.
    static WinningNumbers Read(std::string_view text, const GameRules& rules, std::string& error);
};

} // namespace kivora
