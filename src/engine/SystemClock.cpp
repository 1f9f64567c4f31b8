#include "SystemClock.h"

#include <chrono>
#include <ctime>

namespace kivora {

float SystemClock::TimeOfDaySeconds() const {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &secs);
#else
    localtime_r(&secs, &local);
#endif
    const auto micros = duration_cast<microseconds>(now.time_since_epoch()).count() % 1'000'000;
    const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
                           static_cast<double>(micros < 0 ? micros + 1'000'000 : micros) / 1e6;
    // A float has 24 bits: just before midnight the fraction can round up to 86400 itself.
    float t = static_cast<float>(seconds);
    if (t >= 86400.0f) {
        t = 86399.9921875f;
    }
    return t;
}

} // namespace kivora
