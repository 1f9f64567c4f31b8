#pragma once

#include "Clock.h"

namespace kivora {

// The machine's local time of day.
class SystemClock final : public Clock {
public:
    float TimeOfDaySeconds() const override;
};

} // namespace kivora
