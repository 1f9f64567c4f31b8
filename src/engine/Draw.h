#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "DrawSettings.h"

namespace kivora {

class Clock;
class Generator;

// Both ends inclusive.
struct NumberRange {
    int32_t low = 0;
    int32_t high = 0;
    int32_t Size() const { return high - low + 1; }
    bool Contains(int32_t n) const { return n >= low && n <= high; }
    friend bool operator==(const NumberRange&, const NumberRange&) = default;
};

// Thrown for a record or a call that cannot give a ticket: drawing it would never end.
class InvalidDrawSettings : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// The range every number of a ticket comes from, by mode and preference.
NumberRange CandidateRange(const DrawSettings& settings);

// floor(r * n) + low with n = high - low + 1, the product in double precision (exact for these
// sizes). For 0 <= r < 1 the result never leaves [low, high]. Every drawn number and every bonus
// number is mapped through it.
int32_t MapToRange(float r, int32_t low, int32_t high);

// MapToRange of one NextRandom value; consumes exactly one value.
int16_t RandomInRange(Generator& generator, int32_t low, int32_t high);

// Distinct numbers in drawing order; the include number (if any) comes first, undrawn.
std::vector<int32_t> DrawLottoTicket(Generator& generator, NumberRange range,
                                     const DrawSettings& settings);

// The same into `numbers`, whose memory is reused: a Start draws its tickets without allocating.
void DrawLottoTicket(Generator& generator, NumberRange range, const DrawSettings& settings,
                     std::vector<int32_t>& numbers);

// Ascending, in place.
void SortTicketNumbers(std::vector<int32_t>& numbers);

// Digits in drawing order, repeats allowed; the include number overwrites its position.
std::vector<int32_t> DrawDailyTicket(Generator& generator, NumberRange range,
                                     const DrawSettings& settings);
void DrawDailyTicket(Generator& generator, NumberRange range, const DrawSettings& settings,
                     std::vector<int32_t>& numbers);

// Re-seeds from the unrounded time of day, then 1 to highestBonus from one value.
int32_t DrawBonusNumber(Generator& generator, const Clock& clock, int16_t highestBonus);

} // namespace kivora
