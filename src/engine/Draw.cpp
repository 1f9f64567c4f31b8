#include "Draw.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "Clock.h"
#include "Generator.h"
#include "Seed.h"

namespace kivora {

namespace {

// How many values of the range a rejection loop may still take, so that a call that could
// never finish is refused before it starts.
int32_t UsableCount(NumberRange range, std::optional<int32_t> exclude,
                    std::optional<int32_t> alsoTaken) {
    int32_t count = range.Size();
    if (exclude && range.Contains(*exclude)) {
        --count;
    }
    if (alsoTaken && alsoTaken != exclude && range.Contains(*alsoTaken)) {
        --count;
    }
    return count;
}

void RequireTicketSize(const DrawSettings& settings) {
    if (settings.numbersPerTicket < 1 || settings.numbersPerTicket > 99) {
        throw InvalidDrawSettings("A ticket must hold between 1 and 99 numbers, not " +
                                  std::to_string(settings.numbersPerTicket) + ".");
    }
}

} // namespace

NumberRange CandidateRange(const DrawSettings& settings) {
    if (settings.gameMode == GameMode::Daily) {
        switch (settings.preference) {
        case NumberPreference::Low:
            return {0, 6};
        case NumberPreference::High:
            return {3, 9};
        case NumberPreference::Mixed:
            break;
        }
        return {0, 9};
    }
    const double highest = settings.highestNumber;
    switch (settings.preference) {
    case NumberPreference::Low:
        return {1, RoundHalfEven(highest * 0.8)};
    case NumberPreference::High:
        return {RoundHalfEven(highest * 0.3), settings.highestNumber};
    case NumberPreference::Mixed:
        break;
    }
    return {1, settings.highestNumber};
}

int32_t MapToRange(float r, int32_t low, int32_t high) {
    const int32_t n = high - low + 1;
    return static_cast<int32_t>(std::floor(static_cast<double>(r) * n)) + low;
}

int16_t RandomInRange(Generator& generator, int32_t low, int32_t high) {
    return static_cast<int16_t>(MapToRange(generator.NextRandom(), low, high));
}

std::vector<int32_t> DrawLottoTicket(Generator& generator, NumberRange range,
                                     const DrawSettings& settings) {
    std::vector<int32_t> numbers;
    DrawLottoTicket(generator, range, settings, numbers);
    return numbers;
}

void DrawLottoTicket(Generator& generator, NumberRange range, const DrawSettings& settings,
                     std::vector<int32_t>& numbers) {
    RequireTicketSize(settings);
    const bool hasInclude = settings.includeNumber.has_value();
    const int32_t toDraw = settings.numbersPerTicket - (hasInclude ? 1 : 0);
    if (range.Size() < 1 ||
        UsableCount(range, settings.excludeNumber, settings.includeNumber) < toDraw) {
        throw InvalidDrawSettings(
            "The numbers " + std::to_string(range.low) + " to " + std::to_string(range.high) +
            ", less the included and excluded numbers, cannot fill a ticket of " +
            std::to_string(settings.numbersPerTicket) + " different numbers.");
    }

    numbers.clear();
    numbers.reserve(static_cast<size_t>(settings.numbersPerTicket));
    if (hasInclude) {
        numbers.push_back(*settings.includeNumber);
    } else {
        int32_t value;
        do {
            value = RandomInRange(generator, range.low, range.high);
        } while (value == settings.excludeNumber);
        numbers.push_back(value);
    }
    while (static_cast<int32_t>(numbers.size()) < settings.numbersPerTicket) {
        int32_t value;
        do {
            value = RandomInRange(generator, range.low, range.high);
        } while (value == settings.excludeNumber ||
                 std::find(numbers.begin(), numbers.end(), value) != numbers.end());
        numbers.push_back(value);
    }
}

void SortTicketNumbers(std::vector<int32_t>& numbers) {
    std::ranges::sort(numbers);
}

std::vector<int32_t> DrawDailyTicket(Generator& generator, NumberRange range,
                                     const DrawSettings& settings) {
    std::vector<int32_t> numbers;
    DrawDailyTicket(generator, range, settings, numbers);
    return numbers;
}

void DrawDailyTicket(Generator& generator, NumberRange range, const DrawSettings& settings,
                     std::vector<int32_t>& numbers) {
    RequireTicketSize(settings);
    if (range.Size() < 1 || UsableCount(range, settings.excludeNumber, std::nullopt) < 1) {
        throw InvalidDrawSettings("The digits " + std::to_string(range.low) + " to " +
                                  std::to_string(range.high) +
                                  " hold nothing but the excluded number.");
    }
    const bool hasInclude = settings.includeNumber.has_value();
    if (hasInclude &&
        (settings.includePosition < 1 || settings.includePosition > settings.numbersPerTicket)) {
        throw InvalidDrawSettings("The include position " +
                                  std::to_string(settings.includePosition) +
                                  " is not a position of the ticket.");
    }

    numbers.clear();
    numbers.reserve(static_cast<size_t>(settings.numbersPerTicket));
    for (int32_t i = 0; i < settings.numbersPerTicket; ++i) {
        int32_t value;
        do {
            value = RandomInRange(generator, range.low, range.high);
        } while (value == settings.excludeNumber);
        numbers.push_back(value);
    }
    if (hasInclude) {
        numbers[static_cast<size_t>(settings.includePosition - 1)] = *settings.includeNumber;
    }
}

int32_t DrawBonusNumber(Generator& generator, const Clock& clock, int16_t highestBonus) {
    generator.Reseed(clock.TimeOfDaySeconds());
    return MapToRange(generator.NextRandom(), 1, highestBonus);
}

} // namespace kivora
