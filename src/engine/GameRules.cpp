#include "GameRules.h"

namespace kivora {

namespace {

std::string Range(const char* what, int32_t value, int32_t low, int32_t high) {
    if (value >= low && value <= high) {
        return {};
    }
    return std::string(what) + " must be from " + std::to_string(low) + " to " +
           std::to_string(high) + ", not " + std::to_string(value) + ".";
}

} // namespace

DrawSettings GameRules::ApplyTo(DrawSettings base) const {
    base.gameMode = mode;
    base.numbersPerTicket = mainCount;
    if (mode == GameMode::Lotto) {
        base.highestNumber = mainHighest;
        base.bonusPlayed = bonusCount > 0;
        base.bonusCount = bonusCount > 0 ? bonusCount : 1;
        if (bonusCount > 0) {
            base.highestBonus = static_cast<int16_t>(bonusHighest);
        }
    } else {
        base.bonusPlayed = false;
        base.bonusCount = 1;
    }
    return base;
}

GameRules GameRules::ForSettings(const DrawSettings& s, const GameRules* chosen) {
    if (chosen) {
        const DrawSettings game = chosen->ApplyTo(s);
        const bool lotto = s.gameMode == GameMode::Lotto;
        if (game.gameMode == s.gameMode && game.numbersPerTicket == s.numbersPerTicket &&
            (!lotto || (game.highestNumber == s.highestNumber && game.HasBonus() == s.HasBonus() &&
                        (!s.HasBonus() || (game.highestBonus == s.highestBonus &&
                                           game.bonusCount == s.bonusCount))))) {
            return *chosen;
        }
    }
    GameRules rules;
    rules.id = "custom";
    rules.mode = s.gameMode;
    rules.mainCount = s.numbersPerTicket;
    rules.mainHighest = s.gameMode == GameMode::Daily ? 9 : s.highestNumber;
    rules.bonusCount = s.HasBonus() ? s.bonusCount : 0;
    rules.bonusHighest = s.highestBonus;
    rules.name = rules.Summary();
    return rules;
}

std::string GameRules::ExtraWords(int32_t count) const {
    if (count == 1) {
        return extraName;
    }
    std::string plural = extraName;
    if (!plural.empty() && plural.back() == 'y') {
        plural.back() = 'i';
        plural += "es";
    } else {
        plural += 's';
    }
    return std::to_string(count) + " " + plural;
}

std::string GameRules::Summary() const {
    if (mode == GameMode::Daily) {
        return "Daily, " + std::to_string(mainCount) + " digits";
    }
    std::string text = std::to_string(mainCount) + "/" + std::to_string(mainHighest);
    if (bonusCount > 0) {
        text += " + " + std::to_string(bonusCount) + "/" + std::to_string(bonusHighest);
    }
    if (drawnExtras > 0) {
        text += ", " + ExtraWords(drawnExtras) + " drawn";
    }
    return text;
}

std::string GameRules::Problem() const {
    if (id.empty()) {
        return "A game needs an id.";
    }
    for (const char c : id) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) {
            return "The id '" + id + "' may hold only small letters, digits and '-'.";
        }
    }
    if (name.empty()) {
        return "The game '" + id + "' needs a name.";
    }
    // The window's lists offer 3 to 7 numbers, 10 to 99 as the highest and 2 to 99 as the
    // highest bonus; a game outside them could not be set up there.
    if (std::string p = Range("The numbers per ticket", mainCount, 3, 7); !p.empty()) {
        return p;
    }
    if (mode == GameMode::Daily) {
        if (bonusCount != 0 || drawnExtras != 0) {
            return "A Daily game has neither bonus numbers nor drawn extras.";
        }
        return {};
    }
    if (std::string p = Range("The highest number", mainHighest, 10, 99); !p.empty()) {
        return p;
    }
    if (std::string p = Range("The bonus count", bonusCount, 0, 2); !p.empty()) {
        return p;
    }
    if (bonusCount > 0) {
        if (std::string p = Range("The highest bonus number", bonusHighest, 2, 99); !p.empty()) {
            return p;
        }
    }
    // The grid and its printout hold at most eight numbers and bonus numbers side by side.
    if (mainCount + bonusCount > 8) {
        return "A ticket holds at most 8 numbers and bonus numbers together, not " +
               std::to_string(mainCount + bonusCount) + ".";
    }
    if (std::string p = Range("The drawn extras", drawnExtras, 0, 3); !p.empty()) {
        return p;
    }
    if (extraName.empty() && drawnExtras > 0) {
        return "The drawn extras need a name.";
    }
    return {};
}

} // namespace kivora
