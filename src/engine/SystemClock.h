#pragma once

#include <cstdint>

#include "Clock.h"

namespace kivora {

// The machine's local time of day.
class SystemClock final : public Clock {
public:
    float TimeOfDaySeconds() const override;

private:
    // The local time of day of the last whole second asked for: converting to local time is
    // the costly part of a read, and a Start reads the clock for every ticket.
    mutable int64_t cachedEpochSecond_ = INT64_MIN;
    mutable int32_t cachedSecondOfDay_ = 0;
};

} // namespace kivora
