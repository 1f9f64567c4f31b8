#include "Seed.h"

#include <cmath>
#include <limits>

#include "Clock.h"
#include "SeedLocale.h"
#include "Utf8.h"

namespace kivora {

int32_t RoundHalfEven(double value) {
    // The default floating-point environment rounds to nearest, ties to even.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<int32_t>::min() &&
          rounded <= std::numeric_limits<int32_t>::max())) {
        return 0;
    }
    return static_cast<int32_t>(rounded);
}

std::optional<int32_t> DateSeedOffset(const CalendarDate& date, const SeedLocale& locale) {
    const std::string text = locale.ShortDateText(date);
    // The first five characters of the text; a date text may hold non-ASCII letters.
    std::string digits;
    for (const char c : Utf8Prefix(text, 5)) {
        if (c != '/') {
            digits.push_back(c);
        }
    }
    const std::optional<double> number = locale.ReadNumber(digits);
    if (!number || !std::isfinite(*number) || std::fabs(*number) > 1e9) {
        return std::nullopt;
    }
    return RoundHalfEven(*number);
}

int32_t ComputeSeed(const DrawSettings& settings, const Clock& clock, const SeedLocale& locale) {
    if (settings.drawBasedOn == DrawBasis::None) {
        return 0;
    }
    const int32_t t = RoundHalfEven(static_cast<double>(clock.TimeOfDaySeconds()));
    switch (settings.drawBasedOn) {
    case DrawBasis::Random:
        return t;
    case DrawBasis::Date: {
        const std::optional<int32_t> v = DateSeedOffset(settings.basisDate, locale);
        return v ? t + *v : 0;
    }
    case DrawBasis::Sign:
        return t + settings.basisSign + 1;
    case DrawBasis::Name:
        return t + static_cast<int32_t>(Utf8Length(settings.basisName)) + 1;
    case DrawBasis::None:
        break;
    }
    return 0;
}

} // namespace kivora
