// Fakes and helpers shared by the engine tests.
#pragma once

#include <QTest>

#include <algorithm>
#include <bit>
#include <utility>

#include "FakeClock.h"
#include "engine/Generator.h"
#include "engine/SeedLocale.h"
#include "engine/TicketDrawer.h"

// GCC 12 asks designated initializers for every member that has no default of its own.
#ifdef __GNUC__
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif

namespace kivora::test {

using enum GameMode;
using enum DrawBasis;
using enum NumberPreference;

// Writes every date as `text` (the plain month/day/year when empty); reads numbers plainly.
struct DateTextLocale final : PlainSeedLocale {
    explicit DateTextLocale(std::string dateText) : text(std::move(dateText)) {}
    std::string ShortDateText(const CalendarDate& date) const override {
        return text.empty() ? PlainSeedLocale::ShortDateText(date) : text;
    }
    std::string text;
};

// A generator whose next 64-bit output is `output`: xoshiro256** returns rotl(s1 * 5, 7) * 9,
// and the factors below are the inverses of 9 and 5 modulo 2^64.
inline Generator GeneratorWithOutput(uint64_t output) {
    return Generator({1, std::rotr(output * 0x8E38E38E38E38E39, 7) * 0xCCCCCCCCCCCCCCCD, 0, 0});
}

// Starts of at most 50 tickets, one after another on one generator, as the window runs them.
struct Starts {
    Generator generator = Generator::FromSeed(1);
    FakeClock clock{36000, 4e-6};
    PlainSeedLocale locale;

    std::vector<Ticket> Draw(DrawSettings settings, int count) {
        std::vector<Ticket> tickets;
        for (settings.ticketCount = std::min(count, 50); int(tickets.size()) < count;) {
            std::ranges::copy(TicketDrawer(generator, clock, locale).Draw(settings),
                              std::back_inserter(tickets));
        }
        return tickets;
    }
};

} // namespace kivora::test

Q_DECLARE_METATYPE(kivora::DrawSettings)
