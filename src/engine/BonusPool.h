#pragma once

#include <cstdint>

namespace kivora {

class Clock;
class Generator;
struct Ticket;

// A ticket's second bonus number, drawn the way the first one is (a clock re-seed, then one
// value), and drawn again while it repeats the first. The two then stand ascending in the
// ticket's bonus and secondBonus.
void DrawSecondBonusNumber(Generator& generator, const Clock& clock, int16_t highestBonus,
                           Ticket& ticket);

} // namespace kivora
