#pragma once

#include <cstdint>
#include <string>

namespace kivora {

struct GameRules;
struct Ticket;
struct WinningNumbers;

// How one ticket fared against the winning numbers.
struct TicketMatch {
    int32_t main = 0;      // main numbers matched; Daily: digits matching in their places
    int32_t extras = 0;    // drawn extras (bonus ball, supplementaries) on the ticket
    int32_t bonus = 0;     // the ticket's bonus numbers among the drawn ones
    bool straight = false; // Daily: every digit in its place
    bool box = false;      // Daily: the same digits in another order

    static TicketMatch Of(const Ticket& ticket, const WinningNumbers& drawn,
                          const GameRules& rules);

    // The tier as lotteries name it: "4 + 1", "3", "5 + bonus ball", "straight", "box", "2".
    std::string Label(const GameRules& rules) const;

    // Higher is better: more main numbers first, then bonus numbers and extras; for Daily,
    // straight above box above the digits in place.
    int32_t Rank() const;

    friend bool operator==(const TicketMatch&, const TicketMatch&) = default;
};

} // namespace kivora
