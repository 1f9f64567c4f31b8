// Fakes and helpers shared by the engine tests.
#pragma once

#include <QStringList>
#include <QTest>

#include <algorithm>
#include <bit>

#include "FakeClock.h"
#include "engine/Draw.h"
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

// "3 12 25 + 7 9", as --draw prints a ticket.
inline QString Text(const Ticket& t) {
    QStringList parts;
    for (const int32_t n : t.numbers) {
        parts << QString::number(n);
    }
    if (t.bonus) {
        parts << "+" << QString::number(*t.bonus);
    }
    if (t.secondBonus) {
        parts << QString::number(*t.secondBonus);
    }
    return parts.join(' ');
}

// Whether a ticket drawn with `s` has its size, numbers from `range` or the include number,
// Lotto numbers distinct and ascending with the include number among them, and the bonus numbers
// `s` asks for, in their range and ascending.
inline bool TicketFits(const Ticket& t, const DrawSettings& s, NumberRange range) {
    const auto& n = t.numbers;
    const bool lotto = s.gameMode == Lotto;
    const auto drawable = [&](int32_t v) { return range.Contains(v) || v == s.includeNumber; };
    const auto bonusFits = [&](std::optional<int32_t> b) {
        return !b || (*b >= 1 && *b <= s.highestBonus);
    };
    return int(n.size()) == s.numbersPerTicket && std::ranges::all_of(n, drawable) &&
           (!lotto || std::ranges::adjacent_find(n, std::greater_equal{}) == n.end()) &&
           (!lotto || !s.includeNumber || std::ranges::count(n, *s.includeNumber) == 1) &&
           t.bonus.has_value() + t.secondBonus.has_value() == (s.HasBonus() ? s.bonusCount : 0) &&
           bonusFits(t.bonus) && bonusFits(t.secondBonus) &&
           (!t.secondBonus || *t.bonus < *t.secondBonus);
}

} // namespace kivora::test

Q_DECLARE_METATYPE(kivora::DrawSettings)
