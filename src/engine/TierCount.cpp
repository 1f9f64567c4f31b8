#include "TierCount.h"

#include <algorithm>
#include <map>

#include "TicketMatch.h"

namespace kivora {

std::vector<TierCount> TierCount::Tally(const std::vector<TicketMatch>& matches,
                                        const GameRules& rules) {
    // Rank first, so that equal ranks with different labels stay apart and in a fixed order.
    std::map<std::pair<int32_t, std::string>, int32_t, std::greater<>> counts;
    for (const TicketMatch& match : matches) {
        ++counts[{match.Rank(), match.Label(rules)}];
    }
    std::vector<TierCount> tiers;
    for (const auto& [key, tickets] : counts) {
        tiers.push_back({key.second, tickets});
    }
    return tiers;
}

} // namespace kivora
