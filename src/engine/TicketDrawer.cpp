#include "TicketDrawer.h"

#include <algorithm>

#include "Clock.h"
#include "Draw.h"
#include "Generator.h"
#include "Seed.h"
#include "SeedLocale.h"

namespace kivora {

TicketDrawer::TicketDrawer(Generator& generator, const Clock& clock, const SeedLocale& locale)
    : generator_(generator), clock_(clock), locale_(locale) {}

Ticket TicketDrawer::DrawOne(const DrawSettings& settings) {
    const NumberRange range = CandidateRange(settings);
    generator_.Reseed(ComputeSeed(settings, clock_, locale_));
    Ticket ticket;
    if (settings.gameMode == GameMode::Lotto) {
        ticket.numbers = DrawLottoTicket(generator_, range, settings);
        SortTicketNumbers(ticket.numbers);
        if (settings.HasBonus()) {
            ticket.bonus = DrawBonusNumber(generator_, clock_, settings.highestBonus);
        }
    } else {
        ticket.numbers = DrawDailyTicket(generator_, range, settings);
    }
    return ticket;
}

void TicketDrawer::Draw(const DrawSettings& settings, const Sink& sink) {
    if (const std::string problem = ValidateDrawSettings(settings); !problem.empty()) {
        throw InvalidDrawSettings(problem);
    }
    for (int i = 1; i <= settings.ticketCount; ++i) {
        sink(i, DrawOne(settings));
    }
}

std::vector<Ticket> TicketDrawer::Draw(const DrawSettings& settings) {
    std::vector<Ticket> tickets;
    tickets.reserve(static_cast<size_t>(std::max(settings.ticketCount, 0)));
    Draw(settings, [&tickets](int, const Ticket& ticket) { tickets.push_back(ticket); });
    return tickets;
}

} // namespace kivora
