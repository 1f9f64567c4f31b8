#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivora {

struct GameRules;
struct TicketMatch;

// How many tickets reached one tier.
struct TierCount {
    std::string label;
    int32_t tickets = 0;

    // One entry per tier reached, the best first.
    static std::vector<TierCount> Tally(const std::vector<TicketMatch>& matches,
                                        const GameRules& rules);

    friend bool operator==(const TierCount&, const TierCount&) = default;
};

} // namespace kivora
