#pragma once

namespace kivora {

// The time of day, in seconds since local midnight with its fraction: 0 <= t < 86400.
class Clock {
public:
    virtual ~Clock() = default;
    virtual float TimeOfDaySeconds() const = 0;
};

} // namespace kivora
