#pragma once

#include <utility>

#include "engine/Clock.h"

namespace kivora::test {

// Starts at `start` and moves on by `by` at every read: a few microseconds, as the real clock
// does during a Start. Kept in double: a float near 36000 s only moves in 1/256 s steps.
struct FakeClock final : Clock {
    explicit FakeClock(double start, double by = 0) : now(start), step(by) {}
    float TimeOfDaySeconds() const override { return float(std::exchange(now, now + step)); }
    mutable double now, step;
};

} // namespace kivora::test
