#include "DrawSettings.h"

#include <string>

#include "Draw.h"

namespace kivora {

namespace {

std::string OutOfRange(const char* what, int32_t value, int32_t low, int32_t high) {
    return std::string(what) + " must be from " + std::to_string(low) + " to " +
           std::to_string(high) + ", not " + std::to_string(value) + ".";
}

bool Within(int32_t value, int32_t low, int32_t high) {
    return value >= low && value <= high;
}

} // namespace

std::string ValidateDrawSettings(const DrawSettings& s) {
    if (s.gameMode != GameMode::Lotto && s.gameMode != GameMode::Daily) {
        return "The game mode is neither Lotto nor Daily.";
    }
    if (!Within(s.ticketCount, 1, 50)) {
        return OutOfRange("The number of tickets", s.ticketCount, 1, 50);
    }
    if (!Within(s.numbersPerTicket, 3, 7)) {
        return OutOfRange("The numbers per ticket", s.numbersPerTicket, 3, 7);
    }
    const bool lotto = s.gameMode == GameMode::Lotto;
    if (lotto && !Within(s.highestNumber, 10, 99)) {
        return OutOfRange("The highest number", s.highestNumber, 10, 99);
    }
    if (s.HasBonus() && !Within(s.highestBonus, 2, 99)) {
        return OutOfRange("The highest bonus number", s.highestBonus, 2, 99);
    }
    if (s.HasBonus() && !Within(s.bonusCount, 1, 2)) {
        return OutOfRange("The count of bonus numbers", s.bonusCount, 1, 2);
    }
    switch (s.drawBasedOn) {
    case DrawBasis::None:
    case DrawBasis::Random:
    case DrawBasis::Date:
    case DrawBasis::Sign:
    case DrawBasis::Name:
        break;
    default:
        return "The draw basis is not one of Random, Date, Sign or Name.";
    }
    if (!Within(s.basisSign, -1, 11)) {
        return OutOfRange("The zodiac sign", s.basisSign, -1, 11);
    }
    if (s.basisDate.month < 1 || s.basisDate.month > 12 || s.basisDate.day < 1 ||
        s.basisDate.day > 31) {
        return "The date of a Date draw is not a calendar date.";
    }
    switch (s.preference) {
    case NumberPreference::Low:
    case NumberPreference::High:
    case NumberPreference::Mixed:
        break;
    default:
        return "The preferred numbers are neither low, high nor mixed.";
    }

    const int32_t lowest = lotto ? 1 : 0;
    const int32_t highest = lotto ? s.highestNumber : 9;
    const bool hasInclude = s.includeNumber.has_value();
    const bool hasExclude = s.excludeNumber.has_value();
    if (hasInclude && !Within(*s.includeNumber, lowest, highest)) {
        return OutOfRange("The number to include", *s.includeNumber, lowest, highest);
    }
    if (hasExclude && !Within(*s.excludeNumber, lowest, highest)) {
        return OutOfRange("The number to exclude", *s.excludeNumber, lowest, highest);
    }
    if (hasInclude && s.includeNumber == s.excludeNumber) {
        return "The same number (" + std::to_string(*s.includeNumber) +
               ") cannot be included and excluded.";
    }
    if (!lotto && hasInclude) {
        if (!Within(s.includePosition, 1, s.numbersPerTicket)) {
            return OutOfRange("The include position", s.includePosition, 1, s.numbersPerTicket);
        }
    } else if (s.includePosition != 0) {
        return "An include position is used only in Daily mode with a number to include.";
    }

    // With the ranges above every ticket can be filled; this guards the arithmetic all the same.
    const NumberRange range = CandidateRange(s);
    int32_t usable = range.Size();
    if (hasExclude && range.Contains(*s.excludeNumber)) {
        --usable;
    }
    if (lotto) {
        if (hasInclude && range.Contains(*s.includeNumber)) {
            --usable;
        }
        const int32_t toDraw = s.numbersPerTicket - (hasInclude ? 1 : 0);
        if (usable < toDraw) {
            return "The numbers " + std::to_string(range.low) + " to " +
                   std::to_string(range.high) +
                   ", less the included and excluded numbers, cannot fill a ticket of " +
                   std::to_string(s.numbersPerTicket) + " different numbers.";
        }
    } else if (usable < 1) {
        return "The digits to draw from hold nothing but the excluded number.";
    }
    return {};
}

DrawBasis DrawBasisAt(int position) {
    return position >= 0 && position < static_cast<int>(kDrawBases.size())
               ? kDrawBases[static_cast<size_t>(position)]
               : DrawBasis::None;
}

NumberPreference PreferenceAt(int position) {
    return position >= 0 && position < static_cast<int>(kPreferences.size())
               ? kPreferences[static_cast<size_t>(position)]
               : NumberPreference::Mixed;
}

std::string SameNumberMessage(std::string_view number, std::string_view lineBreak) {
    std::string text = "You're trying to exclude and include the same number (";
    text.append(number).append(").").append(lineBreak);
    text.append("If you want to include a number and exclude one at the same time, ")
        .append(lineBreak);
    text.append("then make sure that the numbers are different.");
    return text;
}

} // namespace kivora
