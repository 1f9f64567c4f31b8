#include "SystemClock.h"

#include <chrono>
#include <ctime>

namespace kivora {

float SystemClock::TimeOfDaySeconds() const {
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<microseconds>(system_clock::now().time_since_epoch());
    const int64_t micros = sinceEpoch.count();
    int64_t second = micros / 1'000'000;
    int64_t fraction = micros % 1'000'000;
    if (fraction < 0) {
        fraction += 1'000'000;
        --second;
    }
    if (second != cachedEpochSecond_) {
        const auto secs = static_cast<std::time_t>(second);
        std::tm local{};
#ifdef _WIN32
        localtime_s(&local, &secs);
#else
        localtime_r(&secs, &local);
#endif
        cachedEpochSecond_ = second;
        cachedSecondOfDay_ = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    }
    const double seconds = cachedSecondOfDay_ + static_cast<double>(fraction) / 1e6;
    // A float has 24 bits: just before midnight the fraction can round up to 86400 itself.
    float t = static_cast<float>(seconds);
    if (t >= 86400.0f) {
        t = 86399.9921875f;
    }
    return t;
}

} // namespace kivora
