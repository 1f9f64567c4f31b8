// Fakes shared by the engine tests: clocks, a locale with a fixed date text, and a generator
// whose next value is chosen.
#pragma once

#include <QTest>

#include <bit>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/Clock.h"
#include "engine/DrawSettings.h"
#include "engine/Generator.h"
#include "engine/SeedLocale.h"

namespace QTest { // readable QCOMPARE failures
template <> inline char* toString(const std::string& s) {
    return qstrdup(s.c_str());
}
template <> inline char* toString(const std::vector<int32_t>& numbers) {
    QByteArray text;
    for (const int32_t n : numbers) {
        text += QByteArray::number(n) + ' ';
    }
    return qstrdup(text.constData());
}
} // namespace QTest

namespace kivora::test {

class FrozenClock final : public Clock {
public:
    explicit FrozenClock(float t) : t_(t) {}
    float TimeOfDaySeconds() const override { return t_; }

private:
    float t_;
};

// Moves on by a few microseconds at every read, as the real clock does during a Start, so many
// tickets share one second. Kept in double: a float near 36000 s only moves in 1/256 s steps.
class TickingClock final : public Clock {
public:
    float TimeOfDaySeconds() const override {
        const double t = now_;
        now_ = now_ + 4e-6 < 86399.99 ? now_ + 4e-6 : 0.0;
        return static_cast<float>(t);
    }

private:
    mutable double now_ = 36000.0;
};

// Writes every date as the same text, in a format the test picks; reads numbers plainly.
class FixedDateLocale final : public SeedLocale {
public:
    explicit FixedDateLocale(std::string text) : text_(std::move(text)) {}
    std::string ShortDateText(const CalendarDate&) const override { return text_; }
    std::optional<double> ReadNumber(std::string_view text) const override {
        return PlainSeedLocale::ReadPlainNumber(text);
    }

private:
    std::string text_;
};

// A generator whose next 64-bit output is `output`, so that its next NextRandom is
// ToUnitFloat(output). xoshiro256** returns rotl(s1 * 5, 7) * 9, and 5 and 9 are invertible
// modulo 2^64 (Newton's iteration doubles the correct low bits each step).
inline Generator GeneratorWithOutput(uint64_t output) {
    constexpr auto inverse = [](uint64_t odd) {
        uint64_t x = odd;
        for (int i = 0; i < 5; ++i) {
            x *= 2 - odd * x;
        }
        return x;
    };
    static_assert(5 * inverse(5) == 1 && 9 * inverse(9) == 1);
    return Generator(Generator::State{1, std::rotr(output * inverse(9), 7) * inverse(5), 0, 0});
}

inline DrawSettings LottoSettings(int32_t highest, int32_t numbers,
                                  NumberPreference preference = NumberPreference::Mixed) {
    DrawSettings s;
    s.highestNumber = highest;
    s.numbersPerTicket = numbers;
    s.preference = preference;
    return s;
}

inline DrawSettings DailySettings(int32_t numbers,
                                  NumberPreference preference = NumberPreference::Mixed) {
    DrawSettings s;
    s.gameMode = GameMode::Daily;
    s.numbersPerTicket = numbers;
    s.preference = preference;
    return s;
}

} // namespace kivora::test
