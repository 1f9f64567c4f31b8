#pragma once

#include <cstdint>
#include <optional>

#include "DrawSettings.h"

namespace kivora {

class Clock;
class SeedLocale;

// Whole number from a float or double: nearest, halves to the even neighbour.
int32_t RoundHalfEven(double value);

// The seed for one ticket: the time of day in whole seconds plus the basis' offset, or 0 when
// no basis is chosen or a Date reads as no number.
int32_t ComputeSeed(const DrawSettings& settings, const Clock& clock, const SeedLocale& locale);

// The Date basis' offset: the first five characters of the short date, without "/", read as a
// number. Nothing when they do not read as one.
std::optional<int32_t> DateSeedOffset(const CalendarDate& date, const SeedLocale& locale);

} // namespace kivora
