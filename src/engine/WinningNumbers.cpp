#include "WinningNumbers.h"

#include <algorithm>

#include "GameRules.h"

namespace kivora {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Between numbers of one group.
bool IsListSeparator(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '-' || c == ';' || c == '.' || c == ':' ||
           c == '\r' || c == '\n';
}

struct Group {
    std::vector<std::string> numbers; // as typed, leading zeros kept
};

std::string Count(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The groups of digits split at "+", "/" or a word. Empty when a character is neither.
bool Split(std::string_view text, std::vector<Group>& groups, std::string& error) {
    groups.assign(1, {});
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (IsDigit(c)) {
            size_t end = i;
            while (end < text.size() && IsDigit(text[end])) {
                ++end;
            }
            groups.back().numbers.emplace_back(text.substr(i, end - i));
            i = end;
        } else if (c == '+' || c == '/' || IsLetter(c)) {
            while (i < text.size() && IsLetter(text[i])) {
                ++i;
            }
            if (c == '+' || c == '/') {
                ++i;
            }
            // "Lucky Stars", "+ PB": one break between groups, however many words.
            if (!groups.back().numbers.empty()) {
                groups.emplace_back();
            }
        } else if (IsListSeparator(c)) {
            ++i;
        } else {
            const std::string shown =
                (static_cast<unsigned char>(c) < 0x80) ? "'" + std::string(1, c) + "'" : "";
            error = "The character " + (shown.empty() ? std::string("typed") : shown) +
                    " is neither a number nor a separator such as a blank, ',', '-', '+' or '/'.";
            return false;
        }
    }
    if (groups.back().numbers.empty()) {
        groups.pop_back();
    }
    if (groups.empty()) {
        error = "There are no numbers in the text.";
        return false;
    }
    return true;
}

// A whole number from its digits; numbers this long are out of every range anyway.
int32_t Value(const std::string& digits) {
    const std::string_view trimmed =
        std::string_view(digits).substr(std::min(digits.find_first_not_of('0'), digits.size()));
    if (trimmed.size() > 6) {
        return 1'000'000;
    }
    int32_t value = 0;
    for (const char c : trimmed) {
        value = value * 10 + (c - '0');
    }
    return value;
}

bool ReadDaily(const std::vector<Group>& groups, const GameRules& rules, WinningNumbers& drawn,
               std::string& error) {
    const std::string need = rules.name + " draws " + std::to_string(rules.mainCount) + " digits";
    if (groups.size() > 1) {
        error = need + " and no bonus number.";
        return false;
    }
    const std::vector<std::string>& typed = groups.front().numbers;
    std::string digits;
    if (typed.size() == 1) {
        digits = typed.front(); // "427"
    } else {
        for (const std::string& number : typed) {
            if (number.size() != 1) {
                error = need + ", each from 0 to 9, not " + number + ".";
                return false;
            }
            digits += number;
        }
    }
    if (static_cast<int32_t>(digits.size()) != rules.mainCount) {
        error = need + "; the text holds " + Count(digits.size(), "digit", "digits") + ".";
        return false;
    }
    for (const char c : digits) {
        drawn.main.push_back(c - '0');
    }
    return true;
}

bool ReadLotto(const std::vector<Group>& groups, const GameRules& rules, WinningNumbers& drawn,
               std::string& error) {
    const size_t mainCount = static_cast<size_t>(rules.mainCount);
    const size_t extras = static_cast<size_t>(rules.drawnExtras);
    const size_t bonus = static_cast<size_t>(rules.bonusCount);
    std::string need = rules.name + " draws " + std::to_string(mainCount) + " numbers";
    if (extras > 0) {
        need += " and " + rules.ExtraWords(rules.drawnExtras);
    }
    if (bonus > 0) {
        need += " and " + Count(bonus, "bonus number", "bonus numbers");
    }

    std::vector<int32_t> all;
    for (const Group& group : groups) {
        for (const std::string& number : group.numbers) {
            all.push_back(Value(number));
        }
    }
    if (all.size() != mainCount + extras + bonus) {
        error = need + "; the text holds " + Count(all.size(), "number", "numbers") + ".";
        return false;
    }
    const size_t first = groups.front().numbers.size();
    // The main numbers stand together; the drawn extras may follow them without a break.
    if (first != mainCount && first != mainCount + extras) {
        error = need + ": the first " + Count(first, "number is", "numbers are") + " not the " +
                std::to_string(mainCount) + " main numbers.";
        return false;
    }
    for (size_t i = 0; i < all.size(); ++i) {
        const bool isBonus = i >= mainCount + extras;
        const int32_t highest = isBonus ? rules.bonusHighest : rules.mainHighest;
        if (all[i] < 1 || all[i] > highest) {
            error = std::string(isBonus ? "A bonus number" : "A number") + " of " + rules.name +
                    " is from 1 to " + std::to_string(highest) + ", not " + std::to_string(all[i]) +
                    ".";
            return false;
        }
        auto& part = i < mainCount ? drawn.main : isBonus ? drawn.bonus : drawn.extras;
        part.push_back(all[i]);
    }
    std::vector<int32_t> balls = drawn.main;
    balls.insert(balls.end(), drawn.extras.begin(), drawn.extras.end());
    for (const std::vector<int32_t>* pool : {&balls, &drawn.bonus}) {
        std::vector<int32_t> sorted = *pool;
        std::ranges::sort(sorted);
        if (const auto twice = std::ranges::adjacent_find(sorted); twice != sorted.end()) {
            error = "The number " + std::to_string(*twice) + " is drawn only once" +
                    (pool == &balls ? std::string() : std::string(" among the bonus numbers")) +
                    ".";
            return false;
        }
    }
    std::ranges::sort(drawn.bonus);
    return true;
}

} // namespace

WinningNumbers WinningNumbers::Read(std::string_view text, const GameRules& rules,
                                    std::string& error) {
    error.clear();
    std::vector<Group> groups;
    WinningNumbers drawn;
    if (!Split(text, groups, error)) {
        return {};
    }
    const bool ok = rules.mode == GameMode::Daily ? ReadDaily(groups, rules, drawn, error)
                                                  : ReadLotto(groups, rules, drawn, error);
    return ok ? drawn : WinningNumbers{};
}

} // namespace kivora
