#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "GameRules.h"
#include "Ticket.h"

namespace kivora {

// Reads tickets back from the lines Kivora writes: "Save tickets as..." and Ctrl+C text (numbers
// separated by tabs, the bonus numbers last), its CSV (a "Ticket,N1,..." heading, then a label
// column), and --draw output ("3 12 25 + 7", or "3,12,25,7" as CSV).
class TicketLineReader {
public:
    explicit TicketLineReader(GameRules rules) : rules_(std::move(rules)) {}

    enum class Line { Ticket, Skip, Bad };
    // Skip for blank lines and CSV headings; Bad with `why` for a line that is no ticket of
    // the game.
    Line Read(std::string_view line, Ticket& ticket, std::string& why);

private:
    GameRules rules_;
    bool labelled_ = false; // a CSV heading has been read: the first field is a label
};

} // namespace kivora
