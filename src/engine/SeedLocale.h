#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "DrawSettings.h"

namespace kivora {

// The two locale services a Date seed needs. The window supplies the user's own; the engine
// itself never looks at a locale.
class SeedLocale {
public:
    virtual ~SeedLocale() = default;
    // The date in the user's short date format.
    virtual std::string ShortDateText(const CalendarDate& date) const = 0;
    // The text read as a number in the user's number format; nothing when it is not one.
    virtual std::optional<double> ReadNumber(std::string_view text) const = 0;
};

// Month/day/year without leading zeros ("4/27/2009") and plain whole numbers: an optional
// sign and digits, with blanks around them.
class PlainSeedLocale : public SeedLocale {
public:
    std::string ShortDateText(const CalendarDate& date) const override;
    std::optional<double> ReadNumber(std::string_view text) const override;

    // The plain reading, for locales that fall back to it.
    static std::optional<double> ReadPlainNumber(std::string_view text);
};

} // namespace kivora
