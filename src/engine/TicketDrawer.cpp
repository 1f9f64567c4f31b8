#include "TicketDrawer.h"

#include <algorithm>

#include "BonusPool.h"
#include "Clock.h"
#include "Draw.h"
#include "Generator.h"
#include "Seed.h"
#include "SeedLocale.h"

namespace kivora {

TicketDrawer::TicketDrawer(Generator& generator, const Clock& clock, const SeedLocale& locale)
    : generator_(generator), clock_(clock), locale_(locale) {}

void TicketDrawer::DrawInto(const DrawSettings& settings, NumberRange range, Ticket& ticket) {
    generator_.Reseed(ComputeSeed(settings, clock_, locale_));
    ticket.bonus.reset();
    ticket.secondBonus.reset();
    if (settings.gameMode == GameMode::Lotto) {
        DrawLottoTicket(generator_, range, settings, ticket.numbers);
        SortTicketNumbers(ticket.numbers);
        if (settings.HasBonus()) {
            ticket.bonus = DrawBonusNumber(generator_, clock_, settings.highestBonus);
            if (settings.bonusCount == 2) {
                DrawSecondBonusNumber(generator_, clock_, settings.highestBonus, ticket);
            }
        }
    } else {
        DrawDailyTicket(generator_, range, settings, ticket.numbers);
    }
}

void TicketDrawer::Draw(const DrawSettings& settings, const Sink& sink) {
    if (const std::string problem = ValidateDrawSettings(settings); !problem.empty()) {
        throw InvalidDrawSettings(problem);
    }
    const NumberRange range = CandidateRange(settings);
    Ticket ticket; // one ticket's memory serves every ticket of the Start
    for (int i = 1; i <= settings.ticketCount; ++i) {
        DrawInto(settings, range, ticket);
        sink(i, ticket);
    }
}

std::vector<Ticket> TicketDrawer::Draw(const DrawSettings& settings) {
    std::vector<Ticket> tickets;
    tickets.reserve(static_cast<size_t>(std::max(settings.ticketCount, 0)));
    Draw(settings, [&tickets](int, const Ticket& ticket) { tickets.push_back(ticket); });
    return tickets;
}

} // namespace kivora
