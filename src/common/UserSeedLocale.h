#pragma once

#include <QString>

#include "engine/SeedLocale.h"

namespace kivora {

// The user's short date format and number format, from QLocale. A two-digit year in the short
// format is written with four digits, as the desktop's own short dates usually are.
class UserSeedLocale : public SeedLocale {
public:
    std::string ShortDateText(const CalendarDate& date) const override;
    std::optional<double> ReadNumber(std::string_view text) const override;

    // The user's short date format with a four-digit year; the date picker shows the same.
    static QString ShortDateFormat();
};

} // namespace kivora
