#include "TicketMatch.h"

#include <algorithm>

#include "GameRules.h"
#include "Ticket.h"
#include "WinningNumbers.h"

namespace kivora {

namespace {

int32_t Shared(const std::vector<int32_t>& ticket, const std::vector<int32_t>& drawn) {
    return static_cast<int32_t>(std::ranges::count_if(
        ticket, [&](int32_t n) { return std::ranges::find(drawn, n) != drawn.end(); }));
}

} // namespace

TicketMatch TicketMatch::Of(const Ticket& ticket, const WinningNumbers& drawn,
                            const GameRules& rules) {
    TicketMatch match;
    if (rules.mode == GameMode::Daily) {
        const size_t count = std::min(ticket.numbers.size(), drawn.main.size());
        for (size_t i = 0; i < count; ++i) {
            match.main += ticket.numbers[i] == drawn.main[i] ? 1 : 0;
        }
        match.straight = ticket.numbers == drawn.main;
        std::vector<int32_t> mine = ticket.numbers;
        std::vector<int32_t> theirs = drawn.main;
        std::ranges::sort(mine);
        std::ranges::sort(theirs);
        match.box = !match.straight && mine == theirs;
        return match;
    }
    match.main = Shared(ticket.numbers, drawn.main);
    match.extras = Shared(ticket.numbers, drawn.extras);
    std::vector<int32_t> bonus;
    for (const auto& value : {ticket.bonus, ticket.secondBonus}) {
        if (value) {
            bonus.push_back(*value);
        }
    }
    match.bonus = Shared(bonus, drawn.bonus);
    return match;
}

std::string TicketMatch::Label(const GameRules& rules) const {
    if (rules.mode == GameMode::Daily) {
        return straight ? "straight" : box ? "box" : std::to_string(main);
    }
    std::string label = std::to_string(main);
    if (bonus > 0) {
        label += " + " + std::to_string(bonus);
    }
    if (extras > 0) {
        label += " + " + rules.ExtraWords(extras);
    }
    return label;
}

int32_t TicketMatch::Rank() const {
    if (straight) {
        return 10000;
    }
    if (box) {
        return 5000;
    }
    return main * 100 + bonus * 10 + extras;
}

} // namespace kivora
