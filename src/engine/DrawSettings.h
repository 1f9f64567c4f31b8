// Kivora's draw engine: plain C++20, no Qt.
//
// How the pieces fit:
//  - DrawSettings is every option of the panel, read once per Start.
//  - CandidateRange turns the mode and the preference into the range [low, high] that every
//    number of a ticket comes from.
//  - ComputeSeed mixes the time of day (from a Clock) with the chosen basis into a whole number;
//    the Generator is re-seeded with it before every ticket. The generator keeps its state
//    across re-seeds, so tickets drawn within one second still differ.
//  - DrawLottoTicket / DrawDailyTicket / DrawBonusNumber draw one ticket's numbers.
//  - TicketDrawer runs the whole per-ticket sequence of a Start and hands each ticket to a sink.
//  - GridControl is the grid the window shows; SetUpTicketGrid and WriteTicketRow write it, and
//    the printout reads it back cell by cell.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kivora {

enum class GameMode { Lotto, Daily };

// What the draw is based on; None when nothing is chosen in the list.
enum class DrawBasis { None, Random, Date, Sign, Name };

enum class NumberPreference { Low, High, Mixed };

// No number is included on, or excluded from, the tickets.
inline constexpr std::nullopt_t NoExclude = std::nullopt;
inline constexpr std::nullopt_t NoInclude = std::nullopt;

struct CalendarDate {
    int year = 2000;
    int month = 1; // 1 to 12
    int day = 1;   // 1 to 31

    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

struct DrawSettings {
    GameMode gameMode = GameMode::Lotto;
    int32_t ticketCount = 1;      // 1 to 50
    int32_t numbersPerTicket = 3; // 3 to 7
    int32_t highestNumber = 10;   // 10 to 99, Lotto only
    bool bonusPlayed = false;
    int16_t highestBonus = 2; // 2 to 99, when the ticket has a bonus
    int32_t bonusCount = 1;   // 1 or 2 bonus numbers, when the ticket has a bonus
    DrawBasis drawBasedOn = DrawBasis::Random;
    CalendarDate basisDate;
    int16_t basisSign = -1; // -1 (none) or 0 (Aries) to 11 (Pisces)
    std::string basisName;  // UTF-8, may be empty
    NumberPreference preference = NumberPreference::Mixed;
    std::optional<int32_t> includeNumber;
    int32_t includePosition = 0; // 1 to numbersPerTicket in Daily mode with an include number
    std::optional<int32_t> excludeNumber;

    // A bonus column and bonus numbers exist only in Lotto mode with the bonus played.
    bool HasBonus() const { return bonusPlayed && gameMode == GameMode::Lotto; }

    friend bool operator==(const DrawSettings&, const DrawSettings&) = default;
};

// Returns an empty string for a record that can be drawn, otherwise a sentence saying what is
// wrong with it. Checks every range and whether the candidate range can still fill a ticket
// once the include and exclude numbers are taken out.
std::string ValidateDrawSettings(const DrawSettings& settings);

// The bases as the basis list offers them: a basis's position there is its index here.
inline constexpr std::array<DrawBasis, 4> kDrawBases{DrawBasis::Random, DrawBasis::Date,
                                                     DrawBasis::Sign, DrawBasis::Name};
inline constexpr std::array<std::string_view, 4> kDrawBasisNames{"Random", "Date", "Sign", "Name"};
// None for a position outside the list (nothing chosen).
DrawBasis DrawBasisAt(int position);

// The preferences as the preferred-numbers list offers them, by position.
inline constexpr std::array<NumberPreference, 3> kPreferences{
    NumberPreference::Mixed, NumberPreference::Low, NumberPreference::High};
// Mixed for a position outside the list.
NumberPreference PreferenceAt(int position);

// The signs of the Sign basis, in the order of basisSign.
inline constexpr std::array<std::string_view, 12> kZodiacSigns{
    "Aries", "Taurus",  "Gemini",      "Cancer",    "Leo",      "Virgo",
    "Libra", "Scorpio", "Sagittarius", "Capricorn", "Aquarius", "Pisces"};

// What the user is told when the included number is also the excluded one; lineBreak ends each
// of its first two lines.
std::string SameNumberMessage(std::string_view number, std::string_view lineBreak);

} // namespace kivora
