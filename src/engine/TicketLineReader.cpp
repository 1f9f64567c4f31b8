#include "TicketLineReader.h"

#include <algorithm>
#include <vector>

namespace kivora {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The fields of a line split at blanks, tabs and commas; false with `why` for one that is not a
// whole number.
bool Numbers(std::string_view text, std::vector<int32_t>& out, std::string& why) {
    size_t i = 0;
    while (i < text.size()) {
        if (IsBlank(text[i]) || text[i] == ',') {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && !IsBlank(text[end]) && text[end] != ',') {
            ++end;
        }
        const std::string_view field = text.substr(i, end - i);
        if (field.size() > 4 ||
            !std::ranges::all_of(field, [](char c) { return c >= '0' && c <= '9'; })) {
            why = "'" + std::string(field.substr(0, 20)) + "' is not a ticket number";
            return false;
        }
        int32_t value = 0;
        for (const char c : field) {
            value = value * 10 + (c - '0');
        }
        out.push_back(value);
        i = end;
    }
    return true;
}

} // namespace

TicketLineReader::Line TicketLineReader::Read(std::string_view line, Ticket& ticket,
                                              std::string& why) {
    line = Trim(line);
    if (line.empty()) {
        return Line::Skip;
    }
    if (line.substr(0, 7) == "Ticket," || line.substr(0, 7) == "Ticket\t") {
        labelled_ = true;
        return Line::Skip;
    }
    const bool lotto = rules_.mode == GameMode::Lotto;
    const size_t mainCount = static_cast<size_t>(rules_.mainCount);
    const size_t bonusCount = lotto ? static_cast<size_t>(rules_.bonusCount) : 0;
    std::vector<int32_t> main;
    std::vector<int32_t> bonus;
    const size_t plus = line.find('+');
    if (!Numbers(line.substr(0, plus), main, why) ||
        (plus != std::string_view::npos && !Numbers(line.substr(plus + 1), bonus, why))) {
        return Line::Bad;
    }
    if (plus == std::string_view::npos) {
        if (labelled_ && !main.empty()) {
            main.erase(main.begin());
        }
        if (main.size() == mainCount + bonusCount) {
            bonus.assign(main.begin() + static_cast<std::ptrdiff_t>(mainCount), main.end());
            main.resize(mainCount);
        }
    }
    if (main.size() != mainCount || bonus.size() != bonusCount) {
        why = "a " + rules_.name + " ticket has " + std::to_string(mainCount) +
              (lotto ? " numbers" : " digits");
        if (bonusCount > 0) {
            why += " and " + std::to_string(bonusCount) +
                   (bonusCount == 1 ? " bonus number" : " bonus numbers");
        }
        return Line::Bad;
    }
    const int32_t lowest = lotto ? 1 : 0;
    for (const int32_t n : main) {
        if (n < lowest || n > rules_.mainHighest) {
            why = "the number " + std::to_string(n) + " is not from " + std::to_string(lowest) +
                  " to " + std::to_string(rules_.mainHighest);
            return Line::Bad;
        }
        if (lotto && std::ranges::count(main, n) > 1) {
            why = "the number " + std::to_string(n) + " stands twice";
            return Line::Bad;
        }
    }
    for (const int32_t n : bonus) {
        if (n < 1 || n > rules_.bonusHighest) {
            why = "the bonus number " + std::to_string(n) + " is not from 1 to " +
                  std::to_string(rules_.bonusHighest);
            return Line::Bad;
        }
    }
    std::ranges::sort(bonus);
    if (bonus.size() == 2 && bonus[0] == bonus[1]) {
        why = "the bonus number " + std::to_string(bonus[0]) + " stands twice";
        return Line::Bad;
    }
    ticket.numbers = std::move(main);
    ticket.bonus.reset();
    ticket.secondBonus.reset();
    if (!bonus.empty()) {
        ticket.bonus = bonus.front();
    }
    if (bonus.size() == 2) {
        ticket.secondBonus = bonus.back();
    }
    return Line::Ticket;
}

} // namespace kivora
