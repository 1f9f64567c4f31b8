#include "BonusPool.h"

#include <stdexcept>
#include <utility>

#include "Clock.h"
#include "Draw.h"
#include "Generator.h"
#include "Ticket.h"

namespace kivora {

void DrawSecondBonusNumber(Generator& generator, const Clock& clock, int16_t highestBonus,
                           Ticket& ticket) {
    if (!ticket.bonus || highestBonus < 2) {
        // One number alone could never differ from the first: the loop below would not end.
        throw InvalidDrawSettings("Two bonus numbers need a highest bonus number of 2 or more.");
    }
    generator.Reseed(clock.TimeOfDaySeconds());
    int32_t second;
    do {
        second = MapToRange(generator.NextRandom(), 1, highestBonus);
    } while (second == *ticket.bonus);
    ticket.secondBonus = second;
    if (*ticket.secondBonus < *ticket.bonus) {
        std::swap(*ticket.bonus, *ticket.secondBonus);
    }
}

} // namespace kivora
