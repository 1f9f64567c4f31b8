#pragma once

#include <functional>
#include <vector>

#include "Draw.h"
#include "DrawSettings.h"
#include "Ticket.h"

namespace kivora {

class Clock;
class Generator;
class SeedLocale;

// The per-ticket sequence of a Start: seed, re-seed, draw, sort and, for a Lotto ticket with a
// bonus, the bonus after the ticket's numbers. The window only has to show what comes out.
class TicketDrawer {
public:
    // Receives ticket 1, 2, ... in drawing order.
    using Sink = std::function<void(int index, const Ticket& ticket)>;

    TicketDrawer(Generator& generator, const Clock& clock, const SeedLocale& locale);

    // Throws InvalidDrawSettings, before drawing anything, for a record that cannot be drawn.
    void Draw(const DrawSettings& settings, const Sink& sink);
    std::vector<Ticket> Draw(const DrawSettings& settings);

private:
    void DrawInto(const DrawSettings& settings, NumberRange range, Ticket& ticket);

    Generator& generator_;
    const Clock& clock_;
    const SeedLocale& locale_;
};

} // namespace kivora
