#pragma once

#include <cstdint>
#include <string>

#include "DrawSettings.h"

namespace kivora {

// One real game as the games table describes it. A Daily game draws mainCount digits 0 to 9 and
// has no bonus pool. Drawn extras are balls the lottery adds from the main pool that the player
// does not pick (a bonus ball, supplementaries); they count only when a ticket is checked.
struct GameRules {
    std::string id;     // "powerball"
    std::string name;   // "Powerball"
    std::string region; // "United States"
    GameMode mode = GameMode::Lotto;
    int32_t mainCount = 6;
    int32_t mainHighest = 49; // Daily: 9
    int32_t bonusCount = 0;   // the player's own bonus numbers, 0 to 2
    int32_t bonusHighest = 0;
    int32_t drawnExtras = 0;
    std::string extraName = "bonus ball"; // what the lottery calls one drawn extra
    std::string validFrom;                // yyyy-mm-dd, the date these rules hold from

    // The draw record a player of this game would set up: numbers, highest, bonus and mode;
    // every other option stays as in `base`.
    DrawSettings ApplyTo(DrawSettings base) const;

    // "5/69 + 1/26", "6/59, 1 bonus ball drawn", "Daily, 3 digits".
    std::string Summary() const;

    // Empty when the rules fit what the program can draw, else a sentence saying what does not.
    std::string Problem() const;

    // "bonus ball" / "2 bonus balls", "supplementary" / "3 supplementaries".
    std::string ExtraWords(int32_t count) const;

    // The rules a ticket drawn with these settings is checked by: the chosen game's while the
    // settings still are its own, otherwise plain rules named after their summary ("6/49").
    static GameRules ForSettings(const DrawSettings& settings, const GameRules* chosen);
};

} // namespace kivora
